#include "KroCfgSOIntervalDate.h"

#include "KroCfgSODate.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "TIEKroICfgSOIntervalDateKroCfgSOIntervalDate.h"

KRO_DISPATCH_DEFINE(KroICfgSOIntervalDate, KroICfgSOIntervalDate_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOIntervalDate, KroBaseUnknown, "CfgSOIntervalDates", KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

const char* const kDateFormat = "%Y - %B - %d";

// The messages of one bound in the time form of getStart/getEnd.
struct BoundMessages {
  const char* cannotGet;
  const char* isDate;
  const char* isNotDate;
  const char* isNeither;
  const char* isMilestone;
};

const BoundMessages kStartMessages = {
    "Unable to get the interval start SpecObject !", "The start SpecObject is a KroICfgSODate.",
    "The start SpecObject is a not KroICfgSODate.", "ERROR: The start SpecObject is a not KroICfgSOMilestoneDate either.",
    "The start SpecObject is a KroICfgSOMilestoneDate. Extracting the KroTime."};
const BoundMessages kEndMessages = {
    "Unable to get the interval end SpecObject !", "The end SpecObject is a KroICfgSODate.",
    "The end SpecObject is a not KroICfgSODate.", "ERROR: The end SpecObject is a not KroICfgSOMilestoneDate either.",
    "The end SpecObject is a KroICfgSOMilestoneDate. Extracting the KroTime."};

// The date of a bound held as a plain date or as a date milestone; the bound is not null.
HRESULT BoundTime(KroDmxTrace& trace, const KroISpecObject_var& bound, const BoundMessages& messages, KroTime& time) {
  if (KroICfgSODate_var date = bound) {
    KRO_TRACE_LINE(trace, messages.isDate);
    HRESULT hr = date->getKroTime(time);
    if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to extract the KroTime from the KroICfgSODate !");
    return hr;
  }
  KRO_TRACE_LINE(trace, messages.isNotDate);
  KRO_TRACE_LINE(trace, "Testing if it is a KroICfgSOMilestoneDate.");
  KroICfgSOMilestoneDate_var milestone = bound;
  if (!milestone) {
    KRO_TRACE_LINE(trace, messages.isNeither);
    return E_FAIL;
  }
  KRO_TRACE_LINE(trace, messages.isMilestone);
  HRESULT hr = milestone->getValue(time);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to extract the KroTime from the KroICfgSOMilestoneDate.");
  return hr;
}

// Appends a bound as text: its date, or the milestone's name and date in braces. E_FAIL for a bound of
// neither kind.
HRESULT AppendBound(KroDmxTrace& trace, const KroISpecObject_var& bound, const char* closing,
                    const char* milestoneClosing, KroUnicodeString& text) {
  if (KroICfgSODate_var date = bound) {
    KroTime time;
    HRESULT hr = date->getKroTime(time);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to extract the KroTime from the KroICfgSODate !");
      return hr;
    }
    text.Append(time.ConvertToString(kDateFormat, 0)).Append(closing);
    return hr;
  }
  KroICfgSOMilestoneDate_var milestone = bound;
  if (!milestone) return E_FAIL;
  KroTime time;
  HRESULT hr = milestone->getValue(time);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to make call to KroICfgSOMilestoneDate::getValue !");
    return hr;
  }
  KroUnicodeString name;
  hr = milestone->getName(name);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to make call to KroCfgSOMilestoneDate::getName !");
    return hr;
  }
  text.Append(name).Append(" {").Append(time.ConvertToString(kDateFormat, 0)).Append(milestoneClosing);
  return hr;
}

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOIntervalDate, KroICfgSOIntervalDate, TIEKroICfgSOIntervalDateKroCfgSOIntervalDate);

HRESULT KroCfgSOIntervalDate::setStart(const KroICfgSOMilestoneDate_var& start) {
  return setMilestoneBound(true, start, "KroCfgSOIntervalDate::setStart - MilestoneDate", " Unable to set the start KroICfgOSMilestoneDate !");
}

