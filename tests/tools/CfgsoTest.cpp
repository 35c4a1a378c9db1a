// cfgso as a user meets it: commands, help, usage errors, a missing catalog, a broken one, the trace.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "TestPaths.h"

namespace {

struct Outcome {
  int code;
  std::string out;  // standard output and standard error, in order
};

// Runs cfgso through the shell; env is prepended to the command line. Without redirections in args,
// standard error is read along with standard output.
Outcome Cfgso(const std::string& args, const std::string& env = "env -u KroGraphicPath") {
  std::string command = env + " " + kro_test::CfgsoTool() + " " + args;
  if (args.find('>') == std::string::npos) command += " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Outcome run{-1, ""};
  char buf[4096];
  while (std::size_t n = fread(buf, 1, sizeof buf, pipe)) run.out.append(buf, n);
  int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

bool Has(const Outcome& run, const std::string& text) { return run.out.find(text) != std::string::npos; }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(CfgsoTest, CommandsRunOnTheShippedCatalogFoundBesideTheProgram) {
  Outcome run = Cfgso("catalog " + kro_test::TestDataDir() + "/sample.feat");
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_TRUE(Has(run, "SampleDerived (type SampleDerived)")) << run.out;
  EXPECT_TRUE(Has(run, "octets"));

  run = Cfgso("catalog");
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_TRUE(Has(run, "CfgSOContext (type CfgSOContext)")) << run.out;
  run = Cfgso("demo");
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_TRUE(Has(run, "  name: Assembly line A")) << run.out;
  EXPECT_TRUE(Has(run, "setXEff S_OK (0x00000000)")) << run.out;
}

TEST(CfgsoTest, HelpAndVersionGoToStandardOutputWithSuccess) {
  Outcome run = Cfgso("--version");
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "cfgso " + kro_test::ProjectVersion() + "\n");

  run = Cfgso("--help");
  EXPECT_EQ(run.code, 0);
  EXPECT_TRUE(Has(run, "catalog") && Has(run, "stream") && Has(run, "Exit codes: 0 success, 1 failure, 2 usage"))
      << run.out;
  EXPECT_TRUE(Has(run, "KRO_TRACE_OUTPUT")) << run.out;

  // Both spellings describe the command instead of running it or reading "--help" as a file.
  Outcome helpCatalog = Cfgso("help catalog");
  Outcome catalogHelp = Cfgso("catalog --help");
  EXPECT_EQ(helpCatalog.code, 0);
  EXPECT_EQ(catalogHelp.code, 0);
  EXPECT_TRUE(Has(helpCatalog, "FILE")) << helpCatalog.out;
  EXPECT_TRUE(Has(catalogHelp, "FILE")) << catalogHelp.out;
  EXPECT_FALSE(Has(catalogHelp, "cannot open"));
}

TEST(CfgsoTest, UsageErrorsExitWithTwoAndSayWhatWasWrong) {
  Outcome run = Cfgso("");
  EXPECT_EQ(run.code, 2);
  run = Cfgso("bogus");
  EXPECT_EQ(run.code, 2);
  EXPECT_TRUE(Has(run, "unknown command 'bogus'")) << run.out;
  run = Cfgso("demo extra");
  EXPECT_EQ(run.code, 2);
  EXPECT_TRUE(Has(run, "extra")) << run.out;
  EXPECT_FALSE(Has(run, "unknown command")) << run.out;
  run = Cfgso("catalog a.feat b.feat");
  EXPECT_EQ(run.code, 2);
  EXPECT_TRUE(Has(run, "b.feat")) << run.out;
  run = Cfgso("help bogus");
  EXPECT_EQ(run.code, 2);
  run = Cfgso("--frobnicate");
  EXPECT_EQ(run.code, 2);
}

TEST(CfgsoTest, FailuresExitWithOneAndNameTheCause) {
  // A catalog nowhere on the path: one line naming the file and every folder searched.
  Outcome run = Cfgso("demo", "KroGraphicPath=/nowhere/a:/nowhere/b");
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out,
            "cfgso demo: CfgSOCatalog.feat not found; searched /nowhere/a, /nowhere/b (KroGraphicPath)\n");
  run = Cfgso("stream", "KroGraphicPath=");
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(Has(run, "CfgSOCatalog.feat not found; searched no folder (KroGraphicPath is empty)")) << run.out;

  run = Cfgso("catalog /nonexistent.feat");
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(Has(run, "cannot open /nonexistent.feat: KRO_E_FILE_NOT_FOUND (0x80070002)")) << run.out;

