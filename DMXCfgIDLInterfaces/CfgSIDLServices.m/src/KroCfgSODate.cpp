#include "KroCfgSODate.h"

#include <cstdint>
#include <limits>

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSODateKroCfgSODate.h"

KRO_DISPATCH_DEFINE(KroICfgSODate, KroICfgSODate_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSODate, KroBaseUnknown, "CfgSODate", KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

const char* const kDateFormat = "%Y - %B - %d";

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSODate, KroICfgSODate, TIEKroICfgSODateKroCfgSODate);

const char* const KroCfgSODate::OutOfRangeMessage =
    "The date is outside 1901-12-13 .. 2038-01-19, the range of its signed 32-bit second count: nothing is written.";

bool KroCfgSODate::IsStorable(const KroTime& time) {
  return time.Gettime_t() >= std::numeric_limits<std::int32_t>::min() &&
         time.Gettime_t() <= std::numeric_limits<std::int32_t>::max();
}

HRESULT KroCfgSODate::getKroTime(KroTime& time) const {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSODate::getKroTime");
  time.Settime_t(0);
  int seconds = 0;
  KroISpecObject_var so = const_cast<KroCfgSODate*>(this);
  HRESULT hr = KroCfgSOServices::GetIntegerValue(so, KroCfgSOStrings::DATE_SEC, seconds);
  // Whatever the read gave: a failed read leaves the epoch.
  time.Settime_t(seconds);
  KRO_TRACE_LINE(trace, "Setting time_t: " << static_cast<long>(seconds) << " - " << seconds);
  KRO_TRACE_LINE(trace, "Returned date: " << time.ConvertToString(kDateFormat, 0));
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSODate::setKroTime(const KroTime& time) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "KroCfgSODate::setKroTime");
  KRO_TRACE_LINE(trace, "Input date: " << time.ConvertToString(kDateFormat, 0));
  // Stored as a signed 32-bit second count; narrowing another date would store a different one.
  if (!IsStorable(time)) {
    KRO_TRACE_LINE(trace, OutOfRangeMessage);
    return KroTraceReturns(trace, E_INVALIDARG);
  }
  int seconds = static_cast<int>(time.Gettime_t());
  KRO_TRACE_LINE(trace, "Setting time_t: " << static_cast<long>(time.Gettime_t()));
  KroISpecObject_var so = this;
  HRESULT hr = KroCfgSOServices::SetIntegerValue(so, KroCfgSOStrings::DATE_SEC, seconds);
  return KroTraceReturns(trace, hr);
}
