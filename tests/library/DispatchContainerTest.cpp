// The dispatch container hands out the factory's container whatever the path.
#include "KroCfgSOFactory.h"
#include "LibraryTestSupport.h"
#include "QuorIDispatchContainer.h"

namespace {

QuorIDispatchContainer_var NewDispatchContainer() {
  KroIContainer_var container;
  EXPECT_EQ(KroCfgSOFactory::getContainer(container), S_OK);
  KroISpecObject_var startup = KroISpecObject_var::Adopt(container->FindStartUpByName("CfgDispatchContainer"));
  if (!startup)
    startup = KroISpecObject_var::Adopt(
        CreateStartUp("CfgDispatchContainer", "CfgDispatchContainer", "KroISpecObject", container, "", nullptr));
  KroISpecObject_var so = KroISpecObject_var::Adopt(startup->Instanciate("", nullptr));
  return QuorIDispatchContainer_var(so);
}

TEST(DispatchContainerTest, EveryPathGivesTheSharedContainer) {
  UseShippedCatalog();
  QuorIDispatchContainer_var dispatch = NewDispatchContainer();
  ASSERT_TRUE(dispatch);
  TraceCapture capture({"CfgDispatchContainer"});
  KroIContainer_var a, b, shared;
  EXPECT_EQ(dispatch->GetContainer("/one/path", a), S_OK);
  EXPECT_EQ(dispatch->GetContainer("another", b), S_OK);
  KroCfgSOFactory::getContainer(shared);
  EXPECT_EQ(a.ptr(), shared.ptr());
  EXPECT_EQ(b.ptr(), shared.ptr());
  std::vector<std::string> lines = capture.lines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "[QuorCfgDispatchContainer::GetContainer] Path: /one/path");
  EXPECT_EQ(lines[1], "[QuorCfgDispatchContainer::GetContainer] Returning the Config container.");
  EXPECT_EQ(lines[2], "[QuorCfgDispatchContainer::GetContainer] The returned container seems to be ok (not null).");
  EXPECT_EQ(lines[3], "[QuorCfgDispatchContainer::GetContainer] returns 0x00000000");
}

TEST(DispatchContainerTest, MissingCatalogPassesTheOpenFailureOn) {
  InFreshProcess([] {
    // The dispatch spec object lives in a container of its own, since the factory's cannot open.
    KroIContainer_var own = KroIContainer_var::Adopt(new KroContainer("own"));
    KroISpecObject_var startup = KroISpecObject_var::Adopt(
        CreateStartUp("CfgDispatchContainer", "CfgDispatchContainer", "KroISpecObject", own, "", nullptr));
    QuorIDispatchContainer_var dispatch = KroISpecObject_var::Adopt(startup->Instanciate("", nullptr));
    setenv("KroGraphicPath", "/nonexistent", 1);
    TraceCapture capture({"CfgDispatchContainer"});
    KroIContainer_var out;
    HRESULT hr = dispatch->GetContainer("p", out);
    if (hr != KRO_E_FILE_NOT_FOUND || out) return std::string("unexpected result");
    if (!capture.has("[QuorCfgDispatchContainer::GetContainer] KroCfgSOServices::GetContainer has failed."))
      return "trace was: " + capture.text();
    return std::string();
  });
}

}  // namespace
