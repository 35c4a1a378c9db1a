#include "KroCfgSOInterval.h"

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

}  // namespace

KroDmxTrace& KroCfgSOInterval::Trace() { return s_trace.get(); }

HRESULT KroCfgSOInterval::setMilestoneBound(bool start, const KroISpecObject_var& milestone, const char* step,
                                            const char* failure) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep traceStep(trace, step);
  HRESULT hr = start ? KroCfgSOInterval::setStart(milestone) : KroCfgSOInterval::setEnd(milestone);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, failure);
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOInterval::getStart(KroISpecObject_var& start) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOInterval::getStart");
  start = nullptr;
  KroISpecObject_var so = const_cast<KroCfgSOInterval*>(this);
  HRESULT hr = KroCfgSOServices::GetSOValue(so, KroCfgSOStrings::INTERVAL_START, start);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to extract the start SpecObject for this interval.");
    return KroTraceReturns(trace, hr);
  }
  if (!start) {
    KRO_TRACE_LINE(trace, "The start SpecObject is NULL. Returning S_FALSE.");
    return KroTraceReturns(trace, S_FALSE);
  }
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOInterval::getEnd(KroISpecObject_var& end) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOInterval::getEnd");
  end = nullptr;
  boolean infinite = 0;
  isInfinite(infinite);
  HRESULT hr = S_OK;
  if (infinite) {
    KRO_TRACE_LINE(trace, "The interval is infinite. No SpecObject to return.");
  } else {
    KroISpecObject_var so = const_cast<KroCfgSOInterval*>(this);
    hr = KroCfgSOServices::GetSOValue(so, KroCfgSOStrings::INTERVAL_END, end);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to extract the end SpecObject for this interval.");
      return KroTraceReturns(trace, hr);
    }
  }
  if (!end) {
    KRO_TRACE_LINE(trace, "The end SpecObject is NULL. Returning S_FALSE.");
    return KroTraceReturns(trace, S_FALSE);
  }
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOInterval::setStart(const KroISpecObject_var& start) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOInterval::setStart");
  KroISpecObject_var so = this;
  HRESULT hr;
  if (start) {
    KRO_TRACE_LINE(trace, "The input SpecObject is not NULL. Setting is as the start value.");
    hr = KroCfgSOServices::SetSOValue(so, KroCfgSOStrings::INTERVAL_START, start);
    if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set the start SpecObject for this interval.");
  } else {
    KRO_TRACE_LINE(trace, "The input SpecObject is NULL. Clearing the start value.");
    hr = KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::INTERVAL_START);
    if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to clear the start SpecObject for this interval.");
  }
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOInterval::setEnd(const KroISpecObject_var& end) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOInterval::setEnd");
  KroISpecObject_var so = this;
  HRESULT hr;
  // The flag follows the end bound; it is written here directly, not through setInfinite, so that
  // each attribute is written once.
  if (end) {
    KRO_TRACE_LINE(trace, "The input SpecObject is not NULL. Setting is as the end value.");
    hr = KroCfgSOServices::SetSOValue(so, KroCfgSOStrings::INTERVAL_END, end);
    if (SUCCEEDED(hr))
      KroCfgSOServices::SetBooleanValue(so, KroCfgSOStrings::INTERVAL_IS_INFINITE, 0);
    else
      KRO_TRACE_LINE(trace, "Unable to set the end SpecObject for this interval.");
  } else {
    KRO_TRACE_LINE(trace, "The input SpecObject is NULL. Clearing the end value.");
    hr = KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::INTERVAL_END);
    if (SUCCEEDED(hr))
      KroCfgSOServices::SetBooleanValue(so, KroCfgSOStrings::INTERVAL_IS_INFINITE, 1);
    else
      KRO_TRACE_LINE(trace, "Unable to clear the end SpecObject for this interval.");
  }
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOInterval::isInfinite(boolean& infinite) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOInterval::isInfinite");
  infinite = 0;
  KroISpecObject_var so = const_cast<KroCfgSOInterval*>(this);
  HRESULT hr = KroCfgSOServices::GetBooleanValue(so, KroCfgSOStrings::INTERVAL_IS_INFINITE, infinite);
  if (FAILED(hr))
    KRO_TRACE_LINE(trace, "Unable to extract the isInfinite flag.");
  else
    KRO_TRACE_LINE(trace, (infinite ? "isInfinite flag is set to TRUE." : "isInfinite flag is set to FALSE."));
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOInterval::setInfinite(const boolean& infinite) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOInterval::setInfinite");
  KRO_TRACE_LINE(trace, (infinite ? "Setting the isInfinite flag to TRUE." : "Setting the isInfinite flag to FALSE."));
  KroISpecObject_var so = this;
  HRESULT hr = KroCfgSOServices::SetBooleanValue(so, KroCfgSOStrings::INTERVAL_IS_INFINITE, infinite ? 1 : 0);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to set the isInfinite flag.");
  } else if (infinite) {
    // An infinite interval has no end bound. FALSE leaves the end as it is.
    KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::INTERVAL_END);
  }
  return KroTraceReturns(trace, hr);
}
