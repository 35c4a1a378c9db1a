// The interval wrappers: bounds as plain values or milestones, the open end, the conversion to and
// from model intervals, and the text form.
#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

namespace B = KroCfgModelBuilder;

const KroTime kMarch15(2004, 3, 15, 0, 0, 0), kJanuary1(2005, 1, 1, 0, 0, 0), kJuly20(1969, 7, 20, 0, 0, 0);

KroICfgSOIntervalDate_var NewDateInterval() {
  UseShippedCatalog();
  KroICfgSOIntervalDate_var interval;
  EXPECT_EQ(KroCfgSOFactory::createIntervalDate(interval), S_OK);
  return interval;
}

KroICfgSOIntervalRange_var NewRangeInterval() {
  UseShippedCatalog();
  KroICfgSOIntervalRange_var interval;
  EXPECT_EQ(KroCfgSOFactory::createIntervalRange(interval), S_OK);
  return interval;
}

KroICfgSOMilestoneDate_var DateMilestone(const char* name, const KroTime& date) {
  KroICfgSOMilestoneDate_var milestone;
  KroCfgSOFactory::createMilestoneDate(milestone);
  milestone->setMilestone(B::DateMilestone(name, date));
  return milestone;
}

KroICfgSOMilestoneRange_var RangeMilestone(const char* name, int rank) {
  KroICfgSOMilestoneRange_var milestone;
  KroCfgSOFactory::createMilestoneRange(milestone);
  milestone->setMilestone(B::RangeMilestone(name, rank));
  return milestone;
}

// An instance of the late type whose startup declares only the given attributes.
KroISpecObject_var Bare(const char* startupName, const char* lateType,
                        std::initializer_list<std::pair<const char*, TCKind>> attributes) {
  UseShippedCatalog();
  KroIContainer_var container;
  KroCfgSOFactory::getContainer(container);
  KroISpecObject_var startup = KroISpecObject_var::Adopt(container->FindStartUpByName(startupName));
  if (!startup)
    startup = KroISpecObject_var::Adopt(CreateStartUp(startupName, lateType, "KroISpecObject", container, "", nullptr));
  KroISpecObject_var so = KroISpecObject_var::Adopt(startup->Instanciate("", nullptr));
  for (const auto& [name, kind] : attributes) {
    KroISpecAttribute_var attribute;
    KroCfgSOServices::AddAttribute(so, name, kind, attribute);
  }
  return so;
}

// The lines written inside one step.
std::vector<std::string> StepLines(const TraceCapture& capture, const std::string& step) {
  std::vector<std::string> out;
  for (const auto& line : capture.lines())
    if (line.rfind("[" + step + "] ", 0) == 0) out.push_back(line.substr(step.size() + 3));
  return out;
}

template <class Interval>
std::string Text(const Interval& interval, HRESULT expected = S_OK) {
  KroUnicodeString text("junk");
  EXPECT_EQ(interval->toString(text), expected);
  return text.str();
}

template <class Interval>
int Infinite(const Interval& interval) {
  boolean flag = 2;
  EXPECT_EQ(interval->isInfinite(flag), S_OK);
  return flag;
}

TEST(IntervalDateTest, FiniteAndInfiniteModelIntervalsRoundTrip) {
  KroICfgSOIntervalDate_var interval = NewDateInterval();
  ASSERT_TRUE(interval);
  KroISpecObject_var so = interval;

  EXPECT_EQ(interval->setInterval(B::DateInterval(kMarch15, kJanuary1)), S_OK);
  EXPECT_EQ(Infinite(interval), 0);
  KroTime start, end;
  EXPECT_EQ(interval->getStart(start), S_OK);
  EXPECT_EQ(interval->getEnd(end), S_OK);
  EXPECT_EQ(start, kMarch15);
  EXPECT_EQ(end, kJanuary1);
  KroICfgSOMilestoneDate_var milestone;
  EXPECT_EQ(interval->getStart(milestone), S_FALSE);  // plain dates, no milestone
  KroICfgInterval_var model;
  EXPECT_EQ(interval->getInterval(model), S_OK);
  ASSERT_TRUE(model);
  EXPECT_EQ(model->getType(), KroICfgInterval::Date);
  model->getDateBounds(start, end);
  EXPECT_EQ(start.Gettime_t(), 1079308800);
  EXPECT_EQ(end.Gettime_t(), 1104537600);
  EXPECT_EQ(Text(interval), "[2004 - March - 15,2005 - January - 01]");

  // Open-ended, from before 1970: the old end bound goes.
  EXPECT_EQ(interval->setInterval(B::InfiniteDateInterval(kJuly20)), S_OK);
  EXPECT_EQ(Infinite(interval), 1);
  KroISpecObject_var held;
  KroCfgSOServices::GetSOValue(so, "End", held);
  EXPECT_FALSE(held);
  end = KroTime(5);
  EXPECT_EQ(interval->getEnd(end), S_FALSE);
  EXPECT_EQ(end.Gettime_t(), 0);
  EXPECT_EQ(interval->getInterval(model), S_OK);
  model->getDateBounds(start, end);
  EXPECT_EQ(start.Gettime_t(), -14256000);
  EXPECT_EQ(end.Gettime_t(), 0);
  EXPECT_EQ(Text(interval), "[1969 - July - 20,infinite]");
}

