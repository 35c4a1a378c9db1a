#include "KroCfgSOIntervalRange.h"

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOIntervalRangeKroCfgSOIntervalRange.h"

KRO_DISPATCH_DEFINE(KroICfgSOIntervalRange, KroICfgSOIntervalRange_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOIntervalRange, KroBaseUnknown, "CfgSOIntervalRanges", KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

// Appends a milestone bound as its name and its rank in braces, then the closing text.
HRESULT AppendMilestone(KroDmxTrace& trace, const KroICfgSOMilestoneRange_var& milestone, const char* closing,
                        KroUnicodeString& text) {
  int rank = 0;
  HRESULT hr = milestone->getValue(rank);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to make call to KroCfgSOMilestoneRange::getValue !");
    return hr;
  }
  KroUnicodeString name;
  hr = milestone->getName(name);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to make call to KroCfgSOMilestoneRange::getName !");
    return hr;
  }
  text.Append(name).Append(" {").AppendNum(rank).Append(closing);
  return hr;
}

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOIntervalRange, KroICfgSOIntervalRange, TIEKroICfgSOIntervalRangeKroCfgSOIntervalRange);

HRESULT KroCfgSOIntervalRange::setStart(const KroICfgSOMilestoneRange_var& start) {
  return setMilestoneBound(true, start, "KroCfgSOIntervalRange::setStart - MilestoneRange", "Unable to set the start KroICfgOSMilestoneRange !");
}

HRESULT KroCfgSOIntervalRange::setEnd(const KroICfgSOMilestoneRange_var& end) {
  return setMilestoneBound(false, end, "KroCfgSOIntervalRange::setEnd - MilestoneRange", "Unable to set the end KroICfgOSMilestoneRange !");
}

HRESULT KroCfgSOIntervalRange::getStart(KroICfgSOMilestoneRange_var& start) const {
  return getMilestoneBound(true, start, "KroCfgSOIntervalRange::getStart - MilestoneRange", "Unable to get the start KroICfgOSMilestoneRange !");
}

HRESULT KroCfgSOIntervalRange::getEnd(KroICfgSOMilestoneRange_var& end) const {
  return getMilestoneBound(false, end, "KroCfgSOIntervalRange::getEnd - MilestoneRange", "Unable to get the end KroICfgOSMilestoneRange !");
}