HRESULT KroCfgSOIntervalDate::setEnd(const KroICfgSOMilestoneDate_var& end) {
  return setMilestoneBound(false, end, "KroCfgSOIntervalDate::setEnd - MilestoneDate", "Unable to set the end KroICfgOSMilestoneDate !");
}

HRESULT KroCfgSOIntervalDate::getStart(KroICfgSOMilestoneDate_var& start) const {
  return getMilestoneBound(true, start, "KroCfgSOIntervalDate::getStart - MilestoneDate", "Unable to get the start KroICfgOSMilestoneDate !");
}

HRESULT KroCfgSOIntervalDate::getEnd(KroICfgSOMilestoneDate_var& end) const {
  return getMilestoneBound(false, end, "KroCfgSOIntervalDate::getEnd - MilestoneDate", "Unable to get the end KroICfgOSMilestoneDate !");
}

HRESULT KroCfgSOIntervalDate::getStart(KroTime& start) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalDate::getStart - KroTime");
  start.Settime_t(0);
  KroISpecObject_var bound;
  HRESULT hr = KroCfgSOInterval::getStart(bound);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, kStartMessages.cannotGet);
    return KroTraceReturns(trace, hr);
  }
  if (!bound) {
    KRO_TRACE_LINE(trace, "The start SpecObject is a null. Error.");
    return KroTraceReturns(trace, E_FAIL);
  }
  return KroTraceReturns(trace, BoundTime(trace, bound, kStartMessages, start));
}

HRESULT KroCfgSOIntervalDate::getEnd(KroTime& end) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalDate::getEnd - KroTime");
  end.Settime_t(0);
  KroISpecObject_var bound;
  HRESULT hr = KroCfgSOInterval::getEnd(bound);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, kEndMessages.cannotGet);
    return KroTraceReturns(trace, hr);
  }
  if (!bound) {
    KRO_TRACE_LINE(trace, "The end SpecObject is a null. The interval must be infinite.");
    return KroTraceReturns(trace, S_FALSE);
  }
  return KroTraceReturns(trace, BoundTime(trace, bound, kEndMessages, end));
}