TEST(IntervalDateTest, MilestoneEndSwitchesBetweenFiniteAndInfinite) {
  KroICfgSOIntervalDate_var interval = NewDateInterval();
  ASSERT_TRUE(interval);
  interval->setInterval(B::DateInterval(kMarch15, kJanuary1));

  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(interval->setEnd(KroICfgSOMilestoneDate_var()), S_OK);
  EXPECT_EQ(Infinite(interval), 1);
  // The flag is written directly: setEnd never goes through setInfinite.
  EXPECT_TRUE(StepLines(capture, "KroCfgSOInterval::setInfinite").empty());
  EXPECT_EQ(Text(interval), "[2004 - March - 15,infinite]");

  capture.clear();
  EXPECT_EQ(interval->setEnd(DateMilestone("M2", kJanuary1)), S_OK);
  EXPECT_TRUE(StepLines(capture, "KroCfgSOInterval::setInfinite").empty());
  EXPECT_EQ(Infinite(interval), 0);
  EXPECT_EQ(Text(interval), "[2004 - March - 15,M2 {2005 - January - 01}]");
  KroTime end;
  EXPECT_EQ(interval->getEnd(end), S_OK);
  EXPECT_EQ(end, kJanuary1);

  EXPECT_EQ(interval->setStart(DateMilestone("M1", kMarch15)), S_OK);
  EXPECT_EQ(Text(interval), "[M1 {2004 - March - 15},M2 {2005 - January - 01}]");
  KroICfgSOMilestoneDate_var start;
  EXPECT_EQ(interval->getStart(start), S_OK);
  EXPECT_EQ(interval->setInfinite(1), S_OK);
  EXPECT_EQ(Text(interval), "[M1 {2004 - March - 15},infinite]");
  KroICfgSOMilestoneDate_var noEnd;
  EXPECT_EQ(interval->getEnd(noEnd), S_FALSE);
}

TEST(IntervalDateTest, NullAndWronglyTypedIntervalsReset) {
  KroICfgSOIntervalDate_var interval = NewDateInterval();
  ASSERT_TRUE(interval);
  KroISpecObject_var so = interval;
  interval->setInterval(B::DateInterval(kMarch15, kJanuary1));
  EXPECT_EQ(interval->setInterval(nullptr), S_FALSE);
  EXPECT_EQ(Infinite(interval), 1);
  EXPECT_EQ(Text(interval, E_FAIL), "[");

  interval->setInterval(B::DateInterval(kMarch15, kJanuary1));
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(interval->setInterval(B::RangeInterval(3, 7)), E_FAIL);
  EXPECT_EQ(StepLines(capture, "KroCfgSOIntervalDate::setInterval"),
            (std::vector<std::string>{"The input interval is not of type KroICfgInterval::Date.",
                                      "ERROR: Resetting the start and end values.", "returns 0x80004005"}));
  EXPECT_EQ(Infinite(interval), 1);
  KroICfgSOMilestoneDate_var held;
  EXPECT_EQ(interval->getStart(held), S_FALSE);

  // Without a start nothing converts.
  capture.clear();
  KroICfgInterval_var model = B::RangeInterval(1, 2);
  EXPECT_EQ(interval->getInterval(model), E_FAIL);
  EXPECT_FALSE(model);
  EXPECT_EQ(StepLines(capture, "KroCfgSOIntervalDate::getStart - KroTime"),
            (std::vector<std::string>{"The start SpecObject is a null. Error.", "returns 0x80004005"}));
  EXPECT_EQ(StepLines(capture, "KroCfgSOIntervalDate::getInterval"),
            (std::vector<std::string>{"Unable to get the start date of this KroICfgSOIntervalDate !",
                                      "returns 0x80004005"}));

  // A start of another kind is an error too.
  KroCfgSOServices::SetSOValue(so, "Start", KroISpecObject_var(RangeMilestone("R", 1)));
  KroTime start;
  EXPECT_EQ(interval->getStart(start), E_FAIL);
  EXPECT_EQ(Text(interval, E_FAIL), "[");
}

