// The basic-effectivity and effectivity wrappers: nested interval, expression and basic-effectivity
// spec objects written from live model objects and rebuilt as new ones; the record left by null
// inputs, unknown interval kinds, zero or several intervals and failing conversions.
#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

namespace B = KroCfgModelBuilder;

const KroTime kMarch15(2004, 3, 15, 0, 0, 0);
const KroTime kJanuary1(2005, 1, 1, 0, 0, 0);

std::string Describe(const KroICfgInterval_var& interval) {
  KroTime start, end;
  int first = 0, last = 0;
  if (SUCCEEDED(interval->getDateBounds(start, end)))
    return "date " + std::to_string(start.Gettime_t()) + ".." + std::to_string(end.Gettime_t());
  interval->getRangeBounds(first, last);
  return "range " + std::to_string(first) + ".." + std::to_string(last);
}

// Intervals, then the expression's terms as sign and specification name; "no expression" when null.
std::string Describe(const KroICfgBasicEffectivity_var& basic) {
  std::string out;
  KroListValKroICfgInterval_var intervals;
  basic->getIntervals(intervals);
  for (const KroICfgInterval_var& interval : intervals) out += "[" + Describe(interval) + "]";
  KroICfgSpecANDExpression_var expression;
  basic->getSpecExpression(expression);
  if (!expression) return out + " no expression";
  KroListValKroICfgSignedSpec_var terms;
  expression->getSignedSpecs(terms);
  out += " expression";
  for (const KroICfgSignedSpec_var& term : terms) {
    KroICfgSimpleSpecification_var spec;
    KroUnicodeString name;
    term->getSpecification(spec);
    if (spec) spec->getName(name);
    out += " " + std::to_string(term->getSign()) + ":" + name.str();
  }
  return out;
}

std::vector<std::string> Describe(const KroICfgXEff_var& xeff) {
  KroUnicodeString domain;
  xeff->getDomain(domain);
  std::vector<std::string> out{domain.str()};
  KroListValKroICfgBasicEffectivity_var basics;
  xeff->getBasicEffectivities(basics);
  for (const KroICfgBasicEffectivity_var& basic : basics) out.push_back(Describe(basic));
  return out;
}

// The specifications stay alive for as long as the records that refer to them are read.
class EffectivityTestBase : public ::testing::Test {
 protected:
  void SetUp() override { UseShippedCatalog(); }
  void TearDown() override { KroCfgFaults::Clear(); }

  KroICfgSpecANDExpression_var Expression(std::vector<std::pair<int, const char*>> terms) {
    std::vector<KroICfgSignedSpec_var> signedSpecs;
    for (auto [sign, name] : terms) {
      m_specs.push_back(B::Specification({.name = name}));
      signedSpecs.push_back(B::SignedSpec(sign, m_specs.back()));
    }
    return B::ANDExpression(signedSpecs);
  }

 private:
  std::vector<KroICfgSimpleSpecification_var> m_specs;
};

KroISpecObject_var Nested(const KroISpecObject_var& so, const char* name) {
  KroISpecObject_var out;
  KroCfgSOServices::GetSOValue(so, name, out);
  return out;
}

using BasicEffectivityTest = EffectivityTestBase;

KroICfgSOBasicEffectivity_var NewBasicRecord() {
  KroICfgSOBasicEffectivity_var record;
  EXPECT_EQ(KroCfgSOFactory::createBasicEffectivity(record), S_OK);
  return record;
}