HRESULT KroCfgSOIntervalRange::getStart(int& start) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalRange::getStart - integer");
  KRO_TRACE_LINE(trace, "Checking if the interval start value is held by a range Milestone.");
  KroICfgSOMilestoneRange_var milestone;
  HRESULT hr = getStart(milestone);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the interval start KroICfgOSMilestoneRange !");
    return KroTraceReturns(trace, hr);
  }
  // A milestone wins over the plain rank.
  if (hr == S_OK) {
    KRO_TRACE_LINE(trace, "The interval start value is a range Milestone.");
    KRO_TRACE_LINE(trace, "Extracting the integer value from the Milestone.");
    hr = milestone->getValue(start);
    if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to extract the interval start value from start range Milestone !");
  } else {
    KRO_TRACE_LINE(trace, "The interval start value is not a range Milestone.");
    KRO_TRACE_LINE(trace, "Extracting the integer value directly.");
    KroISpecObject_var so = const_cast<KroCfgSOIntervalRange*>(this);
    hr = KroCfgSOServices::GetIntegerValue(so, KroCfgSOStrings::INTERVAL_START_RANGE, start);
    if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to extract the interval start value !");
  }
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOIntervalRange::getEnd(int& end) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalRange::getEnd - integer");
  KRO_TRACE_LINE(trace, "Checking if the interval end value is held by a range Milestone.");
  KroICfgSOMilestoneRange_var milestone;
  HRESULT hr = getEnd(milestone);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the interval end KroICfgSOMilestoneRange !");
    return KroTraceReturns(trace, hr);
  }
  // An infinite interval gives no end milestone, so it reports its plain end rank.
  if (hr == S_OK) {
    KRO_TRACE_LINE(trace, "The interval end value is a range Milestone. Extracting the integer value from the Milestone.");
    hr = milestone->getValue(end);
  } else {
    KRO_TRACE_LINE(trace, "The interval end value is not a range Milestone. Extracting the integer value directly.");
    KroISpecObject_var so = const_cast<KroCfgSOIntervalRange*>(this);
    hr = KroCfgSOServices::GetIntegerValue(so, KroCfgSOStrings::INTERVAL_END_RANGE, end);
    if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to extract the interval end value !");
  }
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOIntervalRange::setInterval(const KroICfgInterval_var& interval) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalRange::setInterval");
  if (!interval || interval->getType() != KroICfgInterval::Range) {
    if (!interval)
      KRO_TRACE_LINE(trace, "The input interval is null. Resetting the start and end values.");
    else
      KRO_TRACE_LINE(trace, "The input interval is not of type KroICfgInterval::Range. Resetting the start and end "
                            "values. Error.");
    // The plain ranks keep their old values.
    setStart(KroICfgSOMilestoneRange_var());
    setEnd(KroICfgSOMilestoneRange_var());
    return KroTraceReturns(trace, interval ? E_FAIL : S_FALSE);
  }

  int start = 0, end = 0;
  interval->getRangeBounds(start, end);
  KRO_TRACE_LINE(trace, "Start value: " << start);
  KRO_TRACE_LINE(trace, "End value: " << end);
  setStart(KroICfgSOMilestoneRange_var());
  setEnd(KroICfgSOMilestoneRange_var());

  KroISpecObject_var so = this;
  KRO_TRACE_LINE(trace, "Working on the start value.");
  HRESULT hr = KroCfgSOServices::SetIntegerValue(so, KroCfgSOStrings::INTERVAL_START_RANGE, start);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to set interval start value !");
    return KroTraceReturns(trace, hr);
  }
  KRO_TRACE_LINE(trace, "Working on the end value.");
  hr = KroCfgSOServices::SetIntegerValue(so, KroCfgSOStrings::INTERVAL_END_RANGE, end);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to set interval end value !");
    return KroTraceReturns(trace, hr);
  }
  // Any negative end marks the interval infinite.
  if (end < 0) {
    KRO_TRACE_LINE(trace, "The interval end value is infinite. Setting the isInfinite flag.");
    hr = setInfinite(1);
    if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set isInfinite flag to TRUE !");
  } else {
    KRO_TRACE_LINE(trace, "The interval end value is not infinite. Setting the isInfinite flag.");
    hr = setInfinite(0);
    if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set isInfinite flag to FALSe !");
  }
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOIntervalRange::getInterval(KroICfgInterval_var& interval) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalRange::getInterval");
  interval = nullptr;
  int start = 0;
  HRESULT hr = getStart(start);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the start value of this KroICfgSOIntervalRange !");
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
    KRO_TRACE_LINE(trace, "Start value: " << start);
    hr = manager->createRangeInterval(start, -1, interval);
  } else {
    KRO_TRACE_LINE(trace, "The interval is not infinite. Extracting the end range.");
    int end = 0;
    hr = getEnd(end);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to get the end date of this KroICfgSOIntervalRange !");
      return KroTraceReturns(trace, hr);
    }
    KRO_TRACE_LINE(trace, "Creating a finite KroICfgInterval.");
    KRO_TRACE_LINE(trace, "Start value: " << start);
    KRO_TRACE_LINE(trace, "End value: " << end);
    hr = manager->createRangeInterval(start, end, interval);
  }
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to create the KroICfgInterval !");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOIntervalRange::toString(KroUnicodeString& text) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOIntervalRange::toString");
  text = KroUnicodeString("[");
  KroISpecObject_var so = const_cast<KroCfgSOIntervalRange*>(this);
  KroICfgSOMilestoneRange_var start;
  HRESULT hr = getStart(start);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the interval start KroICfgOSMilestoneRange !");
    return KroTraceReturns(trace, hr);
  }
  if (start) {
    hr = AppendMilestone(trace, start, "},", text);
    if (FAILED(hr)) return KroTraceReturns(trace, hr);
  } else {
    int rank = 0;
    hr = KroCfgSOServices::GetIntegerValue(so, KroCfgSOStrings::INTERVAL_START_RANGE, rank);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to get " << KroCfgSOStrings::INTERVAL_START_RANGE << " attribute !");
      return KroTraceReturns(trace, hr);
    }
    text.AppendNum(rank).Append(",");
  }

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
  KroICfgSOMilestoneRange_var end;
  hr = getEnd(end);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the interval end KroICfgSOMilestoneRange !");
    return KroTraceReturns(trace, hr);
  }
  if (end) return KroTraceReturns(trace, AppendMilestone(trace, end, "}]", text));
  int rank = 0;
  hr = KroCfgSOServices::GetIntegerValue(so, KroCfgSOStrings::INTERVAL_END_RANGE, rank);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to extract the interval end value !");
    return KroTraceReturns(trace, hr);
  }
  text.AppendNum(rank).Append("]");
  return KroTraceReturns(trace, hr);
}
