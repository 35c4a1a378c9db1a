// cfgso query and cfgso show --svg on saved documents: what is printed, in text and JSON, the exit
// codes, and what the picture holds (read from the SVG itself; rendered once to PNG).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "KroCfgStreamer.h"
#include "KroDocument.h"
#include "library/LibraryTestSupport.h"

namespace {

namespace B = KroCfgModelBuilder;
namespace fs = std::filesystem;

struct Outcome {
  int code;
  std::string out;  // standard output, then standard error unless args redirect
};

Outcome Cfgso(const std::string& args) {
  std::string command = "env -u KroGraphicPath " + kro_test::CfgsoTool() + " " + args;
  if (args.find('>') == std::string::npos) command += " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Outcome run{-1, ""};
  char buf[4096];
  while (std::size_t n = fread(buf, 1, sizeof buf, pipe)) run.out.append(buf, n);
  const int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

// Files made here, removed when the test program ends.
struct ScratchFiles {
  std::vector<fs::path> paths;
  ~ScratchFiles() {
    std::error_code ec;
    for (const fs::path& path : paths) fs::remove(path, ec);
  }
};

fs::path Scratch(const std::string& name) {
  static ScratchFiles files;
  files.paths.push_back(fs::temp_directory_path() / ("cfgso-query-" + std::to_string(getpid()) + "-" + name));
  return files.paths.back();
}

// The document cfgso demo saves, made once.
const fs::path& DemoDocument() {
  static const fs::path path = [] {
    fs::path file = Scratch("demo.kro");
    Outcome run = Cfgso("demo --save " + file.string());
    EXPECT_EQ(run.code, 0) << run.out;
    return file;
  }();
  return path;
}

// The number cfgso show gives the demo's effectivity record.
int ShownEffectivityNumber() {
  Outcome run = Cfgso("show " + DemoDocument().string());
  std::smatch found;
  const std::regex line(R"(object (\d+) "[^"]*" of "CfgSOEffectivity")");
  EXPECT_TRUE(std::regex_search(run.out, found, line)) << run.out;
  return found.empty() ? -1 : std::stoi(found[1]);
}

TEST(CfgsoQueryTest, PrintsEachRecordThatHoldsWithTheNumberShowGivesIt) {
  const std::string file = DemoDocument().string();
  Outcome run = Cfgso("query " + file +
                      " --domain Powertrain --date 2004-06-01 --rank 120 --spec ENGINE-V6 --spec GEARBOX-AUTO");
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_NE(run.out.find(file + ": 1 record(s) hold\n"), std::string::npos) << run.out;
  const std::string expected =
      "object " + std::to_string(ShownEffectivityNumber()) + " (type CfgSOEffectivity): basic effectivity 2\n";
  EXPECT_NE(run.out.find(expected), std::string::npos) << run.out;

  // Each --spec takes one name: the file may follow it.
  run = Cfgso("query --spec ENGINE-V6 " + file + " --domain Powertrain --date 2005-01-01");
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_NE(run.out.find("basic effectivity 1"), std::string::npos) << run.out;
  run = Cfgso("query " + file + " --domain Powertrain --date 2004-06-01 --spec GEARBOX-AUTO --150");
  EXPECT_NE(run.out.find("basic effectivity 1"), std::string::npos) << run.out;
}

TEST(CfgsoQueryTest, NothingHoldingPrintsTheCountAloneAndSucceeds) {
  const std::string file = DemoDocument().string();
  for (const char* point : {"--domain Chassis --date 2004-06-01 --rank 120", "--domain Powertrain --date 2005-01-02",
                            "--domain Powertrain --date 2004-06-01 --spec GEARBOX-AUTO"}) {
    Outcome run = Cfgso("query " + file + " " + point);
    EXPECT_EQ(run.code, 0) << point;
    EXPECT_EQ(run.out, file + ": 0 record(s) hold\n") << point;
  }
  Outcome run = Cfgso("query " + file + " --domain Chassis --json");
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::array());
}

TEST(CfgsoQueryTest, JsonGivesTheSameRecordsAsAnArray) {
  Outcome run = Cfgso("query " + DemoDocument().string() +
                      " --domain Powertrain --date 2004-06-01 --rank 120 --spec ENGINE-V6 --spec GEARBOX-AUTO --json");
  ASSERT_EQ(run.code, 0) << run.out;
  const nlohmann::json records = nlohmann::json::parse(run.out);
  ASSERT_TRUE(records.is_array());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]["object"], ShownEffectivityNumber());
  EXPECT_EQ(records[0]["type"], "CfgSOEffectivity");
  EXPECT_EQ(records[0]["basic"], 2);
}

