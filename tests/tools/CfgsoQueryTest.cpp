// cfgso query and cfgso show --svg on saved documents: what is printed, in text and JSON, the exit
// codes, and what the picture holds (read from the SVG itself; rendered once to PNG).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
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
  // A line such as: object 10 "..." of "CfgSOEffectivity"
  const std::size_t of = run.out.find("\" of \"CfgSOEffectivity\"");
  const std::size_t line = of == std::string::npos ? std::string::npos : run.out.rfind("object ", of);
  EXPECT_NE(line, std::string::npos) << run.out;
  return line == std::string::npos ? -1 : std::atoi(run.out.c_str() + line + 7);
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
  // An empty value is no value given by mistake, not "no date" or "no rank".
  for (const char* empty : {"--date \"\"", "--rank \"\"", "--date=", "--rank="}) {
    run = Cfgso("query " + file + " --domain Powertrain " + empty);
    EXPECT_EQ(run.code, 2) << empty << run.out;
    EXPECT_EQ(run.out.find("record(s) hold"), std::string::npos) << empty << run.out;
  }
  for (const char* empty : {"--at \"\"", "--rank \"\""}) EXPECT_EQ(Cfgso("show --svg " + file + " " + empty).code, 2) << empty;
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

// Every x, y, width and height written, as numbers.
std::vector<double> Coordinates(const std::string& svg) {
  std::vector<double> out;
  for (const char* name : {" x=\"", " y=\"", " x1=\"", " x2=\"", " y1=\"", " y2=\"", " width=\"", " height=\""})
    for (std::size_t at = svg.find(name); at != std::string::npos; at = svg.find(name, at + 1)) {
      const std::size_t from = at + std::strlen(name);
      out.push_back(std::strtod(svg.substr(from, svg.find('"', from) - from).c_str(), nullptr));
    }
  return out;
}

// The text of each <text> element of the class.
std::vector<std::string> Texts(const std::string& svg, const std::string& cls) {
  std::vector<std::string> out;
  const std::string open = "<text class=\"" + cls + "\"";
  for (std::size_t at = svg.find(open); at != std::string::npos; at = svg.find(open, at + 1)) {
    const std::size_t from = svg.find('>', at) + 1;
    out.push_back(svg.substr(from, svg.find("</text>", from) - from));
  }
  return out;
}

