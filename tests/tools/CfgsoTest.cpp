// cfgso as a user meets it: commands, help, usage errors, a missing catalog, a broken one, the trace.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Run {
  int code;
  std::string out;  // standard output and standard error, in order
};

// Runs cfgso through the shell; env is prepended to the command line.
Run Cfgso(const std::string& args, const std::string& env = "env -u KroGraphicPath") {
  std::string command = env + " " + KRO_CFGSO_TOOL + " " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Run run{-1, ""};
  char buf[4096];
  while (std::size_t n = fread(buf, 1, sizeof buf, pipe)) run.out.append(buf, n);
  int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

bool Has(const Run& run, const std::string& text) { return run.out.find(text) != std::string::npos; }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(CfgsoTest, CommandsRunOnTheShippedCatalogFoundBesideTheProgram) {
  Run run = Cfgso(std::string("catalog ") + KRO_TEST_DATA_DIR "/sample.feat");
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
  Run run = Cfgso("--version");
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "cfgso " KRO_PROJECT_VERSION "\n");

  run = Cfgso("--help");
  EXPECT_EQ(run.code, 0);
  EXPECT_TRUE(Has(run, "catalog") && Has(run, "stream") && Has(run, "Exit codes: 0 success, 1 failure, 2 usage"))
      << run.out;
  EXPECT_TRUE(Has(run, "KRO_TRACE_OUTPUT")) << run.out;

  // Both spellings describe the command instead of running it or reading "--help" as a file.
  Run helpCatalog = Cfgso("help catalog");
  Run catalogHelp = Cfgso("catalog --help");
  EXPECT_EQ(helpCatalog.code, 0);
  EXPECT_EQ(catalogHelp.code, 0);
  EXPECT_TRUE(Has(helpCatalog, "FILE")) << helpCatalog.out;
  EXPECT_TRUE(Has(catalogHelp, "FILE")) << catalogHelp.out;
  EXPECT_FALSE(Has(catalogHelp, "cannot open"));
}

TEST(CfgsoTest, UsageErrorsExitWithTwoAndSayWhatWasWrong) {
  Run run = Cfgso("");
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
  Run run = Cfgso("demo", "KroGraphicPath=/nowhere/a:/nowhere/b");
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out,
            "cfgso demo: CfgSOCatalog.feat not found; searched /nowhere/a, /nowhere/b (KroGraphicPath)\n");
  run = Cfgso("stream", "KroGraphicPath=");
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(Has(run, "CfgSOCatalog.feat not found; searched no folder")) << run.out;

  run = Cfgso("catalog /nonexistent.feat");
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(Has(run, "cannot open /nonexistent.feat: KRO_E_FILE_NOT_FOUND (0x80070002)")) << run.out;

  // A catalog without one of the streamer's startups: a message, not an abort.
  std::filesystem::path folder = std::filesystem::temp_directory_path() / ("cfgso-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::istringstream shipped(ReadFile(KRO_SHIPPED_CATALOG_DIR "/CfgSOCatalog.feat"));
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
  Run plain = Cfgso("demo");
  Run toStderr = Cfgso("demo 2>/dev/null", "env -u KroGraphicPath KRO_TRACE=KroCfgSOFactory KRO_TRACE_OUTPUT=STDERR");
  EXPECT_EQ(toStderr.code, 0);
  EXPECT_EQ(toStderr.out, plain.out);  // standard output holds the program's own lines only

  std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("cfgso-trace-" + std::to_string(getpid()) + ".txt");
  Run toFile = Cfgso("demo", "env -u KroGraphicPath KRO_TRACE=KroCfgSOFactory KRO_TRACE_OUTPUT=" + file.string());
  EXPECT_EQ(toFile.out, plain.out);
  std::string trace = ReadFile(file);
  EXPECT_NE(trace.find("[getContainer] Document CfgSOCatalog.feat loaded"), std::string::npos) << trace;
  std::filesystem::remove(file);
}

}  // namespace
