#include "KroCfgBaseStreamer.h"

#include "KroCfgSODate.h"
#include "KroCfgSOFactory.h"
#include "KroCfgStreamerFrame.h"

// ---- Name constants ----------------------------------------------------------------------------------

#define KRO_CFG_STREAMER_DEFINE(name, text) KRO_NAMES_CONSTINIT KroUnicodeString KroCfgBaseStreamer::name KRO_NAMES_PRIORITY;
KRO_CFG_STREAMER_NAMES(KRO_CFG_STREAMER_DEFINE)
#undef KRO_CFG_STREAMER_DEFINE

namespace {

namespace counters {
#define KRO_CFG_STREAMER_COUNTER(name, text) constinit int name = 0;
KRO_CFG_STREAMER_NAMES(KRO_CFG_STREAMER_COUNTER)
#undef KRO_CFG_STREAMER_COUNTER
}  // namespace counters

constexpr KroNameConstant kNames[] = {
#define KRO_CFG_STREAMER_ENTRY(name, text) {&KroCfgBaseStreamer::name, text, &counters::name},
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

using namespace KroCfgStreamerFrame;

// ---- Base objects and time -----------------------------------------------------------------------------

HRESULT KroCfgBaseStreamer::BaseObjectToSpecObject(const NlsBaseObject& in, KroISpecObject_var& out) {
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

HRESULT KroCfgBaseStreamer::BaseObjectFromSpecObject(const KroISpecObject_var& in, NlsBaseObject& out) {
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

HRESULT KroCfgBaseStreamer::BaseObjectSeqToSpecObjectList(const _IDL_SEQUENCE_NlsBaseObject& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "BaseObjectSeqToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_BO_LST, "CfgSOlstBaseObjectInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstBO = AttributeOf(out, so_tofrom_bo_lst);
  KRO_STREAMER_ASSERT(plstBO);
  return Returns(AppendChildren(plstBO, in, hr, "Nb de BaseObject = ", "BaseObjectSeqToSpecObjectList element ",
                                KRO_ELEMENT_OP(BaseObjectToSpecObject)));
}

HRESULT KroCfgBaseStreamer::BaseObjectSeqFromSpecObjectList(const KroISpecObject_var& in,
                                                        _IDL_SEQUENCE_NlsBaseObject& out) {
  KroDmxTraceStep step(Trace(), "BaseObjectSeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_bo_lst, out,
                                  "Nb de SpecObject = ", "BaseObjectSeqFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(BaseObjectFromSpecObject)));
}

HRESULT KroCfgBaseStreamer::BaseObjectToSpecObject(const BaseObject& in, KroISpecObject_var& out) {
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

HRESULT KroCfgBaseStreamer::BaseObjectFromSpecObject(const KroISpecObject_var& in, BaseObject& out) {
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

HRESULT KroCfgBaseStreamer::KroTimeToSpecObject(const KroTime& in, KroISpecObject_var& out) {
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

HRESULT KroCfgBaseStreamer::KroTimeFromSpecObject(const KroISpecObject_var& in, KroTime& out) {
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

void KroCfgBaseStreamer::PrintUid(SEQUENCE_octet uid) {
  KroDmxTrace& trace = Trace();
  if (!trace.IsActive()) return;
  KroDmxTraceStep step(trace, " ");
  trace << "Size: byte(" << static_cast<int>(uid.length()) << ")" << KroDmxTrace_nl;
  trace << "Uid :" << KroDmxTrace_nl;
  for (unsigned char octet : uid) trace << static_cast<int>(octet);
  trace << KroDmxTrace_nl;
}
