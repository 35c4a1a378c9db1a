// Effectivity queries: each rule at its edges on plain records, then the same rules reached through
// the wrappers' records and the streamer's trees, selection over lists of records, and the result codes
// for null, foreign and damaged records.
#include "KroCfgEffectivityQuery.h"
#include "KroCfgEffectivityReader.h"
#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "KroCfgStreamer.h"
#include "library/LibraryTestSupport.h"

namespace {

namespace B = KroCfgModelBuilder;
using Record = KroCfgEffectivityRecord;

std::int64_t Day(const char* text) {
  std::int64_t seconds = 0;
  EXPECT_TRUE(KroCfgEffectivityPoint::ParseDate(text, seconds)) << text;
  return seconds;
}

KroCfgEffectivityPoint Point(const char* domain, const char* date = nullptr, std::optional<std::int64_t> rank = {},
                             std::vector<std::string> chosen = {}) {
  KroCfgEffectivityPoint point(domain);
  if (date) point.setDate(Day(date));
  if (rank) point.setRank(*rank);
  point.setChosen(chosen);
  return point;
}

Record::Basic Dated(const char* start, const char* end, std::vector<Record::Term> terms = {}, bool expression = false) {
  Record::Basic basic;
  basic.dates.push_back({Day(start), end ? std::optional<std::int64_t>(Day(end)) : std::nullopt});
  basic.terms = std::move(terms);
  basic.hasExpression = expression || !basic.terms.empty();
  return basic;
}

Record::Basic Ranked(std::int64_t start, std::optional<std::int64_t> end) {
  Record::Basic basic;
  basic.ranks.push_back({start, end});
  return basic;
}

// A streamed basic effectivity without a date interval: both dates at the epoch, the only dates that
// say so and that a date record can hold.
NlsBasicEffectivity Undated(std::int32_t rankStart, std::int32_t rankEnd) {
  NlsBasicEffectivity basic;
  basic.date_start = basic.date_end = {1970, 1, 1, 0, 0, 0};
  basic.range_start = rankStart;
  basic.range_end = rankEnd;
  return basic;
}

Record Powertrain(std::vector<Record::Basic> basics) {
  Record record;
  record.hasDomain = true;
  record.domain = "Powertrain";
  record.basics = std::move(basics);
  return record;
}

// ---- The rules, on plain records ----

TEST(EffectivityRulesTest, DateBoundsAreInclusiveAndAnOpenEndHasNoUpperBound) {
  const Record closed = Powertrain({Dated("2004-03-15", "2005-01-01")});
  EXPECT_EQ(closed.holds(Point("Powertrain", "2004-03-14")), 0);
  EXPECT_EQ(closed.holds(Point("Powertrain", "2004-03-15")), 1);
  EXPECT_EQ(closed.holds(Point("Powertrain", "2005-01-01")), 1);
  EXPECT_EQ(closed.holds(Point("Powertrain", "2005-01-02")), 0);
  KroCfgEffectivityPoint secondAfter = Point("Powertrain", "2005-01-01");
  secondAfter.setDate(*secondAfter.date() + 1);
  EXPECT_EQ(closed.holds(secondAfter), 0);

  const Record open = Powertrain({Dated("2004-03-15", nullptr)});
  EXPECT_EQ(open.holds(Point("Powertrain", "2004-03-14")), 0);
  EXPECT_EQ(open.holds(Point("Powertrain", "2004-03-15")), 1);
  EXPECT_EQ(open.holds(Point("Powertrain", "2999-12-31")), 1);
}

TEST(EffectivityRulesTest, RankBoundsAreInclusiveAndMissingCoordinatesSatisfyNoInterval) {
  const Record ranks = Powertrain({Ranked(100, 250)});
  EXPECT_EQ(ranks.holds(Point("Powertrain", nullptr, 99)), 0);
  EXPECT_EQ(ranks.holds(Point("Powertrain", nullptr, 100)), 1);
  EXPECT_EQ(ranks.holds(Point("Powertrain", nullptr, 250)), 1);
  EXPECT_EQ(ranks.holds(Point("Powertrain", nullptr, 251)), 0);
  EXPECT_EQ(Powertrain({Ranked(100, {})}).holds(Point("Powertrain", nullptr, 1'000'000'000'000)), 1);

  // No rank on the point: the rank interval fails; no date: the date interval fails.
  EXPECT_EQ(ranks.holds(Point("Powertrain", "2004-06-01")), 0);
  EXPECT_EQ(Powertrain({Dated("2004-03-15", nullptr)}).holds(Point("Powertrain", nullptr, 120)), 0);
  // A basic effectivity with both kinds needs both coordinates.
  Record::Basic both = Dated("2004-03-15", "2005-01-01");
  both.ranks = Ranked(100, 250).ranks;
  EXPECT_EQ(Powertrain({both}).holds(Point("Powertrain", "2004-06-01", 120)), 1);
  EXPECT_EQ(Powertrain({both}).holds(Point("Powertrain", "2004-06-01")), 0);
  EXPECT_EQ(Powertrain({both}).holds(Point("Powertrain", "2004-06-01", 300)), 0);
  // Without intervals, neither coordinate is needed.
  EXPECT_EQ(Powertrain({Record::Basic{}}).holds(Point("Powertrain")), 1);
}

TEST(EffectivityRulesTest, TermsHoldByTheirSignAndNoExpressionAlwaysHolds) {
  const Record expression =
      Powertrain({Dated("2004-03-15", "2005-01-01", {{"ENGINE-V6", 1}, {"GEARBOX-AUTO", -1}})});
  EXPECT_EQ(expression.holds(Point("Powertrain", "2004-06-01", {}, {"ENGINE-V6"})), 1);
  EXPECT_EQ(expression.holds(Point("Powertrain", "2004-06-01", {}, {"ENGINE-V6", "GEARBOX-AUTO"})), 0);
  EXPECT_EQ(expression.holds(Point("Powertrain", "2004-06-01", {}, {})), 0);
  EXPECT_EQ(expression.holds(Point("Powertrain", "2004-06-01", {}, {"engine-v6"})), 0);  // names compare exactly

  // Sign 0 counts as positive.
  const Record zero = Powertrain({Dated("2004-03-15", nullptr, {{"ENGINE-V6", 0}})});
  EXPECT_EQ(zero.holds(Point("Powertrain", "2004-06-01", {}, {"ENGINE-V6"})), 1);
  EXPECT_EQ(zero.holds(Point("Powertrain", "2004-06-01", {}, {})), 0);

  // No expression, and an expression without terms, hold whatever is chosen.
  EXPECT_EQ(Powertrain({Dated("2004-03-15", nullptr)}).holds(Point("Powertrain", "2004-06-01", {}, {"X"})), 1);
  EXPECT_EQ(Powertrain({Dated("2004-03-15", nullptr, {}, true)}).holds(Point("Powertrain", "2004-06-01")), 1);
}

TEST(EffectivityRulesTest, DomainMustMatchAndTheFirstHoldingBasicEffectivityIsReported) {
  const Record demo = Powertrain({Dated("2004-03-15", "2005-01-01", {{"ENGINE-V6", 1}, {"GEARBOX-AUTO", -1}}),
                                  Ranked(100, 250)});
  // The issue's question: unit 120, built 2004-06-01, V6 and automatic gearbox.
  EXPECT_EQ(demo.holds(Point("Powertrain", "2004-06-01", 120, {"ENGINE-V6", "GEARBOX-AUTO"})), 2);
  EXPECT_EQ(demo.holds(Point("Powertrain", "2004-06-01", 120, {"ENGINE-V6"})), 1);
  EXPECT_EQ(demo.holds(Point("Chassis", "2004-06-01", 120, {"ENGINE-V6"})), 0);
  EXPECT_EQ(demo.holds(Point("powertrain", "2004-06-01", 120, {"ENGINE-V6"})), 0);

  Record domainless = demo;
  domainless.hasDomain = false;
  EXPECT_EQ(domainless.holds(Point("Chassis", nullptr, 120)), 2);
  EXPECT_EQ(Powertrain({}).holds(Point("Powertrain", "2004-06-01", 120)), 0);
}

TEST(EffectivityRulesTest, In150PercentModeOnlyDomainAndIntervalsDecide) {
  const Record demo = Powertrain({Dated("2004-03-15", "2005-01-01", {{"ENGINE-V6", 1}, {"GEARBOX-AUTO", -1}})});
  KroCfgEffectivityPoint point = Point("Powertrain", "2004-06-01", {}, {"GEARBOX-AUTO"});
  EXPECT_EQ(demo.holds(point), 0);
  point.setMode150(true);
  EXPECT_EQ(demo.holds(point), 1);
  point.setDate(Day("2006-01-01"));
  EXPECT_EQ(demo.holds(point), 0);
  point.setDomain("Chassis");
  point.setDate(Day("2004-06-01"));
  EXPECT_EQ(demo.holds(point), 0);
}

TEST(EffectivityRulesTest, DatesAndStreamedExpressionsParse) {
  EXPECT_EQ(Day("1970-01-01"), 0);
  EXPECT_EQ(Day("2004-03-15"), KroTime(2004, 3, 15, 0, 0, 0).Gettime_t());
  EXPECT_EQ(Day("2000-02-29"), KroTime(2000, 2, 29, 0, 0, 0).Gettime_t());
  std::int64_t seconds = 7;
  for (const char* bad : {"2001-02-29", "2004-13-01", "2004-00-10", "2004-1-01", "20040315", "2004-03-15x", ""})
    EXPECT_FALSE(KroCfgEffectivityPoint::ParseDate(bad, seconds)) << bad;
  EXPECT_EQ(seconds, 7);

  using Terms = std::vector<std::pair<std::string, int>>;
  auto parse = [](const char* text) {
    Terms out;
    std::vector<Record::Term> terms;
    EXPECT_EQ(KroCfgEffectivityReader::ParseExpression(text, terms), S_OK) << text;
    for (const Record::Term& term : terms) out.emplace_back(term.name, term.sign);
    return out;
  };
  EXPECT_EQ(parse("ENGINE-V6 AND NOT GEARBOX-AUTO"), (Terms{{"ENGINE-V6", 1}, {"GEARBOX-AUTO", -1}}));
  EXPECT_EQ(parse("  Engine = V8  and not Colour = Red "), (Terms{{"Engine = V8", 1}, {"Colour = Red", -1}}));
  EXPECT_EQ(parse("BRAND AND NOTCH"), (Terms{{"BRAND", 1}, {"NOTCH", 1}}));
  EXPECT_TRUE(parse("   ").empty());
  // A term without a name would change what the expression means: it is damage, not a shorter text.
  for (const char* bad : {"NOT", "S1 AND", "AND S1", "S1 AND AND S2", "S1 AND NOT", " not  "}) {
    std::vector<Record::Term> terms{{"left over", 1}};
    EXPECT_EQ(KroCfgEffectivityReader::ParseExpression(bad, terms), KRO_E_DAMAGED_EFFECTIVITY) << bad;
    EXPECT_TRUE(terms.empty()) << bad;
  }
}

// ---- Records of the wrappers and trees of the streamer ----

class EffectivityRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseShippedCatalog();
    v6 = B::Specification({.name = "ENGINE-V6", .categoryName = "Engine"});
    automatic = B::Specification({.name = "GEARBOX-AUTO", .categoryName = "Gearbox"});
  }

  KroICfgSpecANDExpression_var V6NotAuto() {
    return B::ANDExpression({B::SignedSpec(KroICfgSignedSpec::Positive, v6),
                             B::SignedSpec(KroICfgSignedSpec::Negative, automatic)});
  }

  // The effectivity cfgso demo makes.
  KroISpecObject_var DemoEffectivity() {
    KroICfgSOEffectivity_var record;
    EXPECT_EQ(KroCfgSOFactory::createEffectivity(record), S_OK);
    EXPECT_EQ(record->setXEff(B::XEff(
                  "Powertrain",
                  {B::BasicEffectivity({B::DateInterval(KroTime(2004, 3, 15, 0, 0, 0), KroTime(2005, 1, 1, 0, 0, 0))},
                                       V6NotAuto()),
                   B::BasicEffectivity({B::RangeInterval(100, 250)})})),
              S_OK);
    return KroISpecObject_var(record);
  }

  static int Holds(const KroISpecObject_var& record, const KroCfgEffectivityPoint& point, HRESULT expected = S_OK) {
    int basic = -1;
    EXPECT_EQ(KroCfgEffectivityQuery::RecordHolds(record, point, basic), expected);
    return basic;
  }

  KroICfgSimpleSpecification_var v6, automatic;
};