  // A catalog without one of the streamer's startups: a message, not an abort.
  std::filesystem::path folder = std::filesystem::temp_directory_path() / ("cfgso-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::istringstream shipped(ReadFile(kro_test::ShippedCatalogDir() + "/CfgSOCatalog.feat"));
  std::ofstream broken(folder / "CfgSOCatalog.feat");
  bool skipping = false;
  for (std::string line; std::getline(shipped, line);) {
    if (line == "startup \"StreamerBaseObject\" type \"StreamerBaseObject\"") skipping = true;
    if (!skipping) broken << line << "\n";
    if (skipping && line == "end") skipping = false;
  }
  broken.close();
  run = Cfgso("stream", "KroGraphicPath=" + folder.string());
  EXPECT_EQ(run.code, 1) << run.out;
  EXPECT_FALSE(Has(run, "terminate")) << run.out;
  std::filesystem::remove_all(folder);
}

TEST(CfgsoTest, TraceGoesWhereKroTraceOutputSays) {
  const std::string traced = "env -u KroGraphicPath KRO_TRACE=KroCfgSOFactory ";
  const std::string loaded = "[getContainer] Document CfgSOCatalog.feat loaded";
  Outcome plain = Cfgso("demo 2>/dev/null", traced);
  EXPECT_TRUE(Has(plain, loaded)) << plain.out;  // standard output by default

  Outcome out = Cfgso("demo 2>/dev/null", traced + "KRO_TRACE_OUTPUT=STDERR");
  Outcome err = Cfgso("demo 2>&1 >/dev/null", traced + "KRO_TRACE_OUTPUT=stderr");
  EXPECT_EQ(out.code, 0);
  EXPECT_TRUE(Has(out, "  name: Assembly line A")) << out.out;
  EXPECT_FALSE(Has(out, "[getContainer]")) << out.out;
  EXPECT_TRUE(Has(err, loaded)) << err.out;

  std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("cfgso-trace-" + std::to_string(getpid()) + ".txt");
  Outcome toFile = Cfgso("demo", traced + "KRO_TRACE_OUTPUT=" + file.string());
  EXPECT_EQ(toFile.code, 0);
  EXPECT_FALSE(Has(toFile, "[getContainer]")) << toFile.out;
  EXPECT_NE(ReadFile(file).find(loaded), std::string::npos);
  std::filesystem::remove(file);
}

// The count in "cfgso: saved N object(s)".
int SavedCount(const Outcome& run) {
  const std::size_t at = run.out.find("cfgso: saved ");
  return at == std::string::npos ? -1 : std::atoi(run.out.c_str() + at + 13);
}

TEST(CfgsoTest, SavedObjectCountsDoNotDependOnCollectionsOrTheMode) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("cfgso-counts-" + std::to_string(getpid()) + ".kro");
  for (const char* command : {"demo", "stream"}) {
    SCOPED_TRACE(command);
    const std::string save = std::string(command) + " --save " + file.string();
    Outcome plain = Cfgso(save, "env -u KroGraphicPath -u KRO_GC_FLOOR -u KRO_CONTAINER_MODE");
    Outcome always = Cfgso(save, "env -u KroGraphicPath -u KRO_CONTAINER_MODE KRO_GC_FLOOR=1");
    Outcome transient = Cfgso(save, "env -u KroGraphicPath KRO_GC_FLOOR=1 KRO_CONTAINER_MODE=transient");
    EXPECT_GT(SavedCount(plain), 1) << plain.out;
    EXPECT_EQ(SavedCount(always), SavedCount(plain)) << always.out;
    EXPECT_EQ(SavedCount(transient), SavedCount(plain)) << transient.out;
    EXPECT_TRUE(Has(transient, "so the container runs in the store mode")) << transient.out;
  }
  std::filesystem::remove(file);
}

TEST(CfgsoTest, BadCollectorSettingsAreRefusedInOneLineAndTheDefaultsStay) {
  for (const char* floor : {"0", "-3", "12x", "99999999999999999999", "1073741825"}) {
    Outcome run = Cfgso("demo 2>&1 >/dev/null", std::string("env -u KroGraphicPath -u KRO_CONTAINER_MODE KRO_GC_FLOOR=") + floor);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "KRO_GC_FLOOR=\"" + std::string(floor) +
                           "\" ignored: expected a whole number from 1 to 1073741824; the floor stays 4096\n");
  }
  Outcome run = Cfgso("demo 2>&1 >/dev/null", "env -u KroGraphicPath -u KRO_GC_FLOOR KRO_CONTAINER_MODE=Transient");
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "KRO_CONTAINER_MODE=\"Transient\" ignored: expected \"store\" or \"transient\"; the mode stays store\n");
}

}  // namespace
