// The context wrapper, end to end from the factory through its interface to the attributes.
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

KroICfgSOContext_var NewContext() {
  UseShippedCatalog();
  KroICfgSOContext_var context;
  EXPECT_EQ(KroCfgSOFactory::createContext(context), S_OK);
  return context;
}

TEST(ContextTest, FourValuesRoundTripIndependently) {
  KroICfgSOContext_var context = NewContext();
  ASSERT_TRUE(context);
  KroUnicodeString name("x"), type, info;
  SEQUENCE_octet uuid{7};
  // Fresh from the factory: the startup's (empty) initial values, read with success.
  EXPECT_EQ(context->getName(name), S_OK);
  EXPECT_EQ(name, "");
  EXPECT_EQ(context->getUuid(uuid), S_OK);
  EXPECT_EQ(uuid.length(), 0u);

  EXPECT_EQ(context->setName("ctx"), S_OK);
  EXPECT_EQ(context->setType("plant"), S_OK);
  EXPECT_EQ(context->setInfo("free text"), S_OK);
  EXPECT_EQ(context->setUuid(SEQUENCE_octet{1, 2, 3}), S_OK);
  EXPECT_EQ(context->setType("shop"), S_OK);
  context->getName(name);
  context->getType(type);
  context->getInfo(info);
  context->getUuid(uuid);
  EXPECT_EQ(name, "ctx");
  EXPECT_EQ(type, "shop");
  EXPECT_EQ(info, "free text");
  EXPECT_EQ(uuid, (SEQUENCE_octet{1, 2, 3}));

  // The values live in the spec object's attributes under their short names.
  KroISpecObject_var so = context;
  KroUnicodeString stored;
  KroCfgSOServices::GetStringValue(so, "ct", stored);
  EXPECT_EQ(stored, "shop");

  EXPECT_EQ(context->setUuid(SEQUENCE_octet{}), S_OK);
  EXPECT_EQ(context->getUuid(uuid), S_OK);
  EXPECT_EQ(uuid.length(), 0u);

  // Another context keeps its own values.
  KroICfgSOContext_var other = NewContext();
  other->getName(name);
  EXPECT_EQ(name, "");
}

TEST(ContextTest, MissingAttributeGivesTheServicesLinesThenItsOwn) {
  UseShippedCatalog();
  KroIContainer_var container;
  ASSERT_EQ(KroCfgSOFactory::getContainer(container), S_OK);
  // A context spec object whose startup lacks the four attributes.
  KroISpecObject_var startup = KroISpecObject_var::Adopt(container->FindStartUpByName("ContextTestBare"));
  if (!startup)
    startup = KroISpecObject_var::Adopt(CreateStartUp("ContextTestBare", "CfgSOContext", "KroISpecObject", container, "", nullptr));
  KroISpecObject_var so = KroISpecObject_var::Adopt(startup->Instanciate("", nullptr));
  KroICfgSOContext_var context = so;
  ASSERT_TRUE(context);

  TraceCapture capture({"CfgSO", "CfgIDLInterfaces"});
  KroUnicodeString name("unchanged");
  EXPECT_EQ(context->getName(name), E_FAIL);
  EXPECT_EQ(name, "unchanged");
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSOServices::GetAttrAccessAndKey] Unable to retrieve attribute key for: cn",
                                 "[KroCfgSOServices::GetAttrAccessAndKey] returns 0x80004005",
                                 "[KroCfgSOServices::GetStringValue] Unable to access the attribute cn",
                                 "[KroCfgSOServices::GetStringValue] returns 0x80004005",
                                 "[CfgSOContext::getName] Unable to get cn attribute !",
                                 "[CfgSOContext::getName] returns 0x80004005",
                             }));
  capture.clear();
  EXPECT_EQ(context->setInfo("x"), E_FAIL);
  EXPECT_TRUE(capture.has("[CfgSOContext::setInfo] Unable to set ci attribute !"));
  SEQUENCE_octet uuid{1};
  EXPECT_EQ(context->getUuid(uuid), E_FAIL);
  EXPECT_EQ(uuid.length(), 0u);
}

}  // namespace

namespace {

TEST(ContextTest, ScriptingNamesMapToSlots) {
  KroICfgSOContext_var context = NewContext();
  const char* names[] = {"setInfo", "getUuid"};
  long ids[2] = {0, 0};
  EXPECT_EQ(context->GetIDsOfNames(IID_KroICfgSOContext, names, 2, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 5);
  EXPECT_EQ(ids[1], 8);
}

}  // namespace
