#include "KroCfgStreamerFrame.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "KroCfgSODate.h"
#include "KroCfgSOFactory.h"
#include "KroPlatformServices.h"
#include "KroStartUps.h"

namespace {

KRO_LIBRARY_TRACE(s_trace, "KroCfgStreamer");

const char* const kSourcePath = "DMXCfgIDLInterfaces/CfgSIDLServices.m/src/KroCfgStreamer";

}  // namespace

namespace KroCfgStreamerFrame {

KroDmxTrace& Trace() { return s_trace.get(); }

void AssertionFailed(const char* condition, int line) {
  KroFatalError((std::string("AssertionFailed:") + condition).c_str(), 0, 0, 0, kSourcePath, line);
}

HRESULT Instantiate(const KroUnicodeString& startup, const char* instanceName, KroISpecObject_var& out_SO) {
  KroIContainer_var container;
  HRESULT hr = KroCfgSOFactory::getContainer(container);
  if (FAILED(hr)) return hr;
  void* queried = nullptr;
  hr = container->QueryInterface(IID_KroIContainer, &queried);
  if (FAILED(hr)) return hr;
  KroIContainer* piSUContainer = static_cast<KroIContainer*>(queried);
  KRO_STREAMER_ASSERT(piSUContainer);
  KroIContainer_var suContainer = KroIContainer_var::Adopt(piSUContainer);

  // The startup name doubles as its type. A missing startup raises the null-handle error below.
  KroBaseUnknown* found = FindStartUp("KroISpecObject", startup, startup, suContainer);
  KroISpecObject_var startupSO = found;
  if (found) found->Release();
  out_SO = KroISpecObject_var::Adopt(startupSO->Instanciate(instanceName, suContainer, 0));
  KRO_STREAMER_ASSERT(!!out_SO);
  return hr;
}

KroISpecAttribute_var AttributeOf(const KroISpecObject_var& so, const KroUnicodeString& name) {
  return KroISpecAttribute_var::Adopt(so->GetAttribute(name));
}

KroUnicodeString ToString(const NlsString& in) {
  KroUnicodeString out;
  KroCorbaNlsServices::convertCorbaStringToString(in, &out);
  return out;
}

void FromString(const KroUnicodeString& in, NlsString& out) {
  KroCorbaNlsServices::convertStringToCorbaString(in, &out);
}

KroUnicodeString ReadString(const KroISpecObject_var& so, const KroUnicodeString& name) {
  KroUnicodeString value;
  KroCfgSOServices::GetStringValue(so, name, value);
  return value;
}

KroISpecObject_var ReadChild(const KroISpecObject_var& so, const KroUnicodeString& name) {
  KroISpecObject_var child;
  KroCfgSOServices::GetSOValue(so, name, child);
  return child;
}

KroTime ToKroTime(const DMX_OrbixTypes::DateCorba& date) {
  return KroTime(date.year, date.month, date.day, date.hour, date.minute, date.second);
}

bool StorableDates(KroDmxTrace& trace, std::initializer_list<KroTime> times) {
  for (const KroTime& time : times)
    if (!KroCfgSODate::IsStorable(time)) {
      KRO_TRACE_LINE(trace, KroCfgSODate::OutOfRangeMessage);
      return false;
    }
  return true;
}

CORBA::Long Truncate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<CORBA::Long>::max()))
    return std::numeric_limits<CORBA::Long>::max();
  if (value <= static_cast<double>(std::numeric_limits<CORBA::Long>::min()))
    return std::numeric_limits<CORBA::Long>::min();
  return static_cast<CORBA::Long>(value);
}

CORBA::Short LowSixteenBits(int value) {
  return static_cast<CORBA::Short>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
}

}  // namespace KroCfgStreamerFrame
