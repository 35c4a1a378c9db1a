#include "KroCfgSOMilestoneDate.h"

#include "KroCfgSODate.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOMilestoneDateKroCfgSOMilestoneDate.h"

KRO_DISPATCH_DEFINE(KroICfgSOMilestoneDate, KroICfgSOMilestoneDate_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOMilestoneDate, KroBaseUnknown, "CfgSOMilestoneDate",
                              KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

const char* const kDateFormat = "%Y - %B - %d";

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOMilestoneDate, KroICfgSOMilestoneDate, TIEKroICfgSOMilestoneDateKroCfgSOMilestoneDate);

HRESULT KroCfgSOMilestoneDate::setValue(const KroTime& value) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOMilestoneDate::setValue");
  KRO_TRACE_LINE(trace, "Date to be set: " << value.ConvertToString(kDateFormat, 0));
  if (!KroCfgSODate::IsStorable(value)) {
    KRO_TRACE_LINE(trace, KroCfgSODate::OutOfRangeMessage);
    return KroTraceReturns(trace, E_INVALIDARG);
  }
  // Always a fresh date: the one held before is only replaced in the attribute.
  KroICfgSODate_var date;
  HRESULT hr = KroCfgSOFactory::createDate(date);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to create a KroICfgSODate.");
    return KroTraceReturns(trace, hr);
  }
  hr = date->setKroTime(value);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to set the Date into the KroICfgSODate.");
    return KroTraceReturns(trace, hr);
  }
  KroISpecObject_var so = this;
  hr = KroCfgSOServices::SetSOValue(so, KroCfgSOStrings::MILESTONES_DATE, KroISpecObject_var(date));
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set the Milestone value.");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOMilestoneDate::getValue(KroTime& value) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOMilestoneDate::getValue");
  value.Settime_t(0);
  KroISpecObject_var so = const_cast<KroCfgSOMilestoneDate*>(this);
  KroISpecObject_var held;
  HRESULT hr = KroCfgSOServices::GetSOValue(so, KroCfgSOStrings::MILESTONES_DATE, held);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the Milestone value.");
    return KroTraceReturns(trace, hr);
  }
  KroICfgSODate_var date = held;
  if (!date) {
    KRO_TRACE_LINE(trace, "The value in the Milestone is not a KroICfgSODate.");
    return KroTraceReturns(trace, E_FAIL);
  }
  hr = date->getKroTime(value);
  if (FAILED(hr))
    KRO_TRACE_LINE(trace, "Unable to extract the Date from the KroICfgSODate.");
  else
    KRO_TRACE_LINE(trace, "Date extracted: " << value.ConvertToString(kDateFormat, 0));
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOMilestoneDate::setData(const KroUnicodeString& name, const KroICfgValue_var& value) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSOMilestoneDate::setData");
  // A missing value is no date either.
  if (!value || value->getType() != KroICfgValue::Date) {
    KRO_TRACE_LINE(trace, "The value type is not Date. Error.");
    return KroTraceReturns(trace, E_FAIL);
  }
  KRO_TRACE_LINE(trace, "The value tyep is Date as expected.");
  KroTime date;
  value->getDateValue(date);
  // Checked before the name is written, so that a refused date leaves the milestone as it was.
  if (!KroCfgSODate::IsStorable(date)) {
    KRO_TRACE_LINE(trace, KroCfgSODate::OutOfRangeMessage);
    return KroTraceReturns(trace, E_INVALIDARG);
  }
  HRESULT hr = setName(name);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to set the Milestone name.");
    return KroTraceReturns(trace, hr);
  }
  hr = setValue(date);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to set the Milestone value.");
  return KroTraceReturns(trace, hr);
}
