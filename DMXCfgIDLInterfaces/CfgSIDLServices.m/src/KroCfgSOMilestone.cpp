#include "KroCfgSOMilestone.h"

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

}  // namespace

HRESULT KroCfgSOMilestone::setName(const KroUnicodeString& name) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOMilestone::setName");
  KRO_TRACE_LINE(trace, "Milestone name to be set: " << name);
  KroISpecObject_var so = this;
  HRESULT hr = KroCfgSOServices::SetStringValue(so, KroCfgSOStrings::MILESTONES_NAME, name);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set the Milestone name.");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOMilestone::getName(KroUnicodeString& name) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOMilestone::getName");
  name = KroUnicodeString();
  KroISpecObject_var so = const_cast<KroCfgSOMilestone*>(this);
  HRESULT hr = KroCfgSOServices::GetStringValue(so, KroCfgSOStrings::MILESTONES_NAME, name);
  if (FAILED(hr))
    KRO_TRACE_LINE(trace, "Unable to get the Milestone name.");
  else
    KRO_TRACE_LINE(trace, "Milestone name extracted: " << name);
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOMilestone::setMilestone(const KroICfgMileStone_var& milestone) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOMilestone::setMilestone");
  KroISpecObject_var so = this;
  if (!milestone) {
    KRO_TRACE_LINE(trace, "The input Milestone is NULL. Clearing the SpecObject attributes.");
    // Both kinds clear the date; on a range milestone that clearing finds no attribute and does nothing.
    KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::MILESTONES_NAME);
    KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::MILESTONES_DATE);
    return KroTraceReturns(trace, S_FALSE);
  }
  KroUnicodeString name;
  HRESULT hr = milestone->getName(name);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to extract the Milestone name.");
    return KroTraceReturns(trace, hr);
  }
  KRO_TRACE_LINE(trace, "Milestone name: " << name);
  KroICfgValue_var value;
  hr = milestone->getValue(value);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to extract the Milestone value.");
    return KroTraceReturns(trace, hr);
  }
  hr = setData(name, value);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set the data into the SpecObject.");
  return KroTraceReturns(trace, hr);
}
