// cfgso: command-line front end of the configuration spec-object library.
#include <cstdio>
#include <cstring>
#include <string>

#include "KroCfgSOFramework.h"
#include "KroDocument.h"

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
               "  catalog FILE   list the startups of a feature catalog with their attributes and kinds\n"
               "  --help         show this text\n"
               "\n"
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
    auto* startUp = dynamic_cast<KroSpecObject*>(startUps[i].ptr());
    std::printf("%s (type %s)\n", startUp->name().c_str(), startUp->lateType().c_str());
    for (KroSpecAttribute* attribute : startUp->attributes())
      std::printf("  %-24s %s\n", attribute->name().c_str(), KindName(attribute->GetKind(), attribute->GetElementKind()));
  }
  KroDocumentServices::Close(document);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr);
  std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") return Usage(stdout);
  if (command == "catalog") {
    if (argc != 3) {
      std::fprintf(stderr, "cfgso catalog: expected one catalog file\n");
      return 2;
    }
    return ListCatalog(argv[2]);
  }
  std::fprintf(stderr, "cfgso: unknown command '%s'\n", command.c_str());
  return Usage(stderr);
}