TEST_F(EffectivityRecordsTest, WrapperEffectivityAnswersTheIssuesQuestion) {
  KroISpecObject_var demo = DemoEffectivity();
  EXPECT_EQ(Holds(demo, Point("Powertrain", "2004-06-01", 120, {"ENGINE-V6", "GEARBOX-AUTO"})), 2);
  EXPECT_EQ(Holds(demo, Point("Powertrain", "2005-01-01", {}, {"ENGINE-V6"})), 1);
  EXPECT_EQ(Holds(demo, Point("Powertrain", "2005-01-02", 99, {"ENGINE-V6"}), S_FALSE), 0);
  EXPECT_EQ(Holds(demo, Point("Chassis", "2004-06-01", 120), S_FALSE), 0);
  KroCfgEffectivityPoint mode150 = Point("Powertrain", "2004-06-01", {}, {"GEARBOX-AUTO"});
  mode150.setMode150(true);
  EXPECT_EQ(Holds(demo, mode150), 1);
}

TEST_F(EffectivityRecordsTest, BasicEffectivityAndExpressionRecordsHoldAlone) {
  KroICfgSOBasicEffectivity_var basic;
  ASSERT_EQ(KroCfgSOFactory::createBasicEffectivity(basic), S_OK);
  ASSERT_EQ(basic->setBasicEffectivity(B::BasicEffectivity({B::InfiniteRangeInterval(10)}, V6NotAuto())), S_OK);
  EXPECT_EQ(Holds(KroISpecObject_var(basic), Point("any domain", nullptr, 1'000'000, {"ENGINE-V6"})), 1);
  EXPECT_EQ(Holds(KroISpecObject_var(basic), Point("any domain", nullptr, 9, {"ENGINE-V6"}), S_FALSE), 0);

  KroICfgSOSpecExpression_var expression;
  ASSERT_EQ(KroCfgSOFactory::createSpecExpression(expression), S_OK);
  ASSERT_EQ(expression->setSpecExpression(V6NotAuto()), S_OK);
  EXPECT_EQ(Holds(KroISpecObject_var(expression), Point("x", nullptr, {}, {"ENGINE-V6"})), 0);
  EXPECT_EQ(Holds(KroISpecObject_var(expression), Point("x", nullptr, {}, {"GEARBOX-AUTO"}), S_FALSE), 0);
}