HRESULT KroCfgSOIntervalDate::setInterval(const KroICfgInterval_var& interval) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalDate::setInterval");
  if (!interval || interval->getType() != KroICfgInterval::Date) {
    if (!interval) {
      KRO_TRACE_LINE(trace, "The input interval is null. Resetting the start and end values.");
    } else {
      KRO_TRACE_LINE(trace, "The input interval is not of type KroICfgInterval::Date.");
      KRO_TRACE_LINE(trace, "ERROR: Resetting the start and end values.");
    }
    setStart(KroICfgSOMilestoneDate_var());
    setEnd(KroICfgSOMilestoneDate_var());
    return KroTraceReturns(trace, interval ? E_FAIL : S_FALSE);
  }

  KroTime start, end;
  interval->getDateBounds(start, end);
  KRO_TRACE_LINE(trace, "Start date: " << start.ConvertToString(kDateFormat, 0));
  KRO_TRACE_LINE(trace, "End date: " << end.ConvertToString(kDateFormat, 0));
  // Both bounds are checked before the first write (an end at or before the epoch means no end).
  if (!KroCfgSODate::IsStorable(start) || (end.Gettime_t() > 0 && !KroCfgSODate::IsStorable(end))) {
    KRO_TRACE_LINE(trace, KroCfgSODate::OutOfRangeMessage);
    return KroTraceReturns(trace, E_INVALIDARG);
  }

  KRO_TRACE_LINE(trace, "Working on the start date.");
  KroICfgSODate_var startDate;
  HRESULT hr = KroCfgSOFactory::createDate(startDate);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to create a KroICfgSODate !");
    return KroTraceReturns(trace, hr);
  }
  hr = startDate->setKroTime(start);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to set the start time into the KroICfgSODate !");
    return KroTraceReturns(trace, hr);
  }
  hr = KroCfgSOInterval::setStart(KroISpecObject_var(startDate));
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to set the KroICfgSODate as the start value !");
    return KroTraceReturns(trace, hr);
  }

  KRO_TRACE_LINE(trace, "Working on the end date.");
  if (end.Gettime_t() > 0) {
    KRO_TRACE_LINE(trace, "The interval end date is not infinite.");
    KroICfgSODate_var endDate;
    hr = KroCfgSOFactory::createDate(endDate);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to create a KroICfgSODate !");
      return KroTraceReturns(trace, hr);
    }
    hr = endDate->setKroTime(end);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to set the end time into the KroICfgSODate !");
      return KroTraceReturns(trace, hr);
    }
    hr = KroCfgSOInterval::setEnd(KroISpecObject_var(endDate));
    if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set the KroICfgSODate as the end value !");
    return KroTraceReturns(trace, hr);
  }
  KRO_TRACE_LINE(trace, "The interval end date is infinite. Setting the isInfinite flag.");
  hr = setInfinite(1);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set isInfinite flag to TRUE !");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOIntervalDate::getInterval(KroICfgInterval_var& interval) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalDate::getInterval");
  interval = nullptr;
  KroTime start;
  HRESULT hr = getStart(start);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the start date of this KroICfgSOIntervalDate !");
    return KroTraceReturns(trace, hr);
  }
  boolean infinite = 0;
  hr = isInfinite(infinite);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to extract the isInfinite flag !");
    return KroTraceReturns(trace, hr);
  }
  KroICfgManager_var manager = KroCfgSOServices::GetCfgManager();
  if (infinite) {
    KRO_TRACE_LINE(trace, "The interval is infinite. Creating an infinite KroICfgInterval.");
    KRO_TRACE_LINE(trace, "Start date: " << start.ConvertToString(kDateFormat, 0));
    hr = manager->createInfiniteDateInterval(start, interval);
  } else {
    KRO_TRACE_LINE(trace, "The interval is not infinite. Extracting the end date.");
    // No end bound (S_FALSE) is no failure: the end is then the time value 0.
    KroTime end;
    hr = getEnd(end);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to get the end date of this KroICfgSOIntervalDate !");
      return KroTraceReturns(trace, hr);
    }
    KRO_TRACE_LINE(trace, "Creating a finite KroICfgInterval.");
    KRO_TRACE_LINE(trace, "Start date: " << start.ConvertToString(kDateFormat, 0));
    KRO_TRACE_LINE(trace, "End date: " << end.ConvertToString(kDateFormat, 0));
    hr = manager->createDateInterval(start, end, interval);
  }
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to create the KroICfgInterval !");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOIntervalDate::toString(KroUnicodeString& text) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalDate::toString");
  text = KroUnicodeString("[");
  KroISpecObject_var start;
  HRESULT hr = KroCfgSOInterval::getStart(start);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the interval start SpecObject !");
    return KroTraceReturns(trace, hr);
  }
  if (!start) return KroTraceReturns(trace, E_FAIL);
  hr = AppendBound(trace, start, ",", "},", text);
  if (FAILED(hr)) return KroTraceReturns(trace, hr);

  boolean infinite = 0;
  hr = isInfinite(infinite);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to extract the isInfinite flag !");
    return KroTraceReturns(trace, hr);
  }
  if (infinite) {
    text.Append("infinite]");
    return KroTraceReturns(trace, hr);
  }
  KroISpecObject_var end;
  hr = KroCfgSOInterval::getEnd(end);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the interval End SpecObject !");
    return KroTraceReturns(trace, hr);
  }
  if (!end) return KroTraceReturns(trace, E_FAIL);
  return KroTraceReturns(trace, AppendBound(trace, end, "]", "}]", text));
}