TEST(IntervalDateTest, FiniteWithoutEndAndManagerFailure) {
  KroICfgSOIntervalDate_var interval = NewDateInterval();
  ASSERT_TRUE(interval);
  // A fresh interval reads as finite; with a start only it converts to an end at time value 0.
  EXPECT_EQ(interval->setStart(DateMilestone("M1", kMarch15)), S_OK);
  KroICfgInterval_var model;
  EXPECT_EQ(interval->getInterval(model), S_OK);
  KroTime start, end(9);
  ASSERT_TRUE(model);
  model->getDateBounds(start, end);
  EXPECT_EQ(start, kMarch15);
  EXPECT_EQ(end.Gettime_t(), 0);
  EXPECT_EQ(Text(interval, E_FAIL), "[M1 {2004 - March - 15},");

  TraceCapture capture({"CfgSO"});
  KroCfgFaults::Set("KroICfgManager::createDateInterval", E_OUTOFMEMORY);
  EXPECT_EQ(interval->getInterval(model), E_OUTOFMEMORY);
  KroCfgFaults::Clear();
  EXPECT_FALSE(model);
  EXPECT_EQ(StepLines(capture, "KroCfgSOIntervalDate::getInterval"),
            (std::vector<std::string>{"The interval is not infinite. Extracting the end date.",
                                      "Creating a finite KroICfgInterval.", "Start date: 2004 - March - 15",
                                      "End date: 1970 - January - 01", "Unable to create the KroICfgInterval !",
                                      "returns 0x8007000E"}));
}

TEST(IntervalRangeTest, FiniteAndInfiniteModelIntervalsRoundTrip) {
  KroICfgSOIntervalRange_var interval = NewRangeInterval();
  ASSERT_TRUE(interval);
  EXPECT_EQ(interval->setInterval(B::RangeInterval(3, 7)), S_OK);
  EXPECT_EQ(Infinite(interval), 0);
  KroICfgInterval_var model;
  EXPECT_EQ(interval->getInterval(model), S_OK);
  ASSERT_TRUE(model);
  int start = 0, end = 0;
  model->getRangeBounds(start, end);
  EXPECT_EQ(model->getType(), KroICfgInterval::Range);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 7);
  EXPECT_EQ(Text(interval), "[3,7]");

  EXPECT_EQ(interval->setInterval(B::InfiniteRangeInterval(5)), S_OK);
  EXPECT_EQ(Infinite(interval), 1);
  EXPECT_EQ(interval->getEnd(end), S_OK);  // the stored negative end, no error
  EXPECT_EQ(end, -1);
  EXPECT_EQ(interval->getInterval(model), S_OK);
  model->getRangeBounds(start, end);
  EXPECT_EQ(start, 5);
  EXPECT_EQ(end, -1);
  EXPECT_EQ(Text(interval), "[5,infinite]");

  EXPECT_EQ(interval->setInterval(B::RangeInterval(0, 0)), S_OK);  // an end of 0 is finite
  EXPECT_EQ(Infinite(interval), 0);
  EXPECT_EQ(Text(interval), "[0,0]");
}

TEST(IntervalRangeTest, MilestonesTakePrecedenceOverPlainRanks) {
  KroICfgSOIntervalRange_var interval = NewRangeInterval();
  ASSERT_TRUE(interval);
  interval->setInterval(B::RangeInterval(3, 7));

  EXPECT_EQ(interval->setStart(RangeMilestone("First", 4)), S_OK);
  int start = 0, end = 0;
  EXPECT_EQ(interval->getStart(start), S_OK);
  EXPECT_EQ(start, 4);
  EXPECT_EQ(Text(interval), "[First {4},7]");
  EXPECT_EQ(interval->setStart(KroICfgSOMilestoneRange_var()), S_OK);
  interval->getStart(start);
  EXPECT_EQ(start, 3);

  EXPECT_EQ(interval->setEnd(KroICfgSOMilestoneRange_var()), S_OK);  // null end: infinite
  EXPECT_EQ(Text(interval), "[3,infinite]");
  EXPECT_EQ(interval->setEnd(RangeMilestone("Last", 20)), S_OK);  // milestone end: finite again
  EXPECT_EQ(Text(interval), "[3,Last {20}]");
  interval->setStart(RangeMilestone("First", 10));
  EXPECT_EQ(Text(interval), "[First {10},Last {20}]");
  EXPECT_EQ(interval->getEnd(end), S_OK);
  EXPECT_EQ(end, 20);
  KroICfgInterval_var model;
  interval->getInterval(model);
  ASSERT_TRUE(model);
  model->getRangeBounds(start, end);
  EXPECT_EQ(start, 10);
  EXPECT_EQ(end, 20);

  // setInterval drops the milestones and writes the plain ranks; a reset drops them and keeps the ranks.
  interval->setInterval(B::RangeInterval(3, 7));
  KroICfgSOMilestoneRange_var milestone;
  EXPECT_EQ(interval->getStart(milestone), S_FALSE);
  interval->setStart(RangeMilestone("First", 10));
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(interval->setInterval(B::DateInterval(kMarch15, kJanuary1)), E_FAIL);
  EXPECT_EQ(StepLines(capture, "KroCfgSOIntervalRange::setInterval"),
            (std::vector<std::string>{"The input interval is not of type KroICfgInterval::Range. Resetting the start "
                                      "and end values. Error.",
                                      "returns 0x80004005"}));
  EXPECT_EQ(Infinite(interval), 1);
  EXPECT_EQ(Text(interval), "[3,infinite]");
  EXPECT_EQ(interval->setInterval(nullptr), S_FALSE);
  interval->getEnd(end);
  EXPECT_EQ(end, 7);
}

