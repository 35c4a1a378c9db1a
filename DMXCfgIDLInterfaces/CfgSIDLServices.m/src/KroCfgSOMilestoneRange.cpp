#include "KroCfgSOMilestoneRange.h"

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOMilestoneRangeKroCfgSOMilestoneRange.h"

KRO_DISPATCH_DEFINE(KroICfgSOMilestoneRange, KroICfgSOMilestoneRange_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOMilestoneRange, KroBaseUnknown, "CfgSOMilestoneRange",
                              KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOMilestoneRange, KroICfgSOMilestoneRange, TIEKroICfgSOMilestoneRangeKroCfgSOMilestoneRange);

HRESULT KroCfgSOMilestoneRange::setValue(const int& value) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOMilestoneRange::setValue");
  KRO_TRACE_LINE(trace, "Range to be set: " << value);
  KroISpecObject_var so = this;
  HRESULT hr = KroCfgSOServices::SetIntegerValue(so, KroCfgSOStrings::MILESTONES_RANG, value);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set the Milestone value.");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOMilestoneRange::getValue(int& value) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOMilestoneRange::getValue");
  // No reset: after a failed read the caller's integer keeps what it held.
  KroISpecObject_var so = const_cast<KroCfgSOMilestoneRange*>(this);
  HRESULT hr = KroCfgSOServices::GetIntegerValue(so, KroCfgSOStrings::MILESTONES_RANG, value);
  if (FAILED(hr))
    KRO_TRACE_LINE(trace, "Unable to get the Milestone value.");
  else
    KRO_TRACE_LINE(trace, "Range extracted: " << value);
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOMilestoneRange::setData(const KroUnicodeString& name, const KroICfgValue_var& value) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOMilestoneRange::setData");
  // A missing value is no rank either.
  if (!value || value->getType() != KroICfgValue::Range) {
    KRO_TRACE_LINE(trace, "The value type is not Range. Error.");
    return KroTraceReturns(trace, E_FAIL);
  }
  HRESULT hr = setName(name);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to set the Milestone name.");
    return KroTraceReturns(trace, hr);
  }
  int rank = 0;
  value->getRangeValue(rank);
  hr = setValue(rank);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set the Milestone value.");
  return KroTraceReturns(trace, hr);
}