TEST(CfgsoQueryTest, ErrorsExitWithOneAndUsageErrorsWithTwo) {
  const std::string file = DemoDocument().string();
  Outcome run = Cfgso("query " + Scratch("missing.kro").string() + " --domain Powertrain");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("cfgso query: cannot open"), std::string::npos) << run.out;
  run = Cfgso("query " + file + " --domain Powertrain --date 2004-02-30");
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.out.find("not a date of the form YYYY-MM-DD"), std::string::npos) << run.out;
  EXPECT_EQ(Cfgso("query " + file).code, 2);                                    // no --domain
  EXPECT_EQ(Cfgso("query " + file + " --domain P --rank twelve").code, 2);
  EXPECT_EQ(Cfgso("query --domain P").code, 2);                                 // no file
  EXPECT_EQ(Cfgso("show " + file + " --at 2004-06-01").code, 2);                // --at needs --svg
  EXPECT_EQ(Cfgso("show --svg " + file + " --at 2004-6-1").code, 2);
}

// ---- Documents made here: effectivities of every kind, and a damaged one ----

class CfgsoPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { UseShippedCatalog(); }

  static KroISpecObject_var Effectivity(const char* domain, const KroTime& start, const KroTime& end,
                                        const std::vector<KroICfgSignedSpec_var>& terms, int rankFrom, int rankTo) {
    KroICfgSOEffectivity_var record;
    EXPECT_EQ(KroCfgSOFactory::createEffectivity(record), S_OK);
    std::vector<KroICfgBasicEffectivity_var> basics{B::BasicEffectivity(
        {end.Gettime_t() > 0 ? B::DateInterval(start, end) : B::InfiniteDateInterval(start)},
        terms.empty() ? KroICfgSpecANDExpression_var() : B::ANDExpression(terms))};
    if (rankFrom >= 0) basics.push_back(B::BasicEffectivity({B::RangeInterval(rankFrom, rankTo)}));
    EXPECT_EQ(record->setXEff(B::XEff(domain, basics)), S_OK);
    return KroISpecObject_var(record);
  }

  static void Save(const KroListValKroISpecObject_var& roots, const fs::path& file) {
    ASSERT_EQ(KroDocumentServices::Save(roots, file.string().c_str()), S_OK);
  }
};