TEST(IntervalRangeTest, FailurePathsWriteTheirLines) {
  // No "StartRange": the text stops after "[", with the service's failure.
  KroICfgSOIntervalRange_var bare = Bare("IntervalTestRangeNoRanks", "CfgSOIntervalRanges",
                                         {{"Start", tk_specobject}, {"End", tk_specobject}, {"infinite", tk_boolean}});
  ASSERT_TRUE(bare);
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(Text(bare, E_FAIL), "[");
  EXPECT_EQ(StepLines(capture, "KroCfgSOIntervalRange::toString"),
            (std::vector<std::string>{"Unable to get StartRange attribute !", "returns 0x80004005"}));
  capture.clear();
  KroICfgInterval_var model;
  EXPECT_EQ(bare->getInterval(model), E_FAIL);
  EXPECT_EQ(StepLines(capture, "KroCfgSOIntervalRange::getStart - integer"),
            (std::vector<std::string>{"Checking if the interval start value is held by a range Milestone.",
                                      "The interval start value is not a range Milestone.",
                                      "Extracting the integer value directly.",
                                      "Unable to extract the interval start value !", "returns 0x80004005"}));
  EXPECT_TRUE(capture.has(
      "[KroCfgSOIntervalRange::getInterval] Unable to get the start value of this KroICfgSOIntervalRange !"));

  // The manager refuses the new interval.
  KroICfgSOIntervalRange_var interval = NewRangeInterval();
  interval->setInterval(B::InfiniteRangeInterval(5));
  capture.clear();
  KroCfgFaults::Set("KroICfgManager::createRangeInterval", E_FAIL);
  EXPECT_EQ(interval->getInterval(model), E_FAIL);
  KroCfgFaults::Clear();
  EXPECT_EQ(StepLines(capture, "KroCfgSOIntervalRange::getInterval"),
            (std::vector<std::string>{"The interval is infinite. Creating an infinite KroICfgInterval.",
                                      "Start value: 5", "Unable to create the KroICfgInterval !",
                                      "returns 0x80004005"}));
}

}  // namespace

namespace {

TEST(IntervalTest, MilestoneBoundsReportEmptyAndUnreachableBounds) {
  KroICfgSOIntervalDate_var dates = NewDateInterval();
  KroICfgSOIntervalRange_var ranks = NewRangeInterval();
  KroICfgSOMilestoneDate_var start = DateMilestone("M", kMarch15);
  KroICfgSOMilestoneRange_var end = RangeMilestone("R", 3);
  KroICfgSOIntervalDate_var bare = Bare("IntervalTestNoBounds", "CfgSOIntervalDates", {});
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(dates->getStart(start), S_FALSE);
  EXPECT_FALSE(start);
  EXPECT_EQ(ranks->getEnd(end), S_FALSE);
  EXPECT_FALSE(end);
  EXPECT_TRUE(capture.has("[KroCfgSOIntervalDate::getStart - MilestoneDate] The start Milestone is null. Returning S_FALSE."))
      << capture.text();
  EXPECT_TRUE(capture.has("[KroCfgSOIntervalRange::getEnd - MilestoneRange] The end Milestone is null. Returning S_FALSE."));
  EXPECT_TRUE(capture.has("[KroCfgSOIntervalRange::getEnd - MilestoneRange] returns 0x00000001"));

  // A spec object without the bound attributes cannot hold a bound; the message keeps its leading blank.
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->setStart(DateMilestone("M", kMarch15)), E_FAIL);
  EXPECT_TRUE(capture.has("[KroCfgSOIntervalDate::setStart - MilestoneDate]  Unable to set the start KroICfgOSMilestoneDate !"))
      << capture.text();
}

}  // namespace