TEST_F(CfgsoPictureTest, SmallDocumentShowsBarsAxesLegendAndWhatHoldsAtThePoint) {
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

  Outcome run = Cfgso("show --svg " + file.string() + " --at 2004-06-01 --rank 120 --spec ENGINE-V6 > " + svgFile.string());
  ASSERT_EQ(run.code, 0) << run.out;
  const std::string svg = ReadFile(svgFile);
  EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  // What holds: the first record's dated basic effectivity (V6 chosen, automatic not) and its ranks,
  // and the streamed ranks from 50 on; the second record wants the automatic gearbox.
  EXPECT_EQ(Count(svg, "class=\"bar date hold\""), 1u);
  EXPECT_EQ(Count(svg, "class=\"bar date\""), 1u + 1u);  // the second record's bar, and the legend's swatch
  EXPECT_EQ(Count(svg, "class=\"bar rank hold\""), 2u);
  EXPECT_EQ(Count(svg, "class=\"arrow\""), 3u);  // the open date end, the open rank end, the legend
  EXPECT_NE(svg.find(": 3 effectivity record(s); 2 hold at 2004-06-01, rank 120 with ENGINE-V6</text>"), std::string::npos);
  EXPECT_NE(svg.find(">Powertrain (2, 1 hold)</text>"), std::string::npos);
  EXPECT_NE(svg.find(">Chassis &amp; Body (1, 1 hold)</text>"), std::string::npos);
  EXPECT_EQ(Count(svg, "class=\"mark\""), 2u);
  EXPECT_EQ(Texts(svg, "record hold").size(), 2u);
  EXPECT_EQ(Texts(svg, "record").size(), 1u + 2u + 2u);  // the second record; "date (UTC)" and "rank" per group
  // The legend names every colour and the arrow.
  for (const char* entry : {"date interval", "rank interval", "holds at the point", "open end", "the point"})
    EXPECT_NE(svg.find(entry), std::string::npos) << entry;
  // Each group repeats the axes: two groups, two date axes and two rank axes.
  EXPECT_EQ(Count(svg, ">date (UTC)</text>"), 2u);
  EXPECT_EQ(Count(svg, ">rank</text>"), 2u);
  EXPECT_EQ(Count(svg, ">2005</text>"), 2u);
  EXPECT_GE(Count(svg, "class=\"tick month\""), 16u);
  EXPECT_GE(Count(svg, "class=\"tick rank\""), 6u);
  EXPECT_EQ(Count(svg, "class=\"point date\""), 2u);
  EXPECT_EQ(Count(svg, "class=\"point rank\""), 2u);
  EXPECT_EQ(Count(svg, ">2004-06-01</text>"), 2u);  // the point's label, whole, in each group
  EXPECT_EQ(Count(svg, ">rank 120</text>"), 2u);
  EXPECT_NE(svg.find(">ENGINE-V6 AND NOT GEARBOX-AUTO</text>"), std::string::npos);
  EXPECT_NE(svg.find(">GEARBOX-AUTO</text>"), std::string::npos);
  // The label column names records by number and domain, not by late type.
  EXPECT_EQ(svg.find("CfgSOEffectivity</text>"), std::string::npos);
  EXPECT_NE(svg.find(">object 3  Chassis &amp; Body</text>"), std::string::npos);
  for (double v : Coordinates(svg)) EXPECT_TRUE(std::isfinite(v));

  // Without a point nothing is marked or counted, and there is no point in the legend.
  run = Cfgso("show --svg " + file.string());
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(Count(run.out, " hold"), 0u);
  EXPECT_EQ(run.out.find("the point"), std::string::npos);

  if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "rsvg-convert is not installed";
  const std::string render = "rsvg-convert -o " + pngFile.string() + " " + svgFile.string();
  ASSERT_EQ(std::system(render.c_str()), 0);
  EXPECT_EQ(ReadFile(pngFile).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

// Labels stay in the room they are given: within their bar or beside it inside the panel, never
// across the point's line; a label that fits nowhere whole is cut with an ellipsis.
TEST_F(CfgsoPictureTest, TwoHundredEffectivitiesAreMarkedCountedAndLabelledWithinTheirPanel) {
  KroICfgSimpleSpecification_var spec = B::Specification({.name = "ENGINE-V8-TURBO-HIGH-OUTPUT", .categoryName = "E"});
  KroICfgSimpleSpecification_var other = B::Specification({.name = "GEARBOX-AUTOMATIC-8", .categoryName = "G"});
  KroListValKroISpecObject_var roots;
  for (int i = 0; i < 200; ++i)
    roots.Append(Effectivity(i % 3 ? "Powertrain" : "Chassis", KroTime(1995 + i % 20, 1 + i % 12, 1, 0, 0, 0),
                             i % 7 ? KroTime(1997 + i % 20 + i % 5, 1 + i % 12, 28, 0, 0, 0) : KroTime(0),
                             {B::SignedSpec(i % 2 ? 1 : -1, spec), B::SignedSpec(1, other)}, i, i % 11 ? i + 50 : -1));
  const fs::path file = Scratch("many.kro"), svgFile = Scratch("many.svg");
  Save(roots, file);
  Outcome run = Cfgso("show --svg " + file.string() + " --at 2004-06-01 --spec GEARBOX-AUTOMATIC-8 > " + svgFile.string());
  ASSERT_EQ(run.code, 0) << run.out;
  const std::string svg = ReadFile(svgFile);
  EXPECT_LT(svg.size(), 1u << 20);

  // The count in the title is what cfgso query finds, domain by domain.
  std::size_t total = 0;
  for (const char* domain : {"Powertrain", "Chassis"}) {
    Outcome query = Cfgso("query " + file.string() + " --domain " + domain + " --date 2004-06-01 --spec GEARBOX-AUTOMATIC-8 --json");
    ASSERT_EQ(query.code, 0) << query.out;
    const std::size_t holding = nlohmann::json::parse(query.out).size();
    total += holding;
    EXPECT_NE(svg.find(std::string(">") + domain + " (" + (domain[0] == 'C' ? "67" : "133") + ", " +
                       std::to_string(holding) + " hold)</text>"),
              std::string::npos)
        << domain;
  }
  EXPECT_GT(total, 0u);
  EXPECT_NE(svg.find("200 effectivity record(s); " + std::to_string(total) + " hold at 2004-06-01"), std::string::npos);
  EXPECT_EQ(Count(svg, "class=\"mark\""), total);
  EXPECT_EQ(Texts(svg, "record hold").size(), total);

  // No rank is given: date intervals hold, so only date bars are marked, one per holding record.
  EXPECT_EQ(Count(svg, "class=\"bar date hold\""), total);
  EXPECT_EQ(Count(svg, "class=\"bar rank hold\""), 0u);

  // Labels: placed whole or cut with an ellipsis, and none crosses the point's line.
  const std::size_t line = svg.find("class=\"point date\" x1=\"");
  ASSERT_NE(line, std::string::npos);
  const double pointX = std::strtod(svg.c_str() + line + 24, nullptr);
  std::size_t cut = 0, whole = 0;
  for (const char* cls : {"label", "label out"}) {
    const std::string open = "<text class=\"" + std::string(cls) + "\" x=\"";
    for (std::size_t at = svg.find(open); at != std::string::npos; at = svg.find(open, at + 1)) {
      const double x = std::strtod(svg.c_str() + at + open.size(), nullptr);
      const std::size_t from = svg.find('>', at) + 1;
      const std::string text = svg.substr(from, svg.find("</text>", from) - from);
      const double width = 6.6 * double(text.size() - (text.find("\xE2\x80\xA6") != std::string::npos ? 2 : 0));
      EXPECT_FALSE(x < pointX && x + width > pointX) << text << " at " << x;
      EXPECT_LE(x + width, 230 + 20 + 640 + 1) << text;  // within the date panel
      (text.find("\xE2\x80\xA6") != std::string::npos ? cut : whole)++;
    }
  }
  EXPECT_GT(whole, 0u);
  EXPECT_GT(cut, 0u);
  EXPECT_EQ(Count(svg, "CfgSOEffectivity"), 0u);
}

// A streamed rank interval near the top of 64 bits: ticks by count, and every coordinate finite,
// whether the ranks differ or are all the same.
TEST_F(CfgsoPictureTest, RanksNearTheEndOf64BitsFinishWithFiniteCoordinates) {
  for (double end : {4.0e18, 4.0e18 + 1024}) {
    NlsBasicEffectivity ranked;
    ranked.date_start = ranked.date_end = {1970, 1, 1, 0, 0, 0};
    ranked.range_start = 1;
    ranked.range_end = 2;
    KroISpecObject_var streamed, list;
    ASSERT_EQ(KroCfgStreamer::DomainEffectivityToSpecObject({{ranked, ranked}, NlsString{"P"}}, streamed), S_OK);
    // The structure carries 32-bit ranks; the stored doubles can hold far more.
    ASSERT_EQ(KroCfgSOServices::GetSOValue(streamed, KroCfgStreamer::so_tofrom_de_be_lst, list), S_OK);
    KroListValKroISpecObject_var basics;
    ASSERT_EQ(KroCfgSOServices::GetListSOValue(list, KroCfgStreamer::so_tofrom_be_lst, basics), S_OK);
    for (KroISpecObject_var basic : basics) {
      ASSERT_EQ(KroCfgSOServices::SetDoubleValue(basic, KroCfgStreamer::so_tofrom_be_range_start, 4.0e18), S_OK);
      ASSERT_EQ(KroCfgSOServices::SetDoubleValue(basic, KroCfgStreamer::so_tofrom_be_range_end, end), S_OK);
    }
    KroListValKroISpecObject_var roots;
    roots.Append(streamed);
    const fs::path file = Scratch("far.kro");
    Save(roots, file);
    const Outcome run = Cfgso("show --svg " + file.string() + " --rank 4000000000000000000");
    ASSERT_EQ(run.code, 0) << run.out;
    EXPECT_LT(run.out.size(), 64u << 10);
    EXPECT_EQ(run.out.find("nan"), std::string::npos);
    EXPECT_EQ(run.out.find("inf"), std::string::npos);
    for (double v : Coordinates(run.out)) EXPECT_TRUE(std::isfinite(v) && std::fabs(v) < 1e5) << v;
    EXPECT_GE(Count(run.out, "class=\"tick rank\""), 2u);
    EXPECT_EQ(Count(run.out, "class=\"bar rank hold\""), 2u);
    // Ranks only: no date panel, no date axis.
    EXPECT_EQ(run.out.find("date (UTC)"), std::string::npos);
    EXPECT_EQ(run.out.find("tick year"), std::string::npos);
  }
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

  // The picture names the damaged record too, and draws the rest: dates only, so no rank panel.
  const fs::path svgFile = Scratch("damaged.svg");
  run = Cfgso("show --svg " + file.string() + " --at 2004-06-01 > " + svgFile.string());
  EXPECT_EQ(run.code, 1);
  const std::string svg = ReadFile(svgFile);
  EXPECT_NE(svg.find("1 effectivity record(s); 1 hold at 2004-06-01"), std::string::npos) << svg;
  EXPECT_EQ(Count(svg, ">date (UTC)</text>"), 1u);
  EXPECT_EQ(svg.find(">rank</text>"), std::string::npos);
  EXPECT_EQ(svg.find("rank interval"), std::string::npos);
}

}  // namespace