TEST_F(EffectivityRecordsTest, MilestoneBoundsCountByTheirDateOrRank) {
  KroICfgSOMilestoneDate_var from, to;
  ASSERT_EQ(KroCfgSOFactory::createMilestoneDate(from), S_OK);
  ASSERT_EQ(KroCfgSOFactory::createMilestoneDate(to), S_OK);
  from->setName("SOP");
  from->setValue(KroTime(2010, 5, 1, 0, 0, 0));
  to->setName("EOP");
  to->setValue(KroTime(2012, 5, 1, 0, 0, 0));
  KroICfgSOIntervalDate_var dates;
  ASSERT_EQ(KroCfgSOFactory::createIntervalDate(dates), S_OK);
  dates->setStart(from);
  dates->setEnd(to);

  KroICfgSOMilestoneRange_var first;
  ASSERT_EQ(KroCfgSOFactory::createMilestoneRange(first), S_OK);
  first->setName("Pilot");
  first->setValue(40);
  KroICfgSOIntervalRange_var ranks;
  ASSERT_EQ(KroCfgSOFactory::createIntervalRange(ranks), S_OK);
  ranks->setStart(first);
  ranks->setEnd(KroICfgSOMilestoneRange_var());  // open

  for (KroISpecObject_var interval : {KroISpecObject_var(dates), KroISpecObject_var(ranks)}) {
    KroICfgSOBasicEffectivity_var basic;
    ASSERT_EQ(KroCfgSOFactory::createBasicEffectivity(basic), S_OK);
    KroISpecObject_var so(basic);
    ASSERT_EQ(KroCfgSOServices::SetSOValue(so, KroCfgSOStrings::BASIC_EFFECTIVITY_INTERVAL, interval), S_OK);
    if (interval->GetLateType() == "CfgSOIntervalDates") {
      EXPECT_EQ(Holds(so, Point("d", "2010-05-01")), 1);
      EXPECT_EQ(Holds(so, Point("d", "2012-05-01")), 1);
      EXPECT_EQ(Holds(so, Point("d", "2010-04-30"), S_FALSE), 0);
      EXPECT_EQ(Holds(so, Point("d", "2012-05-02"), S_FALSE), 0);
    } else {
      EXPECT_EQ(Holds(so, Point("d", nullptr, 40)), 1);
      EXPECT_EQ(Holds(so, Point("d", nullptr, 39), S_FALSE), 0);
      EXPECT_EQ(Holds(so, Point("d", nullptr, 1 << 30)), 1);
    }
  }
}

