// Dates are stored as signed 32-bit second counts. Every operation that stores one refuses a date
// outside 1901-12-13 20:45:52 .. 2038-01-19 03:14:07 UTC with E_INVALIDARG, writes nothing and says
// why in its trace, rather than storing another date (2040-01-01 used to come back as 1903-11-25).
#include "KroCfgModelBuilder.h"
#include "KroCfgSODate.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgStreamer.h"
#include "LibraryTestSupport.h"

#include <cstdint>
#include <limits>

namespace {

namespace B = KroCfgModelBuilder;

const KroTime kFirst(std::numeric_limits<std::int32_t>::min());
const KroTime kLast(std::numeric_limits<std::int32_t>::max());
const KroTime kBefore(static_cast<time_t>(std::numeric_limits<std::int32_t>::min()) - 1);
const KroTime kAfter(static_cast<time_t>(std::numeric_limits<std::int32_t>::max()) + 1);
const KroTime k2040(2040, 1, 1, 0, 0, 0);
const std::string kWhy =
    "The date is outside 1901-12-13 .. 2038-01-19, the range of its signed 32-bit second count: nothing is written.";

int ObjectCount() {
  KroIContainer_var container;
  KroCfgSOFactory::getContainer(container);
  return container->CountObjects();
}

class DateRangeTest : public ::testing::Test {
 protected:
  void SetUp() override { UseShippedCatalog(); }
};

TEST_F(DateRangeTest, DateKeepsItsValueAndSaysWhy) {
  EXPECT_EQ(kFirst.ConvertToString("%Y-%m-%d %H:%M:%S"), "1901-12-13 20:45:52");
  EXPECT_EQ(kLast.ConvertToString("%Y-%m-%d %H:%M:%S"), "2038-01-19 03:14:07");
  KroICfgSODate_var date;
  ASSERT_EQ(KroCfgSOFactory::createDate(date), S_OK);
  for (const KroTime& edge : {kFirst, kLast}) {
    EXPECT_EQ(date->setKroTime(edge), S_OK);
    KroTime back;
    date->getKroTime(back);
    EXPECT_EQ(back, edge);
  }
  TraceCapture capture({"CfgSO"});
  for (const KroTime& outside : {kBefore, kAfter, k2040}) {
    EXPECT_EQ(date->setKroTime(outside), E_INVALIDARG);
    KroTime back;
    date->getKroTime(back);
    EXPECT_EQ(back, kLast) << "the stored date changed";
  }
  capture.clear();
  date->setKroTime(k2040);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSODate::setKroTime] Input date: 2040 - January - 01",
                                 "[KroCfgSODate::setKroTime] " + kWhy,
                                 "[KroCfgSODate::setKroTime] returns 0x80070057",
                             }));
}

TEST_F(DateRangeTest, MilestonesAndIntervalsWriteNothing) {
  KroICfgSOMilestoneDate_var milestone;
  ASSERT_EQ(KroCfgSOFactory::createMilestoneDate(milestone), S_OK);
  ASSERT_EQ(milestone->setMilestone(B::DateMilestone("M", KroTime(2004, 3, 15, 0, 0, 0))), S_OK);
  const int objects = ObjectCount();
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(milestone->setValue(k2040), E_INVALIDARG);
  EXPECT_TRUE(capture.has("[KroCfgSOMilestoneDate::setValue] " + kWhy)) << capture.text();
  EXPECT_EQ(milestone->setMilestone(B::DateMilestone("Later", k2040)), E_INVALIDARG);
  EXPECT_EQ(ObjectCount(), objects) << "no date object made for a refused date";
  KroUnicodeString name;
  KroTime value;
  milestone->getName(name);
  milestone->getValue(value);
  EXPECT_EQ(name, "M");
  EXPECT_EQ(value, KroTime(2004, 3, 15, 0, 0, 0));

  KroICfgSOIntervalDate_var interval;
  ASSERT_EQ(KroCfgSOFactory::createIntervalDate(interval), S_OK);
  const KroTime start(2001, 1, 1, 0, 0, 0), end(2002, 1, 1, 0, 0, 0);
  ASSERT_EQ(interval->setInterval(B::DateInterval(start, end)), S_OK);
  capture.clear();
  EXPECT_EQ(interval->setInterval(B::DateInterval(KroTime(2003, 1, 1, 0, 0, 0), k2040)), E_INVALIDARG);
  EXPECT_EQ(interval->setInterval(B::InfiniteDateInterval(kBefore)), E_INVALIDARG);
  EXPECT_TRUE(capture.has("[KroCfgSOIntervalDate::setInterval] " + kWhy)) << capture.text();
  KroTime startBack, endBack;
  interval->getStart(startBack);
  interval->getEnd(endBack);
  EXPECT_EQ(startBack, start) << "the start was written before the end was refused";
  EXPECT_EQ(endBack, end);

  // A whole-record write empties its record first and passes the refusal on.
  KroICfgSOBasicEffectivity_var basic;
  ASSERT_EQ(KroCfgSOFactory::createBasicEffectivity(basic), S_OK);
  EXPECT_EQ(basic->setBasicEffectivity(B::BasicEffectivity({B::DateInterval(start, k2040)})), E_INVALIDARG);
}

TEST_F(DateRangeTest, StreamerMakesNoTreeForDatesItCannotStore) {
  using St = KroCfgStreamer;
  KroISpecObject_var out;
  TraceCapture capture({"KroCfgStreamer"});
  EXPECT_EQ(St::KroTimeToSpecObject(k2040, out), E_INVALIDARG);
  EXPECT_FALSE(out);

  const int objects = ObjectCount();
  NlsBasicEffectivity basic;
  basic.date_start = {2001, 1, 31, 0, 0, 0};
  basic.date_end = {2040, 1, 1, 0, 0, 0};
  EXPECT_EQ(St::BasicEffectivityToSpecObject(basic, out), E_INVALIDARG);
  EXPECT_TRUE(capture.has("[BasicEffectivityToSpecObject] " + kWhy)) << capture.text();
  basic.date_end = {1901, 12, 13, 20, 45, 51};
  EXPECT_EQ(St::BasicEffectivityToSpecObject(basic, out), E_INVALIDARG);
  // Fields that only a server could send: far outside, and never an overflow.
  basic.date_end = {2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 2147483647};
  EXPECT_EQ(St::BasicEffectivityToSpecObject(basic, out), E_INVALIDARG);

  DMX_Config::NlsNormalValue value;
  value.optionalDate = {{{2004, 3, 15, 0, 0, 0}, {2040, 1, 1, 0, 0, 0}}};
  EXPECT_EQ(St::NormalValueToSpecObject(value, out), E_INVALIDARG);
  EXPECT_EQ(St::NormalValueToSpecObject(
                B::NormalValue({B::DateInterval(KroTime(2004, 3, 15, 0, 0, 0), k2040), nullptr, nullptr, nullptr, {}, {}}), out),
            E_INVALIDARG);
  EXPECT_FALSE(out);
  EXPECT_EQ(ObjectCount(), objects);
}

}  // namespace
