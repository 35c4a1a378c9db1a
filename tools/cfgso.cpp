// cfgso: command-line front end of the configuration spec-object library.
#include <cstdio>
#include <memory>
#include <cstring>
#include <string>

#include <cstdlib>
#include <filesystem>

#include "CfgsoDemos.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOFramework.h"
#include "KroCfgUuid.h"
#include "KroDocument.h"
#include "KroPlatformServices.h"

namespace {

const char* KindName(TCKind kind, TCKind element) {
  switch (kind) {
    case tk_long: return "integer";
    case tk_double: return "double";
    case tk_boolean: return "boolean";
    case tk_string: return "string";
    case tk_specobject: return "specobject";
    case tk_list:
      switch (element) {
        case tk_octet: return "octets";
        case tk_long: return "list integer";
        case tk_double: return "list double";
        case tk_string: return "list string";
        case tk_specobject: return "list specobject";
        default: return "list ?";
      }
    default: return "?";
  }
}

int Usage(FILE* out) {
  std::fprintf(out,
               "usage: cfgso COMMAND [ARGS]\n"
               "\n"
               "commands:\n"
               "  catalog [FILE] list the startups of a feature catalog with their attributes and kinds\n"
               "                 (without FILE: the shipped catalog CfgSOCatalog.feat)\n"
               "  demo           create a configuration context through the library, set its four values\n"
               "                 and print what reads back\n"
               "  stream         stream a sample of each server structure to spec objects and back, printing\n"
               "                 the structure, the spec-object tree and the structure read back\n"
               "  --help         show this text\n"
               "\n"
               "The shipped catalog is found along KroGraphicPath (a ':'-separated list of directories); when\n"
               "KroGraphicPath is unset, cfgso looks in its own directory.\n"
               "Set KRO_TRACE to a comma-separated list of trace names (or ALL) to see the library's trace.\n");
  return out == stdout ? 0 : 2;
}

int ListCatalog(const char* path) {
  KroDocument* document = nullptr;
  HRESULT hr = KroDocumentServices::Open(path, document, 0);
  if (FAILED(hr) || !document) {
    std::fprintf(stderr, "cfgso: cannot open catalog %s (0x%08X)\n", path, static_cast<unsigned>(hr));
    return 1;
  }
  KroIContainer_var container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
  KroListValKroISpecObject_var startUps = container->ListStartUps();
  std::printf("%s: %d startup(s)\n", path, startUps.Size());
  for (int i = 1; i <= startUps.Size(); ++i) {
    const KroISpecObject_var& startUp = startUps[i];
    std::printf("%s (type %s)\n", startUp->GetName().ConvertToChar(), startUp->GetLateType().ConvertToChar());
    std::unique_ptr<KroListValKroISpecAttribute_var> attributes(startUp->ListAttributes());
    for (const KroISpecAttribute_var& attribute : *attributes)
      std::printf("  %-24s %s\n", attribute->GetName().ConvertToChar(),
                  KindName(attribute->GetKind(), attribute->GetElementKind()));
  }
  KroDocumentServices::Close(document);
  return 0;
}

// Without KroGraphicPath the catalog shipped next to the program is used.
void DefaultCatalogPath() {
  if (std::getenv("KroGraphicPath")) return;
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) setenv("KroGraphicPath", self.parent_path().c_str(), 1);
}

std::string ShippedCatalogPath() {
  DefaultCatalogPath();
  const char* path = std::getenv("KroGraphicPath");
  return KroFindPath("CfgSOCatalog.feat", path ? path : "");
}

}  // namespace

int DemoContext() {
  KroICfgSOContext_var context;
  HRESULT hr = KroCfgSOFactory::createContext(context);
  if (FAILED(hr)) {
    std::fprintf(stderr, "cfgso demo: cannot create a context (0x%08X); is CfgSOCatalog.feat along KroGraphicPath?\n",
                 static_cast<unsigned>(hr));
    return 1;
  }
  KroCfgUuid uuid = KroCfgUuid::Generate();
  context->setName("Assembly line A");
  context->setType("production");
  context->setInfo("context made by cfgso demo");
  context->setUuid(uuid.octets());

  KroUnicodeString name, type, info;
  SEQUENCE_octet octets;
  context->getName(name);
  context->getType(type);
  context->getInfo(info);
  hr = context->getUuid(octets);
  std::printf("Context (spec object of late type %s)\n", KroISpecObject_var(context)->GetLateType().ConvertToChar());
  std::printf("  name: %s\n  type: %s\n  info: %s\n  uuid: %s\n", name.ConvertToChar(), type.ConvertToChar(),
              info.ConvertToChar(), KroCfgUuid(octets).ToString().c_str());
  return SUCCEEDED(hr) ? 0 : 1;
}

namespace {

int Demo() {
  DefaultCatalogPath();
  int failures = 0;
  for (int (*part)() : {DemoContext, DemoDatesAndIntervals, DemoEffectivities, DemoModificationsAndLists}) {
    failures += part() != 0;
    std::printf("\n");
  }
  return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr);
  std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") return Usage(stdout);
  if (command == "catalog") {
    if (argc > 3) {
      std::fprintf(stderr, "cfgso catalog: expected at most one catalog file\n");
      return 2;
    }
    if (argc == 3) return ListCatalog(argv[2]);
    std::string shipped = ShippedCatalogPath();
    if (shipped.empty()) {
      std::fprintf(stderr, "cfgso catalog: CfgSOCatalog.feat not found along KroGraphicPath\n");
      return 1;
    }
    return ListCatalog(shipped.c_str());
  }
  if (command == "demo" && argc == 2) return Demo();
  if (command == "stream" && argc == 2) {
    DefaultCatalogPath();
    return DemoStreamer();
  }
  std::fprintf(stderr, "cfgso: unknown command '%s'\n", command.c_str());
  return Usage(stderr);
}