TEST_F(EffectivityRecordsTest, StreamedTreesFollowTheSameRules) {
  NlsBasicEffectivity dated;
  dated.date_start = {2004, 3, 15, 0, 0, 0};
  dated.date_end = {2005, 1, 1, 0, 0, 0};
  dated.se = {NlsString{"Powertrain"}, 1, NlsString{"ENGINE-V6 AND NOT GEARBOX-AUTO"}};
  const NlsBasicEffectivity ranked = Undated(100, -1);  // negative end: open
  KroISpecObject_var domain;
  ASSERT_EQ(KroCfgStreamer::DomainEffectivityToSpecObject({{dated, ranked}, NlsString{"Powertrain"}}, domain), S_OK);
  EXPECT_EQ(Holds(domain, Point("Powertrain", "2004-06-01", {}, {"ENGINE-V6"})), 1);
  EXPECT_EQ(Holds(domain, Point("Powertrain", "2005-01-02", 5000, {"ENGINE-V6"})), 2);
  EXPECT_EQ(Holds(domain, Point("Powertrain", "2004-06-01", 99, {"ENGINE-V6", "GEARBOX-AUTO"}), S_FALSE), 0);
  EXPECT_EQ(Holds(domain, Point("Chassis", "2004-06-01", 120, {"ENGINE-V6"}), S_FALSE), 0);

  // Alone, a streamed basic effectivity takes its expression's domain.
  KroISpecObject_var basic;
  ASSERT_EQ(KroCfgStreamer::BasicEffectivityToSpecObject(dated, basic), S_OK);
  EXPECT_EQ(Holds(basic, Point("Powertrain", "2004-06-01", {}, {"ENGINE-V6"})), 1);
  EXPECT_EQ(Holds(basic, Point("Chassis", "2004-06-01", {}, {"ENGINE-V6"}), S_FALSE), 0);

  // Extended effectivity values: every normal value of an alternative must hold.
  DMX_Config::NlsNormalValue date, rank;
  date.optionalDate = {{{2004, 3, 15, 0, 0, 0}, {2005, 1, 1, 0, 0, 0}}};
  rank.optionalRange = {{100, 250}};
  rank.optionalSpec = {NlsString{"NOT GEARBOX-AUTO"}};
  KroISpecObject_var xev;
  ASSERT_EQ(KroCfgStreamer::XEffectivityValuesToSpecObject({NlsString{"Powertrain"}, NlsString{""}, {{date, rank}, {rank}}}, xev),
            S_OK);
  EXPECT_EQ(Holds(xev, Point("Powertrain", "2004-06-01", 120)), 1);
  EXPECT_EQ(Holds(xev, Point("Powertrain", "2006-06-01", 120)), 2);
  EXPECT_EQ(Holds(xev, Point("Powertrain", "2006-06-01", 120, {"GEARBOX-AUTO"}), S_FALSE), 0);
  EXPECT_EQ(Holds(xev, Point("Powertrain", "2004-06-01"), S_FALSE), 0);
}