TEST_F(BasicEffectivityTest, EachIntervalKindIsNestedAndRebuilt) {
  const KroICfgInterval_var intervals[] = {B::DateInterval(kMarch15, kJanuary1), B::InfiniteDateInterval(kMarch15),
                                           B::RangeInterval(3, 7), B::InfiniteRangeInterval(5)};
  for (const KroICfgInterval_var& interval : intervals) {
    KroICfgSOBasicEffectivity_var record = NewBasicRecord();
    KroICfgBasicEffectivity_var basic = B::BasicEffectivity({interval}, Expression({{1, "A"}, {-1, "B"}}));
    ASSERT_EQ(record->setBasicEffectivity(basic), S_OK) << Describe(interval);

    KroISpecObject_var so = record;
    bool dates = interval->getType() == KroICfgInterval::Date;
    EXPECT_EQ(bool(KroICfgSOIntervalDate_var(Nested(so, "interval"))), dates);
    EXPECT_EQ(bool(KroICfgSOIntervalRange_var(Nested(so, "interval"))), !dates);
    KroListValKroISpecObject_var terms;
    KroCfgSOServices::GetListSOValue(Nested(so, "specexpr"), "spec_list", terms);
    EXPECT_EQ(terms.Size(), 2);

    KroICfgBasicEffectivity_var rebuilt;
    ASSERT_EQ(record->getBasicEffectivity(rebuilt), S_OK);
    EXPECT_NE(rebuilt.ptr(), basic.ptr());
    EXPECT_EQ(Describe(rebuilt), Describe(basic));
  }
}

TEST_F(BasicEffectivityTest, NoSingleIntervalStoresTheExpressionOnly) {
  KroICfgSOBasicEffectivity_var record = NewBasicRecord();
  KroISpecObject_var so = record;
  const std::vector<KroICfgInterval_var> counts[] = {
      {}, {B::RangeInterval(1, 2), B::DateInterval(kMarch15, kJanuary1)}};
  for (const auto& intervals : counts) {
    record->setBasicEffectivity(B::BasicEffectivity({B::RangeInterval(8, 9)}));
    TraceCapture capture({"CfgSO"});
    ASSERT_EQ(record->setBasicEffectivity(B::BasicEffectivity(intervals, Expression({{1, "A"}}))), S_OK);
    EXPECT_FALSE(Nested(so, "interval"));
    EXPECT_TRUE(Nested(so, "specexpr"));
    // Nothing but the returns line is written for the missing interval.
    EXPECT_EQ(capture.text().find("[KroCfgSOBasicEffectivity::setBasicEffectivity] "),
              capture.text().find("[KroCfgSOBasicEffectivity::setBasicEffectivity] returns"));

    KroICfgBasicEffectivity_var rebuilt;
    ASSERT_EQ(record->getBasicEffectivity(rebuilt), S_OK);
    EXPECT_EQ(Describe(rebuilt), " expression 1:A");
  }

  // Neither interval nor expression: still a new, empty basic effectivity.
  ASSERT_EQ(record->setBasicEffectivity(B::BasicEffectivity({})), S_OK);
  KroICfgBasicEffectivity_var rebuilt;
  ASSERT_EQ(record->getBasicEffectivity(rebuilt), S_OK);
  ASSERT_TRUE(rebuilt);
  EXPECT_EQ(Describe(rebuilt), " no expression");
}

TEST_F(BasicEffectivityTest, NullInputAndUnknownKindAreInvalid) {
  KroICfgSOBasicEffectivity_var record = NewBasicRecord();
  KroISpecObject_var so = record;
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(record->setBasicEffectivity(B::BasicEffectivity({B::IntervalOfKind(3)}, Expression({{1, "A"}}))),
            E_INVALIDARG);
  EXPECT_TRUE(capture.has("[KroCfgSOBasicEffectivity::setBasicEffectivity] The interval for the input "
                          "BasicEffectivity seems incorrect: type unknown."));
  EXPECT_FALSE(Nested(so, "interval"));
  EXPECT_TRUE(KroICfgSOSpecExpression_var(Nested(so, "specexpr")));

  ASSERT_EQ(record->setBasicEffectivity(B::BasicEffectivity({B::RangeInterval(1, 2)}, Expression({{1, "A"}}))), S_OK);
  EXPECT_EQ(record->setBasicEffectivity(nullptr), E_INVALIDARG);
  EXPECT_TRUE(capture.has("[KroCfgSOBasicEffectivity::setBasicEffectivity] The input effectivity argument is null."));
  EXPECT_FALSE(Nested(so, "interval"));
  EXPECT_FALSE(Nested(so, "specexpr"));

}

