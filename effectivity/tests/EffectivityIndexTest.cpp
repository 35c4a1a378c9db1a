// The effectivity index answers as the records' own rules do: on random records, at points on and
// beside their bounds, and, built from spec objects, as KroCfgEffectivityQuery::Select does.
#include <random>
#include <set>

#include "KroCfgEffectivityIndex.h"
#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgStreamer.h"
#include "library/LibraryTestSupport.h"

namespace {

using Record = KroCfgEffectivityRecord;
using Hits = std::set<std::pair<std::uint32_t, std::uint32_t>>;

Record::Interval Bounded(std::int64_t start, std::int64_t end, bool open) {
  return {start, open ? std::nullopt : std::optional<std::int64_t>(end)};
}

// Records of every shape: closed intervals of lengths across many powers of two, open ones, several
// date intervals, rank intervals, none at all, inverted ones, three domains and none, a few expressions.
// Names past the first three are rare, so that points still choose most names in use.
std::vector<Record> RandomRecords(std::mt19937_64& random, int count, int names) {
  std::uniform_int_distribution<int> pick(0, 99);
  std::uniform_int_distribution<std::int64_t> start(-2'000'000'000, 2'000'000'000);
  auto name = [&] { return pick(random) % 2 ? std::string(1, char('A' + pick(random) % 3)) : "N" + std::to_string(pick(random) % names); };
  std::vector<Record> records(static_cast<std::size_t>(count));
  for (Record& record : records) {
    const int d = pick(random) % 4;
    record.hasDomain = d < 3;
    record.domain = record.hasDomain ? std::string("D") + char('0' + d) : std::string();
    for (int b = 1 + pick(random) % 3; b > 0; --b) {
      Record::Basic basic;
      for (int n = pick(random) % 10 == 0 ? 2 : (pick(random) % 8 ? 1 : 0); n > 0; --n) {
        const std::int64_t s = start(random);
        const std::int64_t length = pick(random) % 10 == 0 ? -5 : (std::int64_t{1} << (pick(random) % 40)) + pick(random) - 50;
        const bool open = pick(random) % 15 == 0;
        basic.dates.push_back(Bounded(s, s + length, open));
      }
      if (pick(random) % 4 == 0) {
        const std::int64_t first = pick(random), last = pick(random) + 40;
        const bool open = pick(random) % 5 == 0;
        basic.ranks.push_back(Bounded(first, last, open));
      }
      for (int t = pick(random) % 3; t > 0; --t) basic.terms.push_back({name(), pick(random) % 2 ? 1 : -1});
      basic.hasExpression = !basic.terms.empty();
      record.basics.push_back(basic);
    }
  }
  return records;
}

// A few expressions (each evaluated once per query and given entries of their own), and more than
// the index evaluates up front (checked on each candidate); built at once, or in two steps.
struct Shape {
  int names;
  bool twoBuilds;
};

class EffectivityIndexShapes : public ::testing::TestWithParam<Shape> {};

INSTANTIATE_TEST_SUITE_P(Expressions, EffectivityIndexShapes,
                         ::testing::Values(Shape{1, false}, Shape{1, true}, Shape{100, false}, Shape{100, true}),
                         [](const ::testing::TestParamInfo<Shape>& info) {
                           return (info.param.names > 1 ? std::string("Many") : std::string("Few")) +
                                  (info.param.twoBuilds ? "InTwoBuilds" : "AtOnce");
                         });

TEST_P(EffectivityIndexShapes, AnswersAsTheRulesOnRandomRecordsAtTheirBounds) {
  std::mt19937_64 random(7);
  const std::vector<Record> records = RandomRecords(random, 3000, GetParam().names);
  KroCfgEffectivityIndex index;
  for (std::size_t r = 0; r < records.size(); ++r) {
    index.add(static_cast<std::uint32_t>(r), records[r]);
    if (GetParam().twoBuilds && r == records.size() / 2) index.build();
  }
  index.build();

  // Points on every kind of edge: starts, ends, one second either side, and far away.
  std::vector<std::int64_t> dates{0, std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()};
  for (int i = 0; i < 60; ++i) {
    const Record::Basic& basic = records[static_cast<std::size_t>(i) * 37].basics.front();
    for (const auto& interval : basic.dates)
      for (std::int64_t v : {interval.start, interval.end.value_or(0)}) dates.insert(dates.end(), {v - 1, v, v + 1});
  }
  std::uniform_int_distribution<int> pick(0, 99);
  int nonEmpty = 0;
  for (std::size_t i = 0; i < dates.size(); ++i) {
    KroCfgEffectivityPoint point(std::string("D") + char('0' + i % 4));
    if (i % 9 != 0) point.setDate(dates[i]);
    if (i % 3 == 0) point.setRank(pick(random));
    if (i % 2) point.choose("A");
    if (i % 5) point.choose("C");
    for (int n = 0; n < GetParam().names; n += 1 + int(i % 3)) point.choose("N" + std::to_string(n));
    point.setMode150(i % 7 == 0);

    Hits expected, found;
    for (std::size_t r = 0; r < records.size(); ++r) {
      const Record& record = records[r];
      if (record.hasDomain && record.domain != point.domain()) continue;
      for (std::size_t b = 0; b < record.basics.size(); ++b)
        if (record.basics[b].holds(point)) expected.emplace(r, b + 1);
    }
    std::vector<KroCfgEffectivityIndex::Hit> hits;
    index.query(point, hits);
    for (const auto& hit : hits) EXPECT_TRUE(found.emplace(hit.record, hit.basic).second) << "reported twice";
    EXPECT_EQ(found, expected) << "point " << i;
    nonEmpty += !expected.empty();
  }
  EXPECT_GT(nonEmpty, 20);  // the points do reach records
}

TEST(EffectivityIndexTest, BuiltFromSpecObjectsItSelectsAsTheQueryDoes) {
  UseShippedCatalog();
  namespace B = KroCfgModelBuilder;
  KroICfgSimpleSpecification_var v6 = B::Specification({.name = "ENGINE-V6", .categoryName = "Engine"});
  KroListValKroISpecObject_var roots;
  for (int i = 0; i < 40; ++i) {
    KroICfgSOEffectivity_var record;
    ASSERT_EQ(KroCfgSOFactory::createEffectivity(record), S_OK);
    ASSERT_EQ(record->setXEff(B::XEff(
                  i % 2 ? "Powertrain" : "Chassis",
                  {B::BasicEffectivity({B::DateInterval(KroTime(2000 + i % 5, 1, 1, 0, 0, 0), KroTime(2002 + i % 7, 1, 1, 0, 0, 0))},
                                       i % 3 ? B::ANDExpression({B::SignedSpec(i % 4 ? 1 : -1, v6)}) : nullptr),
                   B::BasicEffectivity({B::RangeInterval(i, i + 10)})})),
              S_OK);
    roots.Append(KroISpecObject_var(record));
  }
  NlsBasicEffectivity ranked;
  ranked.date_start = ranked.date_end = {1970, 1, 1, 0, 0, 0};  // no date interval
  ranked.range_start = 5;
  ranked.range_end = 8;
  KroISpecObject_var streamed;
  ASSERT_EQ(KroCfgStreamer::DomainEffectivitySeqToSpecObjectList({{{ranked}, NlsString{"Powertrain"}}}, streamed), S_OK);
  roots.Append(streamed);

  KroCfgEffectivityIndex index;
  ASSERT_EQ(index.build(roots), S_OK);
  for (const char* domain : {"Powertrain", "Chassis"})
    for (int year : {1999, 2001, 2004, 2008})
      for (int rank : {-1, 6, 30}) {
        KroCfgEffectivityPoint point(domain);
        point.setDate(KroTime(year, 6, 1, 0, 0, 0));
        if (rank >= 0) point.setRank(rank);
        if (year % 2) point.choose("ENGINE-V6");
        std::vector<KroCfgEffectivityQuery::Match> viaQuery, viaIndex;
        ASSERT_EQ(KroCfgEffectivityQuery::Select(roots, point, viaQuery), S_OK);
        index.select(point, viaIndex);
        ASSERT_EQ(viaIndex.size(), viaQuery.size()) << domain << " " << year << " " << rank;
        for (std::size_t m = 0; m < viaQuery.size(); ++m) {
          EXPECT_EQ(viaIndex[m].object, viaQuery[m].object);
          EXPECT_EQ(viaIndex[m].basic, viaQuery[m].basic);
          EXPECT_EQ(viaIndex[m].lateType, viaQuery[m].lateType);
        }
      }
  EXPECT_EQ(index.build(KroIContainer_var()), E_INVALIDARG);
}

}  // namespace