TEST_F(EffectivityRecordsTest, NullForeignAndDamagedRecordsGiveTheirCodes) {
  EXPECT_EQ(Holds(KroISpecObject_var(), Point("d"), E_INVALIDARG), 0);
  KroICfgSOContext_var context;
  ASSERT_EQ(KroCfgSOFactory::createContext(context), S_OK);
  EXPECT_EQ(Holds(KroISpecObject_var(context), Point("d"), KRO_E_NOT_AN_EFFECTIVITY), 0);

  // An expression whose sign list is longer than its specification list.
  KroICfgSOSpecExpression_var expression;
  ASSERT_EQ(KroCfgSOFactory::createSpecExpression(expression), S_OK);
  ASSERT_EQ(expression->setSpecExpression(V6NotAuto()), S_OK);
  KroISpecObject_var expressionSO(expression);
  KroRawCollint signs;
  for (int sign : {1, -1, 1}) signs.Append(sign);
  ASSERT_EQ(KroCfgSOServices::SetListIntegerValue(expressionSO, KroCfgSOStrings::SPECEXPRESSION_EXPR_LST, signs), S_OK);
  EXPECT_EQ(Holds(expressionSO, Point("d"), KRO_E_DAMAGED_EFFECTIVITY), 0);

  // A basic effectivity whose interval is a context, inside an effectivity.
  KroISpecObject_var demo = DemoEffectivity();
  KroListValKroISpecObject_var basics;
  ASSERT_EQ(KroCfgSOServices::GetListSOValue(demo, KroCfgSOStrings::EFFECTIVITY_BASIC_LST, basics), S_OK);
  ASSERT_EQ(KroCfgSOServices::SetSOValue(basics[2], KroCfgSOStrings::BASIC_EFFECTIVITY_INTERVAL, KroISpecObject_var(context)),
            S_OK);
  EXPECT_EQ(Holds(demo, Point("Powertrain", "2004-06-01", 120), KRO_E_DAMAGED_EFFECTIVITY), 0);

  // A streamed domain effectivity whose list holds a date.
  KroISpecObject_var domain, date, list;
  ASSERT_EQ(KroCfgStreamer::DomainEffectivityToSpecObject({{Undated(1, 2)}, NlsString{"P"}}, domain), S_OK);
  ASSERT_EQ(KroCfgStreamer::KroTimeToSpecObject(KroTime(2004, 1, 1, 0, 0, 0), date), S_OK);
  ASSERT_EQ(KroCfgSOServices::GetSOValue(domain, KroCfgStreamer::so_tofrom_de_be_lst, list), S_OK);
  KroListValKroISpecObject_var wrong;
  wrong.Append(date);
  ASSERT_EQ(KroCfgSOServices::SetListSOValue(list, KroCfgStreamer::so_tofrom_be_lst, wrong), S_OK);
  EXPECT_EQ(Holds(domain, Point("P"), KRO_E_DAMAGED_EFFECTIVITY), 0);
}

