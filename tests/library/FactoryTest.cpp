// The factory: the catalog opened once along KroGraphicPath, the generic startup, every create<Kind>.
#include "KroCfgSOFactory.h"
#include "LibraryTestSupport.h"
#include "TestPaths.h"
#include "platform/ClientDecorator.h"

namespace {

// Every create<Kind> with its interface, its startup and the ending of its instanciation message.
struct Kind {
  const char* startup;
  const char* interfaceName;
  const char* ending;
  HRESULT (*create)();  // creates one, returns the result
};

template <class I, HRESULT (*F)(KroVar<I>&)>
HRESULT CreateOne() {
  KroVar<I> out;
  HRESULT hr = F(out);
  if (SUCCEEDED(hr) && !out) return E_UNEXPECTED;
  return hr;
}

const Kind kKinds[] = {
    {"CfgSOUuidList", "KroICfgSOUuidList", " SpecObject.", CreateOne<KroICfgSOUuidList, KroCfgSOFactory::createUuidList>},
    {"CfgSOContext", "KroICfgSOContext", " SO.", CreateOne<KroICfgSOContext, KroCfgSOFactory::createContext>},
    {"CfgSOVariabilitySpace", "KroICfgSOVariabilitySpace", " SO.",
     CreateOne<KroICfgSOVariabilitySpace, KroCfgSOFactory::createVariabilitySpace>},
    {"CfgSOEffectivity", "KroICfgSOEffectivity", " SpecObject.", CreateOne<KroICfgSOEffectivity, KroCfgSOFactory::createEffectivity>},
    {"CfgSOBasicEffectivity", "KroICfgSOBasicEffectivity", " SpecObject.",
     CreateOne<KroICfgSOBasicEffectivity, KroCfgSOFactory::createBasicEffectivity>},
    {"CfgSOSpecExpression", "KroICfgSOSpecExpression", " SpecObject.",
     CreateOne<KroICfgSOSpecExpression, KroCfgSOFactory::createSpecExpression>},
    {"CfgSOSpecification", "KroICfgSOSpecification", " SpecObject.",
     CreateOne<KroICfgSOSpecification, KroCfgSOFactory::createSpecification>},
    {"CfgSODate", "KroICfgSODate", " SpecObject.", CreateOne<KroICfgSODate, KroCfgSOFactory::createDate>},
    {"CfgSOMilestoneDate", "KroICfgSOMilestoneDate", " SpecObject.",
     CreateOne<KroICfgSOMilestoneDate, KroCfgSOFactory::createMilestoneDate>},
    {"CfgSOMilestoneRange", "KroICfgSOMilestoneRange", " SpecObject.",
     CreateOne<KroICfgSOMilestoneRange, KroCfgSOFactory::createMilestoneRange>},
    {"CfgSOIntervalDates", "KroICfgSOIntervalDate", " SpecObject.",
     CreateOne<KroICfgSOIntervalDate, KroCfgSOFactory::createIntervalDate>},
    {"CfgSOIntervalRanges", "KroICfgSOIntervalRange", " SpecObject.",
     CreateOne<KroICfgSOIntervalRange, KroCfgSOFactory::createIntervalRange>},
    {"CfgSOModification", "KroICfgSOModification", " SpecObject.",
     CreateOne<KroICfgSOModification, KroCfgSOFactory::createModification>},
    {"CfgSOFilter", "KroICfgSOFilter", " SpecObject.", CreateOne<KroICfgSOFilter, KroCfgSOFactory::createFilter>},
};

std::string Expect(const TraceCapture& capture, const std::string& line) {
  return capture.has(line) ? std::string() : "missing line: " + line + "\ntrace was:\n" + capture.text();
}

TEST(FactoryTest, FirstOpeningTracesThePathsAndLaterOnesNothing) {
  InFreshProcess([] {
    std::string dir = kro_test::ShippedCatalogDir();
    setenv("KroGraphicPath", ("/nonexistent:" + dir).c_str(), 1);
    TraceCapture capture({"KroCfgSOFactory"});
    KroIContainer_var first, second;
    if (KroCfgSOFactory::getContainer(first) != S_OK || !first) return std::string("first opening failed");
    for (const std::string& line :
         {std::string("[getContainer] First time the method is called => initialization of the static member."),
          "[getContainer] KroGraphicPath: /nonexistent:" + dir, "[getContainer] Opening " + dir + "/CfgSOCatalog.feat",
          std::string("[getContainer] Document CfgSOCatalog.feat loaded"), std::string("[getContainer] returns 0x00000000")})
      if (std::string problem = Expect(capture, line); !problem.empty()) return problem;
    capture.clear();
    if (KroCfgSOFactory::getContainer(second) != S_OK || second.ptr() != first.ptr()) return std::string("second differs");
    if (capture.text() != "[getContainer] returns 0x00000000\n") return "second call wrote: " + capture.text();
    // The generic startup was added to the container at the first opening.
    KroISpecObject_var generic;
    if (KroCfgSOFactory::createSpecObject(generic) != S_OK || generic->GetLateType() != "GenericCfgStartupName")
      return std::string("no generic spec object");
    return std::string();
  });
}

TEST(FactoryTest, MissingCatalogFailsEveryCreateWithTheOpenCode) {
  for (const char* path : {"", "/nonexistent/dir"}) {
    InFreshProcess([path] {
      if (*path) setenv("KroGraphicPath", path, 1);
      else unsetenv("KroGraphicPath");
      TraceCapture capture({"KroCfgSOFactory"});
      KroIContainer_var container;
      if (KroCfgSOFactory::getContainer(container) != KRO_E_FILE_NOT_FOUND || container) return std::string("opened");
      if (std::string p = Expect(capture, "[getContainer] Can't open document CfgSOCatalog.feat"); !p.empty()) return p;
      for (const Kind& kind : kKinds) {
        capture.clear();
        if (kind.create() != KRO_E_FILE_NOT_FOUND) return std::string("create of ") + kind.startup + " did not fail";
        if (std::string p = Expect(capture, "[instanciateSpecObject] Unable to get the feature catalog associated container.");
            !p.empty())
          return p;
      }
      // The first-time message comes again: a failed open is retried.
      capture.clear();
      KroCfgSOFactory::getContainer(container);
      return Expect(capture, "[getContainer] First time the method is called => initialization of the static member.");
    });
  }
}

TEST(FactoryTest, EveryKindAnswersWithItsInterface) {
  UseShippedCatalog();
  for (const Kind& kind : kKinds) EXPECT_EQ(kind.create(), S_OK) << kind.startup;  // non-null checked inside
}

TEST(FactoryTest, MissingStartupsEndTheirMessageByKind) {
  InFreshProcess([] {
    // Rename every startup of the table so none is found.
    std::string dir = CatalogDirWith("no-startups", "startup \"CfgSO", "startup \"Gone");
    setenv("KroGraphicPath", dir.c_str(), 1);
    TraceCapture capture({"KroCfgSOFactory"});
    for (const Kind& kind : kKinds) {
      capture.clear();
      if (kind.create() != E_FAIL) return std::string("create of ") + kind.startup + " did not fail";
      if (std::string p = Expect(capture, std::string("[instanciateSpecObject] Unable to find the ") + kind.startup + " startup.");
          !p.empty())
        return p;
      const char* op = kind.interfaceName + 9;  // the operation is named after the interface, less "KroICfgSO"
      std::string line = std::string("[create") + op + "] Unable instanciate a new " + kind.startup + kind.ending;
      if (std::string p = Expect(capture, line); !p.empty()) return p;
    }
    KroISpecObject_var out;
    if (KroCfgSOFactory::instanciateSpecObject("NoSuchStartup", "KroISpecObject", out) != E_FAIL || out)
      return std::string("unknown startup instanciated");
    return std::string();
  });
}

TEST(FactoryTest, GenericStartupFailureKeepsTheContainer) {
  InFreshProcess([] {
    // A catalog that already holds the generic startup: creating it again fails, once.
    std::string dir = CatalogDirWith("with-generic", "", "");
    { std::ofstream(dir + "/CfgSOCatalog.feat", std::ios::app) << "startup \"GenericCfgStartupName\"\nend\n"; }
    setenv("KroGraphicPath", dir.c_str(), 1);
    TraceCapture capture({"KroCfgSOFactory"});
    KroIContainer_var container;
    if (KroCfgSOFactory::getContainer(container) != E_FAIL || container) return std::string("first call did not fail");
    if (std::string p = Expect(capture, "[getContainer] Unable to create generic SpecObject startup."); !p.empty()) return p;
    capture.clear();
    if (KroCfgSOFactory::getContainer(container) != S_OK || !container) return std::string("second call failed");
    if (capture.text() != "[getContainer] returns 0x00000000\n") return "second call wrote: " + capture.text();
    return std::string();
  });
}

// A client's object whose destructor runs while the factory's container closes at exit asks the factory
// for a new object: it gets none and a failure, as during a document's close, and the exit stays clean
// (the sanitizer build fails the child on any memory error).
[[noreturn]] void ExitWithAClientObjectInTheFactorysContainer() {
  UseShippedCatalog();
  KroISpecObject_var owner, inner;
  if (FAILED(KroCfgSOFactory::createSpecObject(owner)) || FAILED(KroCfgSOFactory::createSpecObject(inner)))
    std::_Exit(3);
  KroISpecAttribute_var::Adopt(owner->AddAttribute("client", tk_specobject));
  auto* client = new Decorator(inner);
  client->onDestroy = [] {
    KroICfgSOContext_var context;
    const HRESULT hr = KroCfgSOFactory::createContext(context);
    std::fprintf(stderr, "createContext at exit: 0x%08X %s\n", static_cast<unsigned>(hr), context ? "object" : "null");
  };
  KroISpecAttrAccess_var access = owner;
  access->SetSpecObject(KroISpecAttrKey_var::Adopt(access->GetAttrKey("client")), KroISpecObject_var::Adopt(client));
  // Only the container holds them now: its close at exit lets go of the client's object.
  access = nullptr;
  owner = nullptr;
  inner = nullptr;
  std::exit(0);
}

TEST(FactoryTest, MakingObjectsWhileTheContainerClosesAtExitFailsCleanly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ExitWithAClientObjectInTheFactorysContainer(), ::testing::ExitedWithCode(0),
              "createContext at exit: 0x80004005 null");
}

}  // namespace
