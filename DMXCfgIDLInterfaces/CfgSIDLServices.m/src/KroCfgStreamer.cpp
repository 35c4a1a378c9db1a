// KroCfgStreamer: its names, the frame that every operation shares (trace, instantiation, the checked
// attribute lookup and the assertions), base objects and time. The other operations are defined by
// subject in KroCfgStreamerValues.cpp, KroCfgStreamerChanges.cpp and KroCfgStreamerEffectivities.cpp.
#include "KroCfgStreamer.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "KroCfgSODate.h"
#include "KroCfgSOFactory.h"
#include "KroCfgStreamerFrame.h"
#include "KroPlatformServices.h"
#include "KroStartUps.h"

// ---- Name constants ----------------------------------------------------------------------------------

#define KRO_CFG_STREAMER_DEFINE(name, text) KRO_NAMES_CONSTINIT KroUnicodeString KroCfgStreamer::name KRO_NAMES_PRIORITY;
KRO_CFG_STREAMER_NAMES(KRO_CFG_STREAMER_DEFINE)
#undef KRO_CFG_STREAMER_DEFINE

namespace {

namespace counters {
#define KRO_CFG_STREAMER_COUNTER(name, text) constinit int name = 0;
KRO_CFG_STREAMER_NAMES(KRO_CFG_STREAMER_COUNTER)
#undef KRO_CFG_STREAMER_COUNTER
}  // namespace counters

constexpr KroNameConstant kNames[] = {
#define KRO_CFG_STREAMER_ENTRY(name, text) {&KroCfgStreamer::name, text, &counters::name},
    KRO_CFG_STREAMER_NAMES(KRO_CFG_STREAMER_ENTRY)
#undef KRO_CFG_STREAMER_ENTRY
};

// After the constants, at their priority: before the library's other static initialisers, so that
// they may read the names.
struct NamesInitialiser {
  NamesInitialiser() { KroBuildNameConstants(kNames); }
};
NamesInitialiser s_names KRO_NAMES_PRIORITY;

}  // namespace

// ---- The frame ------------------------------------------------------------------------------------------

namespace {

KRO_LIBRARY_TRACE(s_trace, "KroCfgStreamer");

// Every assertion of the streamer stands in this file and reports this path with its own line here.
const char* const kSourcePath = "DMXCfgIDLInterfaces/CfgSIDLServices.m/src/KroCfgStreamer";

[[noreturn]] void AssertionFailed(const char* condition, int line) {
  KroFatalError((std::string("AssertionFailed:") + condition).c_str(), 0, 0, 0, kSourcePath, line);
}

#define KRO_STREAMER_ASSERT(condition) \
  do {                                 \
    if (!(condition)) AssertionFailed(#condition, __LINE__); \
  } while (0)

}  // namespace

namespace KroCfgStreamerFrame {

KroDmxTrace& Trace() { return s_trace.get(); }

KroISpecAttribute_var RequiredAttribute(const KroISpecObject_var& so, const KroUnicodeString& name, const char* handle) {
  KroISpecAttribute_var attribute = AttributeOf(so, name);
  if (!attribute) AssertionFailed(handle, __LINE__);
  return attribute;
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

using namespace KroCfgStreamerFrame;

// ---- Base objects and time -----------------------------------------------------------------------------

HRESULT KroCfgStreamer::BaseObjectToSpecObject(const NlsBaseObject& in, KroISpecObject_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "BaseObjectToSpecObject");
  HRESULT hr = Instantiate(STARTUP_BO, "CfgSOBaseObjectInst", out);
  if (FAILED(hr)) return Returns(hr);

  KroUnicodeString name = ToString(in.name);
  KRO_TRACE_LINE(trace, "Set String name :" << name);
  KroCfgSOServices::SetStringValue(out, so_tofrom_bo_name, name);
  KroUnicodeString type = ToString(in.type);
  KRO_TRACE_LINE(trace, "Set String type :" << type);
  KroCfgSOServices::SetStringValue(out, so_tofrom_bo_type, type);
  KroUnicodeString info = ToString(in.info);
  KRO_TRACE_LINE(trace, "Set String info :" << info);
  KroCfgSOServices::SetStringValue(out, so_tofrom_bo_info, info);

  SEQUENCE_octet uid = DMX_OrbixConvert::convertOrbixOctSeqToSEQOct(in.uid);
  KRO_TRACE_LINE(trace, "Set ByteArray uid : ");
  KroCfgSOServices::SetByteArrayValue(out, so_tofrom_bo_uid, uid);
  PrintUid(uid);
  return Returns(hr);
}

HRESULT KroCfgStreamer::BaseObjectFromSpecObject(const KroISpecObject_var& in, NlsBaseObject& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "BaseObjectFromSpecObject");
  if (!in) return Returns(S_OK);

