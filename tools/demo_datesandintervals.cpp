// cfgso demo: DatesAndIntervals.
#include "demo_datesandintervals.h"

#include <cstdio>

#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "cfgso_results.h"

namespace {

namespace B = KroCfgModelBuilder;

int s_failures = 0;

HRESULT Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) {
    std::fprintf(stderr, "cfgso demo: %s failed (%s)\n", what, ResultText(hr).c_str());
    ++s_failures;
  }
  return hr;
}

template <class Interval>
void Show(const char* label, const Interval& interval) {
  KroUnicodeString text;
  Check(interval->toString(text), "toString");
  std::printf("  %-44s %s\n", label, text.ConvertToChar());
}

KroICfgSOMilestoneDate_var DateMilestone(const char* name, const KroTime& date) {
  KroICfgSOMilestoneDate_var milestone;
  if (FAILED(Check(KroCfgSOFactory::createMilestoneDate(milestone), "createMilestoneDate"))) return milestone;
  Check(milestone->setMilestone(B::DateMilestone(name, date)), "setMilestone");
  return milestone;
}

KroICfgSOMilestoneRange_var RangeMilestone(const char* name, int rank) {
  KroICfgSOMilestoneRange_var milestone;
  if (FAILED(Check(KroCfgSOFactory::createMilestoneRange(milestone), "createMilestoneRange"))) return milestone;
  Check(milestone->setMilestone(B::RangeMilestone(name, rank)), "setMilestone");
  return milestone;
}

void DateIntervals() {
  const KroTime march15(2004, 3, 15, 0, 0, 0), january1(2005, 1, 1, 0, 0, 0);
  KroICfgSOIntervalDate_var interval;
  if (FAILED(Check(KroCfgSOFactory::createIntervalDate(interval), "createIntervalDate"))) return;

  std::printf("Date interval (spec object of late type %s)\n",
              KroISpecObject_var(interval)->GetLateType().ConvertToChar());
  Check(interval->setInterval(B::DateInterval(march15, january1)), "setInterval");
  Show("from the model interval, plain dates:", interval);

  KroICfgInterval_var model;
  Check(interval->getInterval(model), "getInterval");
  KroTime start, end;
  if (model) model->getDateBounds(start, end);
  std::printf("  %-44s %ld .. %ld seconds\n", "back to a model interval:", static_cast<long>(start.Gettime_t()),
              static_cast<long>(end.Gettime_t()));

  Check(interval->setStart(DateMilestone("M1", march15)), "setStart");
  Check(interval->setEnd(KroICfgSOMilestoneDate_var()), "setEnd");
  Show("start milestone M1, end removed:", interval);

  Check(interval->setInterval(B::DateInterval(march15, january1)), "setInterval");
  Check(interval->setEnd(DateMilestone("M2", january1)), "setEnd");
  Show("plain start, end milestone M2:", interval);

  Check(interval->setInterval(B::InfiniteDateInterval(KroTime(1969, 7, 20, 0, 0, 0))), "setInterval");
  Show("open-ended model interval from 1969:", interval);
}

void RangeIntervals() {
  KroICfgSOIntervalRange_var interval;
  if (FAILED(Check(KroCfgSOFactory::createIntervalRange(interval), "createIntervalRange"))) return;

  std::printf("Range interval (spec object of late type %s)\n",
              KroISpecObject_var(interval)->GetLateType().ConvertToChar());
  Check(interval->setInterval(B::RangeInterval(3, 7)), "setInterval");
  Show("from the model interval, plain ranks:", interval);

  Check(interval->setInterval(B::InfiniteRangeInterval(5)), "setInterval");
  Show("open-ended model interval:", interval);

  Check(interval->setStart(RangeMilestone("First", 10)), "setStart");
  Check(interval->setEnd(RangeMilestone("Last", 20)), "setEnd");
  Show("milestones First and Last:", interval);

  KroICfgInterval_var model;
  Check(interval->getInterval(model), "getInterval");
  int start = 0, end = 0;
  if (model) model->getRangeBounds(start, end);
  std::printf("  %-44s %d .. %d\n", "back to a model interval:", start, end);
}

}  // namespace

int DemoDatesAndIntervals() {
  s_failures = 0;
  DateIntervals();
  RangeIntervals();
  return s_failures ? 1 : 0;
}