TEST_F(EffectivityRecordsTest, FilterGivesDomainAnd150PercentFlag) {
  KroICfgSOFilter_var filter;
  ASSERT_EQ(KroCfgSOFactory::createFilter(filter), S_OK);
  ASSERT_EQ(filter->setFilter(B::Filter({.id = "F-7", .domain = "Powertrain", .mode150 = 1})), S_OK);
  KroCfgEffectivityPoint point = Point("other", "2004-06-01", {}, {"GEARBOX-AUTO"});
  ASSERT_EQ(point.setFromFilter(KroISpecObject_var(filter)), S_OK);
  EXPECT_EQ(point.domain(), "Powertrain");
  EXPECT_TRUE(point.mode150());
  EXPECT_EQ(Holds(DemoEffectivity(), point), 1);
  EXPECT_EQ(point.setFromFilter(DemoEffectivity()), KRO_E_NOT_AN_EFFECTIVITY);
  EXPECT_EQ(point.setFromFilter(KroISpecObject_var()), E_INVALIDARG);
}

TEST_F(EffectivityRecordsTest, SelectReportsTopLevelRecordsInOrderAndSkipsDamagedOnes) {
  KroISpecObject_var demo = DemoEffectivity();
  const NlsBasicEffectivity ranked = Undated(1, 500);
  KroISpecObject_var domains;  // a list tree: its domain effectivities are reached, not listed
  ASSERT_EQ(KroCfgStreamer::DomainEffectivitySeqToSpecObjectList(
                {{{ranked}, NlsString{"Powertrain"}}, {{ranked}, NlsString{"Chassis"}}}, domains),
            S_OK);
  KroICfgSOSpecExpression_var damaged;
  ASSERT_EQ(KroCfgSOFactory::createSpecExpression(damaged), S_OK);
  KroISpecObject_var damagedSO(damaged);
  KroRawCollint signs;
  signs.Append(1);
  ASSERT_EQ(KroCfgSOServices::SetListIntegerValue(damagedSO, KroCfgSOStrings::SPECEXPRESSION_EXPR_LST, signs), S_OK);

  KroListValKroISpecObject_var roots;
  for (const KroISpecObject_var& root : {demo, domains, damagedSO}) roots.Append(root);
  std::vector<KroCfgEffectivityQuery::Match> matches;
  std::vector<KroCfgEffectivityQuery::Problem> problems;
  EXPECT_EQ(KroCfgEffectivityQuery::Select(roots, Point("Powertrain", "2004-06-01", 120, {"ENGINE-V6", "GEARBOX-AUTO"}),
                                           matches, &problems),
            KRO_E_DAMAGED_EFFECTIVITY);
  ASSERT_EQ(matches.size(), 2u);
  EXPECT_EQ(matches[0].object, 1);
  EXPECT_EQ(matches[0].lateType, "CfgSOEffectivity");
  EXPECT_EQ(matches[0].basic, 2);
  EXPECT_GT(matches[1].object, 3);  // reached from the list tree, numbered after the roots
  EXPECT_EQ(matches[1].lateType, "StreamerDomainEffectivity");
  EXPECT_EQ(matches[1].basic, 1);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].object, 3);
  EXPECT_EQ(problems[0].result, KRO_E_DAMAGED_EFFECTIVITY);

  // The nested basic effectivities and expressions are not records of their own.
  for (const auto& candidate : KroCfgEffectivityQuery::Records(roots))
    EXPECT_NE(candidate.record->GetLateType(), "CfgSOBasicEffectivity") << candidate.object;
  EXPECT_EQ(KroCfgEffectivityQuery::Select(KroIContainer_var(), Point("x"), matches), E_INVALIDARG);
  EXPECT_TRUE(matches.empty());
}

