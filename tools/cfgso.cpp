// cfgso: command-line front end of the configuration spec-object library.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cfgso_documents.h"
#include "cfgso_query.h"
#include "cfgso_results.h"
#include "cfgso_server.h"
#include "cfgso_svg.h"
#include "demo_context.h"
#include "demo_datesandintervals.h"
#include "demo_effectivities.h"
#include "demo_modificationsandlists.h"
#include "demo_streamer.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOFramework.h"
#include "KroCfgUuid.h"
#include "KroDocument.h"
#include "KroPlatformServices.h"

namespace {

int ListCatalog(const char* path) {
  KroDocument* document = nullptr;
  HRESULT hr = KroDocumentServices::Open(path, document, 0);
  if (FAILED(hr) || !document) {
    std::fprintf(stderr, "cfgso catalog: cannot open %s: %s\n", path, ResultText(hr).c_str());
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
                  KindText(attribute->GetKind(), attribute->GetElementKind()).c_str());
  }
  KroDocumentServices::Close(document);
  return 0;
}

const char* const kCatalog = "CfgSOCatalog.feat";

// The folders cfgso searches for the catalog. Without KroGraphicPath: its own folder (the build tree)
// and the installed share folder, relative to its own; KroGraphicPath is then set to them, since the
// library looks nowhere else.
std::vector<std::string> CatalogFolders(bool& fromEnvironment) {
  std::vector<std::string> folders;
  const char* path = std::getenv("KroGraphicPath");
  fromEnvironment = path != nullptr;
  if (path) {
    std::string list = path;
    for (std::size_t begin = 0; begin <= list.size();) {
      std::size_t colon = list.find(':', begin);
      if (colon == std::string::npos) colon = list.size();
      if (colon > begin) folders.push_back(list.substr(begin, colon - begin));
      begin = colon + 1;
    }
    return folders;
  }
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return folders;
  folders.push_back(self.parent_path().string());
  folders.push_back((self.parent_path() / KRO_CATALOG_FROM_BIN).lexically_normal().string());
  std::string joined = folders[0] + ":" + folders[1];
  setenv("KroGraphicPath", joined.c_str(), 1);
  return folders;
}

// The full path of the shipped catalog, or empty after one line on standard error naming the file and
// every folder searched.
std::string FindCatalog(const std::string& command) {
  bool fromEnvironment = false;
  std::vector<std::string> folders = CatalogFolders(fromEnvironment);
  std::string joined;
  for (const std::string& folder : folders) joined += (joined.empty() ? "" : ", ") + folder;
  std::string found = joined.empty() ? std::string() : KroFindPath(kCatalog, std::getenv("KroGraphicPath"));
  if (found.empty())
    std::fprintf(stderr, "cfgso %s: %s not found; searched %s (%s)\n", command.c_str(), kCatalog,
                 joined.empty() ? "no folder" : joined.c_str(),
                 !fromEnvironment ? "KroGraphicPath is unset: cfgso's folder and the installed one"
                 : joined.empty() ? "KroGraphicPath is empty"
                                  : "KroGraphicPath");
  return found;
}

}  // namespace

namespace {

int Demo() {
  int failures = 0;
  for (int (*part)() : {DemoContext, DemoDatesAndIntervals, DemoEffectivities, DemoModificationsAndLists}) {
    failures += part() != 0;
    std::printf("\n");
  }
  return failures ? 1 : 0;
}

}  // namespace

namespace {

// The null-handle error names the interface whose handle was empty.
std::string MissingInterface(const KroNullVarError& error) {
  std::string what = error.what();
  std::size_t colon = what.rfind(": ");
  std::string name = colon == std::string::npos ? what : what.substr(colon + 2);
  if (name.size() > 4 && name.ends_with("_var")) name.resize(name.size() - 4);
  return name;
}

const char* const kFooter =
    "Without KroGraphicPath, cfgso looks for CfgSOCatalog.feat in its own folder, then in the installed\n"
    "share/CfgSIDLServices folder; with it, only along KroGraphicPath (folders separated by ':').\n"
    "\n"
    "Environment:\n"
    "  KroGraphicPath    search path of the catalog CfgSOCatalog.feat\n"
    "  KRO_TRACE         trace names to switch on, comma-separated, or ALL\n"
    "  KRO_TRACE_OUTPUT  where the trace goes: STDOUT (default), STDERR or a file path\n"
    "  KRO_CONTAINER_MODE  store (default: everything made stays in the container) or transient\n"
    "                    (what nothing holds is reclaimed); --save keeps the store mode\n"
    "  KRO_GC_FLOOR      collect unreferenced objects once this many are collectable (default 4096;\n"
    "                    1 collects before every instantiation, a debugging aid)\n"
    "\n"
    "Exit codes: 0 success, 1 failure, 2 usage error.";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("cfgso: command-line front end of the configuration spec-object library", "cfgso");
  app.set_version_flag("--version", "cfgso " KRO_CFGSO_VERSION);
  app.footer(kFooter);
  app.require_subcommand(0, 1);