TEST_F(BasicEffectivityTest, RebuildingStopsAtTheFirstFailureAndSkipsForeignObjects) {
  KroICfgSOBasicEffectivity_var record = NewBasicRecord();
  ASSERT_EQ(record->setBasicEffectivity(B::BasicEffectivity({B::RangeInterval(3, 7)}, Expression({{1, "A"}}))), S_OK);
  TraceCapture capture({"CfgSO"});
  KroICfgBasicEffectivity_var rebuilt;
  KroCfgFaults::Set("KroICfgBasicEffectivity::setSpecExpression", static_cast<HRESULT>(0x80041234u));
  EXPECT_EQ(record->getBasicEffectivity(rebuilt), static_cast<HRESULT>(0x80041234u));
  EXPECT_TRUE(capture.has("[KroCfgSOBasicEffectivity::getBasicEffectivity] Unable to set the BasicEffectivity "
                          "SpecExpression attribute."));
  ASSERT_TRUE(rebuilt);  // kept, with its interval
  EXPECT_EQ(Describe(rebuilt), "[range 3..7] no expression");

  KroCfgFaults::Clear();

  // Nested spec objects of another kind are read as absent.
  KroICfgSOContext_var context;
  ASSERT_EQ(KroCfgSOFactory::createContext(context), S_OK);
  KroISpecObject_var so = record;
  KroCfgSOServices::SetSOValue(so, "interval", KroISpecObject_var(context));
  KroCfgSOServices::SetSOValue(so, "specexpr", KroISpecObject_var(context));
  capture.clear();
  ASSERT_EQ(record->getBasicEffectivity(rebuilt), S_OK);
  EXPECT_EQ(Describe(rebuilt), " no expression");
  EXPECT_EQ(capture.lines(), std::vector<std::string>{"[KroCfgSOBasicEffectivity::getBasicEffectivity] returns 0x00000000"});
}

using EffectivityTest = EffectivityTestBase;

KroICfgSOEffectivity_var NewRecord() {
  KroICfgSOEffectivity_var record;
  EXPECT_EQ(KroCfgSOFactory::createEffectivity(record), S_OK);
  return record;
}

TEST_F(EffectivityTest, ThreeBasicEffectivitiesComeBackInOrder) {
  KroICfgSOEffectivity_var record = NewRecord();
  KroICfgXEff_var xeff = B::XEff("D", {B::BasicEffectivity({B::DateInterval(kMarch15, kJanuary1)},
                                                           Expression({{1, "A"}, {-1, "B"}})),
                                       B::BasicEffectivity({B::InfiniteRangeInterval(10)}),
                                       B::BasicEffectivity({}, Expression({{1, "C"}}))});
  ASSERT_EQ(record->setXEff(xeff), S_OK);

  KroUnicodeString domain;
  EXPECT_EQ(record->getDomain(domain), S_OK);
  EXPECT_EQ(domain, "D");
  KroListValKroISpecObject_var nested;
  KroCfgSOServices::GetListSOValue(KroISpecObject_var(record), "effbas", nested);
  ASSERT_EQ(nested.Size(), 3);
  EXPECT_TRUE(KroICfgSOIntervalDate_var(Nested(nested[1], "interval")));
  EXPECT_TRUE(KroICfgSOIntervalRange_var(Nested(nested[2], "interval")));
  EXPECT_FALSE(Nested(nested[3], "interval"));

  KroICfgXEff_var rebuilt, again;
  ASSERT_EQ(record->getXEff(rebuilt), S_OK);
  EXPECT_EQ(Describe(rebuilt), Describe(xeff));
  EXPECT_EQ(Describe(rebuilt).size(), 4u);
  ASSERT_EQ(record->getXEff(again), S_OK);
  EXPECT_NE(again.ptr(), rebuilt.ptr());

  // No basic effectivity: the domain and an empty list.
  ASSERT_EQ(record->setXEff(B::XEff("E", {})), S_OK);
  ASSERT_EQ(record->getXEff(rebuilt), S_OK);
  EXPECT_EQ(Describe(rebuilt), std::vector<std::string>{"E"});
}