// A spec object held by an attribute, or the at-th of a list attribute.
KroISpecObject_var Nested(const KroISpecObject_var& so, const KroUnicodeString& name, int at = 0) {
  KroListValKroISpecObject_var list;
  KroISpecObject_var one;
  if (at > 0) {
    EXPECT_EQ(KroCfgSOServices::GetListSOValue(so, name, list), S_OK);
    return list.Size() >= at ? list[at] : KroISpecObject_var();
  }
  EXPECT_EQ(KroCfgSOServices::GetSOValue(so, name, one), S_OK);
  return one;
}

// Every attribute a rule needs, once unset, must give the damage code rather than a default value.
TEST_F(EffectivityRecordsTest, UnsetAttributesAndMalformedExpressionsAreDamage) {
  auto unset = [](KroISpecObject_var so, const KroUnicodeString& name) {
    EXPECT_EQ(KroCfgSOServices::ClearAttribute(so, name), S_OK) << name.str();
  };
  const KroCfgEffectivityPoint atRankZero = Point("Powertrain", "2004-06-01", 0, {"ENGINE-V6"});

  KroISpecObject_var noDomain = DemoEffectivity();
  unset(noDomain, KroCfgSOStrings::EFFECTIVITY_DOMAIN);
  EXPECT_EQ(Holds(noDomain, Point("", "2004-06-01", 120), KRO_E_DAMAGED_EFFECTIVITY), 0);

  KroISpecObject_var noName = DemoEffectivity();
  KroISpecObject_var expression = Nested(Nested(noName, KroCfgSOStrings::EFFECTIVITY_BASIC_LST, 1),
                                         KroCfgSOStrings::BASIC_EFFECTIVITY_SPECEXPR);
  KroListValKroISpecObject_var specs;
  ASSERT_EQ(KroCfgSOServices::GetListSOValue(expression, KroCfgSOStrings::SPECEXPRESSION_SPEC_LST, specs), S_OK);
  ASSERT_EQ(specs.Size(), 2);
  unset(specs[1], KroCfgSOStrings::SPEC_NAME);
  EXPECT_EQ(Holds(noName, atRankZero, KRO_E_DAMAGED_EFFECTIVITY), 0);

  for (const KroUnicodeString& bound : {KroCfgSOStrings::INTERVAL_START_RANGE, KroCfgSOStrings::INTERVAL_END_RANGE}) {
    KroISpecObject_var ranks = DemoEffectivity();
    unset(Nested(Nested(ranks, KroCfgSOStrings::EFFECTIVITY_BASIC_LST, 2), KroCfgSOStrings::BASIC_EFFECTIVITY_INTERVAL),
          bound);
    EXPECT_EQ(Holds(ranks, Point("Powertrain", nullptr, 0), KRO_E_DAMAGED_EFFECTIVITY), 0) << bound.str();
  }

  NlsBasicEffectivity dated;
  dated.date_start = {2004, 3, 15, 0, 0, 0};
  dated.date_end = {2005, 1, 1, 0, 0, 0};
  dated.range_start = 1;
  dated.range_end = 10;
  dated.se = {NlsString{"Powertrain"}, 1, NlsString{"ENGINE-V6"}};
  for (const KroUnicodeString& field : {KroCfgStreamer::so_tofrom_be_date_start, KroCfgStreamer::so_tofrom_be_date_end,
                                        KroCfgStreamer::so_tofrom_be_range_start, KroCfgStreamer::so_tofrom_be_range_end}) {
    KroISpecObject_var basic;
    ASSERT_EQ(KroCfgStreamer::BasicEffectivityToSpecObject(dated, basic), S_OK);
    EXPECT_EQ(Holds(basic, Point("Powertrain", "2004-06-01", 5, {"ENGINE-V6"})), 1);
    unset(basic, field);
    EXPECT_EQ(Holds(basic, Point("Powertrain", "2004-06-01", 5, {"ENGINE-V6"}), KRO_E_DAMAGED_EFFECTIVITY), 0)
        << field.str();
  }

  // A lone NOT used to hold always, a trailing AND to read as the term before it.
  for (const char* text : {"NOT", "ENGINE-V6 AND", "AND ENGINE-V6", "ENGINE-V6 AND AND X"}) {
    dated.se.expression = NlsString{text};
    KroISpecObject_var basic;
    ASSERT_EQ(KroCfgStreamer::BasicEffectivityToSpecObject(dated, basic), S_OK);
    EXPECT_EQ(Holds(basic, Point("Powertrain", "2004-06-01", 5, {"ENGINE-V6"}), KRO_E_DAMAGED_EFFECTIVITY), 0) << text;
    DMX_Config::NlsNormalValue value;
    value.optionalSpec = {NlsString{text}};
    KroISpecObject_var xev;
    ASSERT_EQ(KroCfgStreamer::XEffectivityValuesToSpecObject({NlsString{"Powertrain"}, NlsString{""}, {{value}}}, xev), S_OK);
    EXPECT_EQ(Holds(xev, Point("Powertrain", nullptr, {}, {"ENGINE-V6"}), KRO_E_DAMAGED_EFFECTIVITY), 0) << text;
  }
}

