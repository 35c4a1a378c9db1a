// The variability-space wrapper: seven independent values under their short names, and the trace of
// a failing access.
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

TEST(VariabilitySpaceTest, SevenValuesRoundTripUnderTheirNames) {
  UseShippedCatalog();
  KroICfgSOVariabilitySpace_var space;
  ASSERT_EQ(KroCfgSOFactory::createVariabilitySpace(space), S_OK);
  KroUnicodeString text("x");
  SEQUENCE_octet octets{9};
  EXPECT_EQ(space->getCVName(text), S_OK);  // never written: the startup's empty value
  EXPECT_EQ(text, "");
  EXPECT_EQ(space->getCOUuid(octets), S_OK);
  EXPECT_EQ(octets.length(), 0u);

  EXPECT_EQ(space->setName("vs"), S_OK);
  EXPECT_EQ(space->setUuid(SEQUENCE_octet{1}), S_OK);
  EXPECT_EQ(space->setCOUuid(SEQUENCE_octet{2, 2}), S_OK);
  EXPECT_EQ(space->setCODesc("co"), S_OK);
  EXPECT_EQ(space->setCVUuid(SEQUENCE_octet{}), S_OK);
  EXPECT_EQ(space->setCVName("cv"), S_OK);
  EXPECT_EQ(space->setCVInfo("info"), S_OK);

  KroUnicodeString name, coDesc, cvName, cvInfo;
  SEQUENCE_octet uuid, coUuid, cvUuid{7};
  space->getName(name);
  space->getUuid(uuid);
  space->getCOUuid(coUuid);
  space->getCODesc(coDesc);
  space->getCVUuid(cvUuid);
  space->getCVName(cvName);
  space->getCVInfo(cvInfo);
  EXPECT_EQ(name, "vs");
  EXPECT_EQ(uuid, SEQUENCE_octet{1});
  EXPECT_EQ(coUuid, (SEQUENCE_octet{2, 2}));
  EXPECT_EQ(coDesc, "co");
  EXPECT_EQ(cvUuid.length(), 0u);
  EXPECT_EQ(cvName, "cv");
  EXPECT_EQ(cvInfo, "info");

  KroISpecObject_var so = space;
  SEQUENCE_octet stored;
  KroCfgSOServices::GetByteArrayValue(so, "vscon", stored);  // the CO uuid's attribute
  EXPECT_EQ(stored, (SEQUENCE_octet{2, 2}));
}

TEST(VariabilitySpaceTest, FailingAccessNamesTheAttribute) {
  UseShippedCatalog();
  KroIContainer_var container;
  ASSERT_EQ(KroCfgSOFactory::getContainer(container), S_OK);
  KroISpecObject_var startup = KroISpecObject_var::Adopt(container->FindStartUpByName("VariabilitySpaceTestBare"));
  if (!startup)
    startup = KroISpecObject_var::Adopt(CreateStartUp("VariabilitySpaceTestBare", "CfgSOVariabilitySpace",
                                                      "KroISpecObject", container, "", nullptr));
  KroICfgSOVariabilitySpace_var space = KroISpecObject_var::Adopt(startup->Instanciate("", nullptr));
  ASSERT_TRUE(space);

  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(space->setCVInfo("x"), E_FAIL);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{"[CfgSOVariabilitySpace::setCVInfo] Unable to set vscvi attribute !",
                                                       "[CfgSOVariabilitySpace::setCVInfo] returns 0x80004005"}));
  KroUnicodeString name("kept");
  EXPECT_EQ(space->getName(name), E_FAIL);
  EXPECT_EQ(name, "kept");
  EXPECT_TRUE(capture.has("[CfgSOVariabilitySpace::getName] Unable to get vsn attribute !"));
  SEQUENCE_octet uuid{1};
  EXPECT_EQ(space->getCOUuid(uuid), E_FAIL);
  EXPECT_EQ(uuid.length(), 0u);
}

}  // namespace