  KroUnicodeString name = ReadString(in, so_tofrom_bo_name);
  KRO_TRACE_LINE(trace, "Get String name :" << name);
  FromString(name, out.name);
  KroUnicodeString type = ReadString(in, so_tofrom_bo_type);
  KRO_TRACE_LINE(trace, "Get String type :" << type);
  FromString(type, out.type);
  KroUnicodeString info = ReadString(in, so_tofrom_bo_info);
  KRO_TRACE_LINE(trace, "Get String info :" << info);
  FromString(info, out.info);

  SEQUENCE_octet uid;
  KroCfgSOServices::GetByteArrayValue(in, so_tofrom_bo_uid, uid);
  KRO_TRACE_LINE(trace, "Get ByteArray uid :");
  out.uid = DMX_OrbixConvert::convertSEQOctToOrbixOctSeq(uid);
  PrintUid(uid);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::BaseObjectSeqToSpecObjectList(const _IDL_SEQUENCE_NlsBaseObject& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "BaseObjectSeqToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_BO_LST, "CfgSOlstBaseObjectInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstBO = RequiredAttribute(out, so_tofrom_bo_lst, "plstBO");
  return Returns(AppendChildren(plstBO, in, hr, "Nb de BaseObject = ", "BaseObjectSeqToSpecObjectList element ",
                                KRO_ELEMENT_OP(BaseObjectToSpecObject)));
}

HRESULT KroCfgStreamer::BaseObjectSeqFromSpecObjectList(const KroISpecObject_var& in,
                                                        _IDL_SEQUENCE_NlsBaseObject& out) {
  KroDmxTraceStep step(Trace(), "BaseObjectSeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_bo_lst, out,
                                  "Nb de SpecObject = ", "BaseObjectSeqFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(BaseObjectFromSpecObject)));
}

HRESULT KroCfgStreamer::BaseObjectToSpecObject(const BaseObject& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "BaseObjectToSpecObject");
  HRESULT hr = Instantiate(STARTUP_BO, "CfgSOBaseObjectInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroCfgSOServices::SetStringValue(out, so_tofrom_bo_name, KroUnicodeString(in.name.in()));
  KroCfgSOServices::SetStringValue(out, so_tofrom_bo_type, KroUnicodeString(in.type.in()));
  KroCfgSOServices::SetStringValue(out, so_tofrom_bo_info, KroUnicodeString(in.info.in()));
  SEQUENCE_octet uid = DMX_OrbixConvert::convertOrbixOctSeqToSEQOct(in.uid);
  KroCfgSOServices::SetByteArrayValue(out, so_tofrom_bo_uid, uid);
  PrintUid(uid);
  return Returns(hr);
}

HRESULT KroCfgStreamer::BaseObjectFromSpecObject(const KroISpecObject_var& in, BaseObject& out) {
  KroDmxTraceStep step(Trace(), "BaseObjectFromSpecObject");
  if (!in) return Returns(S_OK);
  out.name = ReadString(in, so_tofrom_bo_name).ConvertToChar();
  out.type = ReadString(in, so_tofrom_bo_type).ConvertToChar();
  out.info = ReadString(in, so_tofrom_bo_info).ConvertToChar();
  SEQUENCE_octet uid;
  KroCfgSOServices::GetByteArrayValue(in, so_tofrom_bo_uid, uid);
  out.uid = DMX_OrbixConvert::convertSEQOctToOrbixOctSeq(uid);
  PrintUid(uid);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::KroTimeToSpecObject(const KroTime& in, KroISpecObject_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroTimeToSpecObject");
  out = nullptr;
  KroICfgSODate_var date;
  HRESULT hr = KroCfgSOFactory::createDate(date);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to create a KroICfgSODate.");
    return Returns(hr);
  }
  hr = date->setKroTime(in);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to set the KroTime into the KroICfgSODate.");
    return Returns(hr);
  }
  out = date;
  if (!out) {
    KRO_TRACE_LINE(trace, "Unable to cast the KroICfgSODate into a KroISpecObject.");
    return Returns(E_FAIL);
  }
  return Returns(hr);
}

HRESULT KroCfgStreamer::KroTimeFromSpecObject(const KroISpecObject_var& in, KroTime& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroTimeFromSpecObject");
  out.Settime_t(0);
  KroICfgSODate_var date = in;
  if (!date) {
    KRO_TRACE_LINE(trace, "The KroISpecObject is not a KroICfgSODate. Nothing to do and returning S_FALSE.");
    return Returns(S_FALSE);
  }
  HRESULT hr = date->getKroTime(out);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to get the KroTime from the KroICfgSODate.");
  return Returns(hr);
}

void KroCfgStreamer::PrintUid(SEQUENCE_octet uid) {
  KroDmxTrace& trace = Trace();
  if (!trace.IsActive()) return;
  KroDmxTraceStep step(trace, " ");
  trace << "Size: byte(" << static_cast<int>(uid.length()) << ")" << KroDmxTrace_nl;
  trace << "Uid :" << KroDmxTrace_nl;
  for (unsigned char octet : uid) trace << static_cast<int>(octet);
  trace << KroDmxTrace_nl;
}