  std::string catalogFile;
  CLI::App* catalog = app.add_subcommand("catalog", "list the startups of a feature catalog with their attributes and kinds");
  catalog->add_option("FILE", catalogFile, "the catalog to list (default: the shipped CfgSOCatalog.feat)");
  CLI::App* demo = app.add_subcommand("demo", "create a context and one object of each area through the library, "
                                              "set their values and print what reads back");
  CLI::App* stream = app.add_subcommand("stream", "stream a sample of each server structure to spec objects and back");
  std::string saveFile;
  for (CLI::App* maker : {demo, stream})
    maker->add_option("--save", saveFile, "write every spec object made to FILE")->type_name("FILE");
  std::string showFile;
  bool showJson = false;
  CLI::App* show = app.add_subcommand("show", "list a saved document's objects with their startup and attributes, "
                                              "nested objects indented");
  show->add_flag("--json", showJson, "the same as JSON, nested objects nested");
  show->add_option("FILE", showFile, "the document to show")->required();
  bool showSvg = false;
  std::string showAt;
  std::optional<std::int64_t> showRank;
  CLI::Option* svgFlag = show->add_flag("--svg", showSvg, "draw the document's effectivities as SVG on standard output: "
                                                          "one lane per record, grouped by domain, on date and rank axes");
  // An empty value is refused rather than read as no value at all.
  const CLI::Validator nonEmpty(
      [](std::string& value) { return value.empty() ? std::string("an empty value is not allowed") : std::string(); },
      "", "non-empty");
  show->add_option("--at", showAt, "with --svg: draw this date as a line and mark what holds there")
      ->type_name("YYYY-MM-DD")
      ->check(nonEmpty)
      ->needs(svgFlag);
  show->add_option("--rank", showRank, "with --svg: draw this rank as a line and mark what holds there")
      ->type_name("N")
      ->check(nonEmpty)
      ->needs(svgFlag);
  std::vector<std::string> showSpecs;
  show->add_option("--spec", showSpecs, "with --svg and --at or --rank: a chosen specification; repeat for each")
      ->type_name("NAME")
      ->allow_extra_args(false)
      ->needs(svgFlag);
  bool show150 = false;
  show->add_flag("--150", show150, "with --svg and --at or --rank: 150% mode, expressions are not consulted")->needs(svgFlag);
  svgFlag->excludes(show->get_option("--json"));
  QueryOptions query;
  CLI::App* queryCommand = app.add_subcommand("query", "list the records of a saved document that hold at a configuration "
                                                       "point: object number, type, the basic effectivity that made it hold");
  queryCommand->add_option("FILE", query.file, "the document to query")->required();
  queryCommand->add_option("--domain", query.domain, "the point's domain")->required()->type_name("D");
  queryCommand->add_option("--date", query.date, "the point's date, UTC (without it, no date interval holds)")
      ->type_name("YYYY-MM-DD")
      ->check(nonEmpty);
  queryCommand->add_option("--rank", query.rank, "the point's rank (without it, no rank interval holds)")
      ->type_name("N")
      ->check(nonEmpty);
  queryCommand->add_option("--spec", query.specs, "a chosen specification; repeat for each")
      ->type_name("NAME")
      ->allow_extra_args(false);  // one name per --spec, so that FILE may follow
  queryCommand->add_flag("--150", query.mode150, "150% mode: expressions are not consulted");
  queryCommand->add_flag("--json", query.json, "the records as a JSON array");
  // cfgso-server's commands, run by cfgso_server.cpp.
  ServerOptions remote;
  const char* absent = CfgsoServerCommands::Available() ? nullptr : "(this cfgso was built without the server's client)";
  CLI::App* push = app.add_subcommand("push", absent ? absent : "stream every record of a document to cfgso-server, in batches");
  CLI::App* pull = app.add_subcommand("pull", absent ? absent : "fetch cfgso-server's records, stream them into spec "
                                                                "objects and save them");
  if (absent) {
    for (CLI::App* command : {push, pull}) command->allow_extras();
  } else {
    push->add_option("FILE", remote.file, "the document to send")->required();
    pull->add_option("--domain", remote.domain, "only the records of this domain")->type_name("D");
    pull->add_option("--save", remote.file, "the document to write")->required()->type_name("FILE");
    for (CLI::App* command : {push, pull})
      command->add_option("--server", remote.server, "the address cfgso-server printed (corbaloc:...)")
          ->required()
          ->type_name("ADDRESS");
  }
  queryCommand->add_option("--server", remote.server, absent ? absent : "ask cfgso-server at this address instead of a file")
      ->type_name("ADDRESS");
  queryCommand->get_option("FILE")->required(false);
  std::string topic;
  CLI::App* help = app.add_subcommand("help", "show the help of cfgso, or of one COMMAND");
  help->add_option("COMMAND", topic, "the command to describe");