TEST_F(CfgsoPictureTest, SmallDocumentShowsBarsAxesLabelsArrowsAndThePoint) {
  KroICfgSimpleSpecification_var v6 = B::Specification({.name = "ENGINE-V6", .categoryName = "Engine"});
  KroICfgSimpleSpecification_var automatic = B::Specification({.name = "GEARBOX-AUTO", .categoryName = "Gearbox"});
  KroListValKroISpecObject_var roots;
  roots.Append(Effectivity("Powertrain", KroTime(2004, 3, 15, 0, 0, 0), KroTime(2005, 1, 1, 0, 0, 0),
                           {B::SignedSpec(1, v6), B::SignedSpec(-1, automatic)}, 100, 250));
  roots.Append(Effectivity("Powertrain", KroTime(2004, 9, 1, 0, 0, 0), KroTime(0), {B::SignedSpec(1, automatic)}, -1, 0));
  NlsBasicEffectivity ranked;
  ranked.date_start = ranked.date_end = {1970, 1, 1, 0, 0, 0};  // no date interval
  ranked.range_start = 50;
  ranked.range_end = -1;
  KroISpecObject_var streamed;
  ASSERT_EQ(KroCfgStreamer::DomainEffectivityToSpecObject({{ranked}, NlsString{"Chassis & Body"}}, streamed), S_OK);
  roots.Append(streamed);
  const fs::path file = Scratch("small.kro"), svgFile = Scratch("small.svg"), pngFile = Scratch("small.png");
  Save(roots, file);

  Outcome run = Cfgso("show --svg " + file.string() + " --at 2004-06-01 --rank 120 > " + svgFile.string());
  ASSERT_EQ(run.code, 0) << run.out;
  const std::string svg = ReadFile(svgFile);
  EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  EXPECT_EQ(Count(svg, "class=\"bar date\""), 2u);
  EXPECT_EQ(Count(svg, "class=\"bar rank\""), 2u);
  EXPECT_EQ(Count(svg, "class=\"arrow\""), 2u);  // the open date end and the open rank end
  for (const char* year : {">2004</text>", ">2005</text>"}) EXPECT_NE(svg.find(year), std::string::npos) << year;
  EXPECT_EQ(Count(svg, "class=\"tick year\""), 1u);  // 2004 is named at the axis's start
  EXPECT_GE(Count(svg, "class=\"tick month\""), 8u);
  EXPECT_GE(Count(svg, "class=\"tick rank\""), 3u);
  EXPECT_NE(svg.find(">ENGINE-V6 AND NOT GEARBOX-AUTO</text>"), std::string::npos);
  EXPECT_NE(svg.find(">GEARBOX-AUTO</text>"), std::string::npos);
  EXPECT_NE(svg.find(">Powertrain (2)</text>"), std::string::npos);
  EXPECT_NE(svg.find(">Chassis &amp; Body (1)</text>"), std::string::npos);
  EXPECT_EQ(Count(svg, "class=\"point date\""), 1u);
  EXPECT_EQ(Count(svg, "class=\"point rank\""), 1u);
  EXPECT_NE(svg.find(">2004-06-01</text>"), std::string::npos);

  // Domains group the lanes: both Powertrain records come before the Chassis one.
  EXPECT_LT(svg.find("CfgSOEffectivity</text>"), svg.find("StreamerDomainEffectivity</text>"));

  if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "rsvg-convert is not installed";
  const std::string render = "rsvg-convert -o " + pngFile.string() + " " + svgFile.string();
  ASSERT_EQ(std::system(render.c_str()), 0);
  EXPECT_EQ(ReadFile(pngFile).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST_F(CfgsoPictureTest, TwoHundredEffectivitiesFitOneFileUnderOneMegabyte) {
  KroICfgSimpleSpecification_var spec = B::Specification({.name = "OPTION", .categoryName = "Options"});
  KroListValKroISpecObject_var roots;
  for (int i = 0; i < 200; ++i)
    roots.Append(Effectivity(i % 3 ? "Powertrain" : "Chassis", KroTime(1995 + i % 20, 1 + i % 12, 1, 0, 0, 0),
                             i % 7 ? KroTime(1997 + i % 20 + i % 5, 1 + i % 12, 28, 0, 0, 0) : KroTime(0),
                             {B::SignedSpec(i % 2 ? 1 : -1, spec)}, i, i % 11 ? i + 50 : -1));
  const fs::path file = Scratch("many.kro"), svgFile = Scratch("many.svg");
  Save(roots, file);
  Outcome run = Cfgso("show --svg " + file.string() + " > " + svgFile.string());
  ASSERT_EQ(run.code, 0) << run.out;
  const std::string svg = ReadFile(svgFile);
  EXPECT_LT(svg.size(), 1u << 20);
  EXPECT_EQ(Count(svg, " CfgSOEffectivity</text>"), 200u);
  EXPECT_EQ(Count(svg, "class=\"bar date\""), 200u);
  EXPECT_NE(svg.find(">Chassis (67)</text>"), std::string::npos);
}

TEST_F(CfgsoPictureTest, DamagedRecordsAreNamedAndTheRestStillAnswers) {
  KroListValKroISpecObject_var roots;
  roots.Append(Effectivity("Powertrain", KroTime(2004, 3, 15, 0, 0, 0), KroTime(2005, 1, 1, 0, 0, 0), {}, -1, 0));
  KroICfgSOSpecExpression_var damaged;
  ASSERT_EQ(KroCfgSOFactory::createSpecExpression(damaged), S_OK);
  KroISpecObject_var damagedSO(damaged);
  KroRawCollint signs;
  signs.Append(1);
  ASSERT_EQ(KroCfgSOServices::SetListIntegerValue(damagedSO, KroCfgSOStrings::SPECEXPRESSION_EXPR_LST, signs), S_OK);
  roots.Append(damagedSO);
  const fs::path file = Scratch("damaged.kro");
  Save(roots, file);

  Outcome run = Cfgso("query " + file.string() + " --domain Powertrain --date 2004-06-01");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("1 record(s) hold"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("(type CfgSOSpecExpression) is damaged: KRO_E_DAMAGED_EFFECTIVITY (0x80040211)"),
            std::string::npos)
      << run.out;
}

}  // namespace