TEST_F(EffectivityTest, FailedWriteLeavesAnEmptyRecord) {
  KroICfgSOEffectivity_var record = NewRecord();
  KroISpecObject_var so = record;
  auto filled = [&] {
    std::vector<std::string> out;
    for (const char* name : {"effdom", "effbas"}) {
      boolean held = 0;
      KroCfgSOServices::TestAttribute(so, name, held);
      if (held) out.push_back(name);
    }
    return out;
  };
  const KroICfgXEff_var good = B::XEff("D", {B::BasicEffectivity({B::RangeInterval(1, 2)})});
  TraceCapture capture({"CfgSO"});

  // The second basic effectivity cannot be converted.
  ASSERT_EQ(record->setXEff(good), S_OK);
  EXPECT_EQ(filled(), (std::vector<std::string>{"effdom", "effbas"}));
  EXPECT_EQ(record->setXEff(B::XEff("D", {B::BasicEffectivity({B::RangeInterval(1, 2)}),
                                          B::BasicEffectivity({B::IntervalOfKind(3)})})),
            E_INVALIDARG);
  EXPECT_TRUE(capture.has("[KroCfgSOEffectivity::setXEff] Unable to convert a KroICfgBasicEffectivity into a "
                          "KroICfgSOBasicEffectivity."));
  EXPECT_TRUE(filled().empty());

  ASSERT_EQ(record->setXEff(good), S_OK);
  EXPECT_EQ(record->setXEff(nullptr), E_INVALIDARG);
  EXPECT_TRUE(capture.has("[KroCfgSOEffectivity::setXEff] The input effectivity argument is null."));
  EXPECT_TRUE(filled().empty());

  // Without the domain attribute the caller's string is left as it was.
  KroCfgSOServices::RemoveAttribute(so, "effdom");
  KroUnicodeString domain("unchanged");
  EXPECT_EQ(record->getDomain(domain), E_FAIL);
  EXPECT_EQ(domain, "unchanged");
  EXPECT_TRUE(capture.has("[KroCfgSOEffectivity::getDomain] Unable to get the effectivity domain."));
}

TEST_F(EffectivityTest, RebuildingStopsAtAFailingBasicEffectivityAndSkipsForeignObjects) {
  KroICfgSOEffectivity_var record = NewRecord();
  ASSERT_EQ(record->setXEff(B::XEff("D", {B::BasicEffectivity({B::RangeInterval(1, 2)}),
                                          B::BasicEffectivity({B::RangeInterval(3, 4)})})),
            S_OK);
  TraceCapture capture({"CfgSO"});
  KroCfgFaults::Set("KroICfgManager::createBasicEffectivity", static_cast<HRESULT>(0x80041234u), 1);
  KroICfgXEff_var rebuilt;
  EXPECT_EQ(record->getXEff(rebuilt), static_cast<HRESULT>(0x80041234u));
  EXPECT_TRUE(capture.has("[KroCfgSOEffectivity::getXEff] Unable to convert a KroICfgSOBasicEffectivity into a "
                          "KroICfgBasicEffectivity."));
  ASSERT_TRUE(rebuilt);  // the extended effectivity, its effectivity not yet attached
  EXPECT_EQ(Describe(rebuilt), std::vector<std::string>{"D"});
  KroCfgFaults::Clear();

  KroICfgSOContext_var context;
  ASSERT_EQ(KroCfgSOFactory::createContext(context), S_OK);
  KroISpecObject_var so = record;
  KroListValKroISpecObject_var nested;
  KroCfgSOServices::GetListSOValue(so, "effbas", nested);
  nested.items().insert(nested.begin(), KroISpecObject_var(context));
  KroCfgSOServices::SetListSOValue(so, "effbas", nested);
  ASSERT_EQ(record->getXEff(rebuilt), S_OK);
  EXPECT_EQ(Describe(rebuilt), (std::vector<std::string>{"D", "[range 1..2] no expression", "[range 3..4] no expression"}));
}

}  // namespace