// Effectivities chained through their lists of basic effectivities: the head is damaged (its list
// holds an effectivity), everything it reaches belongs to it. Closing the chain into a cycle must not
// hide the damage, and a long chain must cost linear time (the quadratic walk took hours here).
TEST_F(EffectivityRecordsTest, ChainsAreWalkedOnceAndCyclesAreDamage) {
  constexpr int kChain = 100'000;
  std::vector<KroISpecObject_var> chain;
  for (int i = 0; i < kChain; ++i) {
    KroICfgSOEffectivity_var record;
    ASSERT_EQ(KroCfgSOFactory::createEffectivity(record), S_OK);
    KroISpecObject_var so(record);
    ASSERT_EQ(KroCfgSOServices::SetStringValue(so, KroCfgSOStrings::EFFECTIVITY_DOMAIN, "Powertrain"), S_OK);
    chain.push_back(so);
  }
  for (int i = 0; i + 1 < kChain; ++i) {
    KroListValKroISpecObject_var next;
    next.Append(chain[i + 1]);
    ASSERT_EQ(KroCfgSOServices::SetListSOValue(chain[i], KroCfgSOStrings::EFFECTIVITY_BASIC_LST, next), S_OK);
  }
  KroISpecObject_var holding = DemoEffectivity();
  KroListValKroISpecObject_var roots;
  roots.Append(holding);
  for (int i = kChain - 1; i >= 0; --i) roots.Append(chain[i]);  // the tail first: the head is found last

  auto select = [&](std::vector<KroCfgEffectivityQuery::Problem>& problems) {
    std::vector<KroCfgEffectivityQuery::Match> matches;
    EXPECT_EQ(KroCfgEffectivityQuery::Select(roots, Point("Powertrain", nullptr, 120), matches, &problems),
              KRO_E_DAMAGED_EFFECTIVITY);
    EXPECT_EQ(matches.size(), 1u);
    EXPECT_TRUE(!matches.empty() && matches[0].object == 1);
  };
  std::vector<KroCfgEffectivityQuery::Problem> problems;
  select(problems);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].object, kChain + 1);  // the head, listed last

  // The tail refers back to the head: a cycle of records, reported as damage in the same place.
  KroListValKroISpecObject_var back;
  back.Append(chain[0]);
  ASSERT_EQ(KroCfgSOServices::SetListSOValue(chain[kChain - 1], KroCfgSOStrings::EFFECTIVITY_BASIC_LST, back), S_OK);
  select(problems);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].object, 2);  // the first of the cycle stands for it
  EXPECT_EQ(problems[0].result, KRO_E_DAMAGED_EFFECTIVITY);

  // A valid record that reaches the cycle through a basic effectivity is damaged with it; one beside
  // it is not.
  KroISpecObject_var reaching = DemoEffectivity();
  KroISpecObject_var firstBasic = Nested(reaching, KroCfgSOStrings::EFFECTIVITY_BASIC_LST, 1);
  ASSERT_EQ(KroCfgSOServices::SetSOValue(firstBasic, KroCfgSOStrings::BASIC_EFFECTIVITY_SPECEXPR, chain[5]), S_OK);
  KroListValKroISpecObject_var two;
  two.Append(reaching);
  two.Append(DemoEffectivity());
  std::vector<KroCfgEffectivityQuery::Match> matches;
  EXPECT_EQ(KroCfgEffectivityQuery::Select(two, Point("Powertrain", nullptr, 120), matches, &problems),
            KRO_E_DAMAGED_EFFECTIVITY);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].object, 1);
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_EQ(matches[0].object, 2);
  for (KroISpecObject_var& so : chain) KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::EFFECTIVITY_BASIC_LST);
}

}  // namespace