  if (argc < 2) {
    std::fputs(app.help().c_str(), stderr);
    return 2;
  }
  std::string first = argv[1];
  auto known = [&app](const std::string& name) {
    return !app.get_subcommands([&name](CLI::App* sub) { return sub->get_name() == name; }).empty();
  };
  if (!first.starts_with("-") && !known(first)) {
    std::fprintf(stderr, "cfgso: unknown command '%s'; run 'cfgso help' for the commands\n", first.c_str());
    return 2;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version
    std::fprintf(stderr, "cfgso: %s\nrun 'cfgso help%s%s' for usage\n", e.what(),
                 app.get_subcommands().empty() ? "" : " ", app.get_subcommands().empty() ? "" : app.get_subcommands()[0]->get_name().c_str());
    return 2;
  }

  std::string command = app.get_subcommands().empty() ? "" : app.get_subcommands()[0]->get_name();
  try {
    if (*help) {
      if (topic.empty()) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
      }
      if (!known(topic)) {
        std::fprintf(stderr, "cfgso help: unknown command '%s'\n", topic.c_str());
        return 2;
      }
      std::fputs(app.get_subcommand(topic)->help("cfgso").c_str(), stdout);
      return 0;
    }
    if (*catalog) {
      if (!catalogFile.empty()) return ListCatalog(catalogFile.c_str());
      std::string shipped = FindCatalog(command);
      return shipped.empty() ? 1 : ListCatalog(shipped.c_str());
    }
    if (*show) return showSvg ? ShowSvg(showFile, {showAt, showRank, showSpecs, show150}) : ShowDocument(showFile.c_str(), showJson);
    // A query with neither FILE nor --server goes there too, to be refused.
    if (*push || *pull || (*queryCommand && (!remote.server.empty() || query.file.empty()))) {
      using Server = CfgsoServerCommands;
      if (*pull && !absent && FindCatalog(command).empty()) return 1;  // pull makes spec objects
      return Server::Run(*push ? Server::Command::Push : *pull ? Server::Command::Pull : Server::Command::Query, remote,
                         query);
    }
    if (*queryCommand) return QueryDocument(query);
    if (*demo || *stream) {
      if (FindCatalog(command).empty()) return 1;
      if (!saveFile.empty() && KeepEverythingMade() != 0) return 1;
      int status = *demo ? Demo() : DemoStreamer();
      if (!saveFile.empty() && SaveWhatWasMade(saveFile.c_str()) != 0) status = 1;
      return status;
    }
    std::fputs(app.help().c_str(), stderr);
    return 2;
  } catch (const KroNullVarError& e) {
    std::fprintf(stderr,
                 "cfgso %s: the library returned no %s where one was needed (%s); does the catalog hold every "
                 "startup this command uses?\n",
                 command.c_str(), MissingInterface(e).c_str(), e.what());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cfgso %s: unexpected error: %s\n", command.c_str(), e.what());
  }
  return 1;
}
