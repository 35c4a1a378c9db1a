#include "KroCfgStreamer.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "DMX_ConfigServices.h"
#include "KroCfgSODate.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOFramework.h"
#include "KroCfgSOServices.h"
#include "KroPlatformServices.h"
#include "KroSpecModeler.h"

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

// ---- Frame ---------------------------------------------------------------------------------------------

namespace {

using S = KroCfgStreamer;

KRO_LIBRARY_TRACE(s_trace, "KroCfgStreamer");

KroDmxTrace& Trace() { return s_trace.get(); }

const char* const kSourcePath = "DMXCfgIDLInterfaces/CfgSIDLServices.m/src/KroCfgStreamer";

// Invariants that depend only on the catalog: a broken catalog ends the process.
#define KRO_STREAMER_ASSERT(condition)                                                              \
  do {                                                                                              \
    if (!(condition)) KroFatalError("AssertionFailed:" #condition, 0, 0, 0, kSourcePath, __LINE__); \
  } while (0)

HRESULT Returns(HRESULT hr) {
  return KroTraceReturns(Trace(), hr);
}

// The instantiation steps: a new instance of the startup in the factory's container, in out_SO.
// A failure of the container or of its query is returned with out_SO untouched.
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

// The attribute handle of a name, null when the instance has no such attribute.
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

// A date that its date spec object cannot hold is refused before anything is instantiated.
bool StorableDates(KroDmxTrace& trace, std::initializer_list<KroTime> times) {
  for (const KroTime& time : times)
    if (!KroCfgSODate::IsStorable(time)) {
      KRO_TRACE_LINE(trace, KroCfgSODate::OutOfRangeMessage);
      return false;
    }
  return true;
}

// Toward zero. NaN reads as 0, and values past the 32-bit range saturate instead of overflowing.
CORBA::Long Truncate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<CORBA::Long>::max()))
    return std::numeric_limits<CORBA::Long>::max();
  if (value <= static_cast<double>(std::numeric_limits<CORBA::Long>::min()))
    return std::numeric_limits<CORBA::Long>::min();
  return static_cast<CORBA::Long>(value);
}

// The low 16 bits of a stored integer, as a signed short.
CORBA::Short LowSixteenBits(int value) {
  return static_cast<CORBA::Short>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
}

// The sequence-to-list loop: one child per element, appended in order. The first failing element
// stops it with the children so far kept; hr is the result when the sequence is empty.
template <class Sequence, class ElementOp>
HRESULT AppendChildren(const KroISpecAttribute_var& list, const Sequence& in, HRESULT hr, const char* countMessage,
                       const char* elementMessage, ElementOp elementOp) {
  KroDmxTrace& trace = Trace();
  const int n = static_cast<int>(in.length());
  KRO_TRACE_LINE(trace, countMessage << n);
  for (int i = 0; i < n; ++i) {
    KRO_TRACE_LINE(trace, elementMessage << i);
    KroISpecObject_var child;
    hr = elementOp(in[static_cast<CORBA::ULong>(i)], child);
    if (FAILED(hr)) return hr;
    list->AppendSpecObject(child);
  }
  return hr;
}

// The list-to-sequence loop. An empty list leaves the sequence's length as it was; otherwise the
// length becomes the list's and the first failing element stops the loop.
template <class Sequence, class ElementOp>
HRESULT FillFromChildren(const KroISpecObject_var& in, const KroUnicodeString& listName, Sequence& out,
                         const char* countMessage, const char* elementMessage, ElementOp elementOp) {
  if (!in) return S_OK;
  KroDmxTrace& trace = Trace();
  KroListValKroISpecObject_var children;
  KroCfgSOServices::GetListSOValue(in, listName, children);
  const int n = children.Size();
  KRO_TRACE_LINE(trace, countMessage << n);
  if (n == 0) return S_OK;
  out.length(static_cast<CORBA::ULong>(n));
  HRESULT hr = S_OK;
  for (int i = 1; i <= n; ++i) {
    KRO_TRACE_LINE(trace, elementMessage << i);
    hr = elementOp(children[i], out[static_cast<CORBA::ULong>(i - 1)]);
    if (FAILED(hr)) return hr;
  }
  return hr;
}

// Element operations, as plain callables for the loops above.
#define KRO_ELEMENT_OP(function) [](const auto& element, auto& result) { return S::function(element, result); }

}  // namespace

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
  KroISpecAttribute_var plstBO = AttributeOf(out, so_tofrom_bo_lst);
  KRO_STREAMER_ASSERT(plstBO);
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

// ---- Normal values and effectivity values --------------------------------------------------------------

HRESULT KroCfgStreamer::NormalValueToSpecObject(const DMX_Config::NlsNormalValue& in, KroISpecObject_var& out) {
  // This operation writes no returns line.
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "NormalValueToSpecObject");
  if (in.optionalDate.length() == 1 &&
      !StorableDates(trace, {ToKroTime(in.optionalDate[0].start), ToKroTime(in.optionalDate[0].end)}))
    return E_INVALIDARG;
  HRESULT hr = Instantiate(STARTUP_NV, "CfgSONormalValueInst", out);
  if (FAILED(hr)) return hr;
  KroISpecAttribute_var plstRange = AttributeOf(out, so_tofrom_nv_lst_range);
  KRO_STREAMER_ASSERT(plstRange);
  KroISpecAttribute_var plstDate = AttributeOf(out, so_tofrom_nv_lst_date);
  KRO_STREAMER_ASSERT(plstDate);
  KroISpecAttribute_var plstSpec = AttributeOf(out, so_tofrom_nv_lst_spec);
  KRO_STREAMER_ASSERT(plstSpec);
  KroISpecAttribute_var plstMls = AttributeOf(out, so_tofrom_nv_lst_milestone_name);
  KRO_STREAMER_ASSERT(plstMls);

  KRO_TRACE_LINE(trace, "-- OptionalDate or OptionalRange or OptionalSpec --");
  if (in.optionalDate.length() == 1) {
    KRO_TRACE_LINE(trace, "Set Value: -- OptionalDate --");
    const DMX_ConfigTypes::DateValue& date = in.optionalDate[0];
    KroISpecObject_var start, end;
    hr = KroTimeToSpecObject(ToKroTime(date.start), start);
    if (FAILED(hr)) return hr;
    hr = KroTimeToSpecObject(ToKroTime(date.end), end);
    if (FAILED(hr)) return hr;
    plstDate->AppendSpecObject(start);
    plstDate->AppendSpecObject(end);
  }
  if (in.optionalRange.length() == 1) {
    KRO_TRACE_LINE(trace, "Set Value: -- OptionalRange --");
    const DMX_ConfigTypes::RangeValue& range = in.optionalRange[0];
    plstRange->AppendInteger(range.start);
    plstRange->AppendInteger(range.end);
    KRO_TRACE_LINE(trace, "Range[ " << range.start << " , " << range.end << " ]");
  }
  if (in.optionalSpec.length() == 1) {
    KRO_TRACE_LINE(trace, "Set Value: -- OptionalSpec --");
    KroUnicodeString spec = ToString(in.optionalSpec[0]);
    plstSpec->AppendString(spec);
    KRO_TRACE_LINE(trace, "Spec :" << spec);
  }
  KRO_TRACE_LINE(trace, "Set Value: -- MilestoneName --");
  KroUnicodeString startName = ToString(in.mlsStartName);
  plstMls->AppendString(startName);
  KRO_TRACE_LINE(trace, "MlsStartName :" << startName);
  KroUnicodeString endName = ToString(in.mlsEndName);
  plstMls->AppendString(endName);
  KRO_TRACE_LINE(trace, "MlsEndName :" << endName);
  return hr;
}

HRESULT KroCfgStreamer::NormalValueFromSpecObject(const KroISpecObject_var& in, DMX_Config::NlsNormalValue& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "NormalValueFromSpecObject");
  if (!in) return Returns(S_OK);
  KroRawCollint ranges;
  KroCfgSOServices::GetListIntegerValue(in, so_tofrom_nv_lst_range, ranges);
  KroListValKroISpecObject_var dates;
  KroCfgSOServices::GetListSOValue(in, so_tofrom_nv_lst_date, dates);
  KroListValKroUnicodeString specs;
  KroCfgSOServices::GetListStringValue(in, so_tofrom_nv_lst_spec, specs);
  KroListValKroUnicodeString milestones;
  KroCfgSOServices::GetListStringValue(in, so_tofrom_nv_lst_milestone_name, milestones);

  KRO_TRACE_LINE(trace, "-- OptionalDate or OptionalRange or OptionalSpec --");
  if (ranges.Size() == 2) {
    out.optionalRange.length(1);
    out.optionalRange[0].start = ranges[1];
    out.optionalRange[0].end = ranges[2];
    KRO_TRACE_LINE(trace, "Get Value: -- optionRange --");
    KRO_TRACE_LINE(trace, "Range[ " << ranges[1] << " , " << ranges[2] << " ]");
  } else {
    out.optionalRange.length(0);
  }
  if (dates.Size() == 2) {
    KRO_TRACE_LINE(trace, "Get Value: -- optionDate --");
    KroTime start, end;
    KroTimeFromSpecObject(dates[1], start);
    KroTimeFromSpecObject(dates[2], end);
    out.optionalDate.length(1);
    out.optionalDate[0].start = DMX_ConfigServices::ToDateCorba(start);
    out.optionalDate[0].end = DMX_ConfigServices::ToDateCorba(end);
  } else {
    out.optionalDate.length(0);
  }
  if (specs.Size() == 1) {
    KRO_TRACE_LINE(trace, "Get Value: -- OptionalSpec --");
    out.optionalSpec.length(1);
    FromString(specs[1], out.optionalSpec[0]);
    KRO_TRACE_LINE(trace, "Spec :" << specs[1]);
  } else {
    out.optionalSpec.length(0);
  }
  if (milestones.Size() == 2) {
    FromString(milestones[1], out.mlsStartName);
    FromString(milestones[2], out.mlsEndName);
    KRO_TRACE_LINE(trace, "MlsStartName :" << milestones[1]);
    KRO_TRACE_LINE(trace, "MlsEndName :" << milestones[2]);
  }
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::NormalValueSeqToSpecObjectList(const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValue& in,
                                                       KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "NormalValueSeqToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_NV_LST, "CfgSOlstNormalValueInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstNV = AttributeOf(out, so_tofrom_nv_lst);
  KRO_STREAMER_ASSERT(plstNV);
  return Returns(AppendChildren(plstNV, in, hr, "Nb de NormalValue = ", "NormalValueSeqToSpecObjectList element ",
                                KRO_ELEMENT_OP(NormalValueToSpecObject)));
}

HRESULT KroCfgStreamer::NormalValueSeqFromSpecObjectList(const KroISpecObject_var& in,
                                                         DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValue& out) {
  KroDmxTraceStep step(Trace(), "NormalValueSeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_nv_lst, out,
                                  "Nb de SpecObject = ", "NormalValueSeqFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(NormalValueFromSpecObject)));
}

HRESULT KroCfgStreamer::EffectivityValuesToSpecObjectList(
    const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValueSeq& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "EffectivityValuesToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_EV_LST, "CfgSOlstEffectivityValuesInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstEV = AttributeOf(out, so_tofrom_ev_lst);
  KRO_STREAMER_ASSERT(plstEV);
  return Returns(AppendChildren(plstEV, in, hr,
                                "Nb de EffectivityValues object = ", " -> EffectivityValuesToSpecObjectList element ",
                                KRO_ELEMENT_OP(NormalValueSeqToSpecObjectList)));
}

HRESULT KroCfgStreamer::EffectivityValuesFromSpecObjectList(
    const KroISpecObject_var& in, DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValueSeq& out) {
  KroDmxTraceStep step(Trace(), "EffectivityValuesFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_ev_lst, out, "Nb de SpecObject Effectivity Value = ",
                                  " <- EffectivityValuesFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(NormalValueSeqFromSpecObjectList)));
}

HRESULT KroCfgStreamer::XEffectivityValuesToSpecObject(const DMX_Config::NlsXEffectivityValues& in,
                                                       KroISpecObject_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "XEffectivityValuesToSpecObject");
  HRESULT hr = Instantiate(STARTUP_XEV, "CfgSOXEffectivityValuesInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pXEVDomain = AttributeOf(out, so_tofrom_xev_domain);
  KRO_STREAMER_ASSERT(pXEVDomain);
  KroISpecAttribute_var pXEVInfo = AttributeOf(out, so_tofrom_xev_info);
  KRO_STREAMER_ASSERT(pXEVInfo);
  KroISpecAttribute_var pXEVev = AttributeOf(out, so_tofrom_xev_ev);
  KRO_STREAMER_ASSERT(pXEVev);

  KroUnicodeString domain = ToString(in.domain);
  pXEVDomain->AppendString(domain);
  KRO_TRACE_LINE(trace, "Set String domain :" << domain);
  KroUnicodeString info = ToString(in.info);
  pXEVInfo->AppendString(info);
  KRO_TRACE_LINE(trace, "Set String info :" << info);
  // Not checked: a failed conversion adds whatever it left in the child.
  KroISpecObject_var ev;
  EffectivityValuesToSpecObjectList(in.ev, ev);
  pXEVev->AppendSpecObject(ev);
  KRO_TRACE_LINE(trace, "Set SO EffectivityValues :");
  return Returns(hr);
}

HRESULT KroCfgStreamer::XEffectivityValuesFromSpecObject(const KroISpecObject_var& in,
                                                         DMX_Config::NlsXEffectivityValues& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "XEffectivityValuesFromSpecObject");
  if (!in) return Returns(S_OK);
  KroUnicodeString domain = ReadString(in, so_tofrom_xev_domain);
  FromString(domain, out.domain);
  KRO_TRACE_LINE(trace, "Get String domain :" << domain);
  KroUnicodeString info = ReadString(in, so_tofrom_xev_info);
  FromString(info, out.info);
  KRO_TRACE_LINE(trace, "Get String info :" << info);
  KRO_TRACE_LINE(trace, "Get SO EffectivityValues :");
  EffectivityValuesFromSpecObjectList(ReadChild(in, so_tofrom_xev_ev), out.ev);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::XEffectivityValuesSeqToSpecObjectList(
    const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "XEffectivityValuesSeqToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_XEV_LST, "CfgSOlstXEffectivityValuesInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstXEV = AttributeOf(out, so_tofrom_xev_lst);
  KRO_STREAMER_ASSERT(plstXEV);
  return Returns(AppendChildren(
      plstXEV, in, hr, "Nb de XEffectivityValues object = ", " -> XEffectivityValuesSeqToSpecObjectList element ",
      KRO_ELEMENT_OP(XEffectivityValuesToSpecObject)));
}

HRESULT KroCfgStreamer::XEffectivityValuesSeqFromSpecObjectList(
    const KroISpecObject_var& in, DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues& out) {
  KroDmxTraceStep step(Trace(), "XEffectivityValuesSeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_xev_lst, out,
                                  "Nb de SpecObject XEV = ", " <- XEffectivityValuesSeqFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(XEffectivityValuesFromSpecObject)));
}

// ---- Normal values from the configuration model --------------------------------------------------------

HRESULT KroCfgStreamer::NormalValueToSpecObject(const KroICfgNormalValue_var& value, KroISpecObject_var& out) {
  // This operation writes no returns line.
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "CreateSpecObjectFromNormalValue");
  KroICfgInterval_var dateInterval, rangeInterval;
  KroICfgSimpleSpecification_var condition;
  KroICfgModification_var modification;
  if (value) {
    value->getValues(dateInterval, rangeInterval, condition, modification);
    KroTime start, end;
    if (dateInterval && dateInterval->getType() == KroICfgInterval::Date &&
        SUCCEEDED(dateInterval->getDateBounds(start, end)) && !StorableDates(trace, {start, end}))
      return E_INVALIDARG;
  }
  HRESULT hr = Instantiate(STARTUP_NV, "CfgSONormalValueInst", out);
  if (FAILED(hr)) return hr;
  KroISpecAttribute_var plstRange = AttributeOf(out, so_tofrom_nv_lst_range);
  KRO_STREAMER_ASSERT(plstRange);
  KroISpecAttribute_var plstDate = AttributeOf(out, so_tofrom_nv_lst_date);
  KRO_STREAMER_ASSERT(plstDate);
  KroISpecAttribute_var plstSpec = AttributeOf(out, so_tofrom_nv_lst_spec);
  KRO_STREAMER_ASSERT(plstSpec);
  KroISpecAttribute_var plstMls = AttributeOf(out, so_tofrom_nv_lst_milestone_name);
  KRO_STREAMER_ASSERT(plstMls);
  if (!value) return hr;

  // A null interval handle counts as an absent interval.
  if (dateInterval && dateInterval->getType() == KroICfgInterval::Date) {
    KroTime start, end;
    hr = dateInterval->getDateBounds(start, end);
    if (FAILED(hr)) return hr;
    KRO_TRACE_LINE(trace, "# DateInterval (" << start.GetYear() << "/" << start.GetMonth() << "/" << start.GetDay()
                                             << "," << end.GetYear() << "/" << end.GetMonth() << "/" << end.GetDay()
                                             << ")");
    KroISpecObject_var startSO, endSO;
    hr = KroTimeToSpecObject(start, startSO);
    if (FAILED(hr)) return hr;
    hr = KroTimeToSpecObject(end, endSO);
    if (FAILED(hr)) return hr;
    plstDate->AppendSpecObject(startSO);
    plstDate->AppendSpecObject(endSO);
  }
  if (rangeInterval && rangeInterval->getType() == KroICfgInterval::Range) {
    int start = 0, end = 0;
    hr = rangeInterval->getRangeBounds(start, end);
    if (FAILED(hr)) return hr;
    KRO_TRACE_LINE(trace, "# RangeInterval (" << start << "," << end << ")");
    plstRange->AppendInteger(start);
    plstRange->AppendInteger(end);
  }
  if (condition) {
    KroUnicodeString text;
    hr = condition->getConditionString(text);
    if (FAILED(hr)) return hr;
    KRO_TRACE_LINE(trace, "# Condition " << text);
    plstSpec->AppendString(text);
  }
  KroUnicodeString startName, endName;
  hr = value->getStartMilestoneName(startName);
  if (FAILED(hr)) return hr;
  hr = value->getEndMilestoneName(endName);
  if (FAILED(hr)) return hr;
  KRO_TRACE_LINE(trace, "# MilestoneName (" << startName << ", " << endName << ")");
  plstMls->AppendString(startName);
  plstMls->AppendString(endName);
  return hr;
}

// ---- Modifications, group modifications and changes ----------------------------------------------------

HRESULT KroCfgStreamer::ModificationToSpecObject(const NlsModification& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "ModificationToSpecObject");
  HRESULT hr = Instantiate(STARTUP_MOD, "CfgModificationInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pModBO = AttributeOf(out, so_tofrom_mod_bo);
  KRO_STREAMER_ASSERT(pModBO);
  KroISpecAttribute_var pModXmlTree = AttributeOf(out, so_tofrom_mod_xml_tree);
  KRO_STREAMER_ASSERT(pModXmlTree);
  KroISpecAttribute_var pModXEVlst = AttributeOf(out, so_tofrom_mod_xev_lst);
  KRO_STREAMER_ASSERT(pModXEVlst);

  KroISpecObject_var bo;
  BaseObjectToSpecObject(in.bo, bo);
  pModBO->AppendSpecObject(bo);
  pModXmlTree->AppendString(ToString(in.xml_tree));
  KroISpecObject_var xev;
  XEffectivityValuesSeqToSpecObjectList(in.xev_lst, xev);
  pModXEVlst->AppendSpecObject(xev);
  return Returns(hr);
}

HRESULT KroCfgStreamer::ModificationFromSpecObject(const KroISpecObject_var& in, NlsModification& out) {
  KroDmxTraceStep step(Trace(), "ModificationFromSpecObject");
  if (!in) return Returns(S_OK);
  FromString(ReadString(in, so_tofrom_mod_xml_tree), out.xml_tree);
  BaseObjectFromSpecObject(ReadChild(in, so_tofrom_mod_bo), out.bo);
  XEffectivityValuesSeqFromSpecObjectList(ReadChild(in, so_tofrom_mod_xev_lst), out.xev_lst);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::ModificationSeqToSpecObjectList(const _IDL_SEQUENCE_NlsModification& in,
                                                        KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "ModificationSeqToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_MOD_LST, "CfgSOlstModificationInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstMod = AttributeOf(out, so_tofrom_mod_lst);
  KRO_STREAMER_ASSERT(plstMod);
  return Returns(AppendChildren(plstMod, in, hr,
                                "Nb de Modification object = ", " -> ModificationSeqtoSpecObjectList element ",
                                KRO_ELEMENT_OP(ModificationToSpecObject)));
}

HRESULT KroCfgStreamer::ModificationSeqFromSpecObjectList(const KroISpecObject_var& in,
                                                          _IDL_SEQUENCE_NlsModification& out) {
  KroDmxTraceStep step(Trace(), "ModificationSeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_mod_lst, out,
                                  "Nb de SpecObject Modification = ", " <- ModificationSeqFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(ModificationFromSpecObject)));
}

HRESULT KroCfgStreamer::GroupModToSpecObject(const NlsGroupMod& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "GroupModToSpecObject");
  HRESULT hr = Instantiate(STARTUP_GMOD, "CfgSOGroupModInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pGMModlst = AttributeOf(out, so_tofrom_gmod_mod_lst);
  KRO_STREAMER_ASSERT(pGMModlst);
  KroISpecAttribute_var pGMBO = AttributeOf(out, so_tofrom_gmod_bo);
  KRO_STREAMER_ASSERT(pGMBO);
  KroISpecAttribute_var pGMNV = AttributeOf(out, so_tofrom_gmod_nv);
  KRO_STREAMER_ASSERT(pGMNV);

  KroISpecObject_var mods, bo, nv;
  ModificationSeqToSpecObjectList(in.mod_lst, mods);
  pGMModlst->AppendSpecObject(mods);
  BaseObjectToSpecObject(in.bo, bo);
  pGMBO->AppendSpecObject(bo);
  NormalValueToSpecObject(in.nv, nv);
  pGMNV->AppendSpecObject(nv);
  return Returns(hr);
}

HRESULT KroCfgStreamer::GroupModFromSpecObject(const KroISpecObject_var& in, NlsGroupMod& out) {
  KroDmxTraceStep step(Trace(), "GroupModFromSpecObject");
  if (!in) return Returns(S_OK);
  ModificationSeqFromSpecObjectList(ReadChild(in, so_tofrom_gmod_mod_lst), out.mod_lst);
  BaseObjectFromSpecObject(ReadChild(in, so_tofrom_gmod_bo), out.bo);
  NormalValueFromSpecObject(ReadChild(in, so_tofrom_gmod_nv), out.nv);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::GroupModToSpecObject(const NlsGroupMod& in,
                                             const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues& xev,
                                             KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "GroupModToSpecObject");
  HRESULT hr = GroupModToSpecObject(in, out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pGMXEV = AttributeOf(out, so_tofrom_gmod_xev_lst);
  KRO_STREAMER_ASSERT(pGMXEV);
  KroISpecObject_var child;
  XEffectivityValuesSeqToSpecObjectList(xev, child);
  pGMXEV->AppendSpecObject(child);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::GroupModFromSpecObject(const KroISpecObject_var& in, NlsGroupMod& out,
                                               DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues& xevOut) {
  KroDmxTraceStep step(Trace(), "Special GroupModFromSpecObject");
  if (!in) return Returns(S_OK);
  GroupModFromSpecObject(in, out);
  XEffectivityValuesSeqFromSpecObjectList(ReadChild(in, so_tofrom_gmod_xev_lst), xevOut);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::GroupModSeqToSpecObjectList(const _IDL_SEQUENCE_NlsGroupMod& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "GroupModSeqToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_GMOD_LST, "CfgSOlstGroupModInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstGroupMod = AttributeOf(out, so_tofrom_gmod_lst);
  KRO_STREAMER_ASSERT(plstGroupMod);
  // Elements carry no extended effectivity values: the two-argument operations.
  return Returns(AppendChildren(plstGroupMod, in, hr, "Nb de GroupMod object = ",
                                " -> GroupModSeqToSpecObjectList element ", KRO_ELEMENT_OP(GroupModToSpecObject)));
}

HRESULT KroCfgStreamer::GroupModSeqFromSpecObjectList(const KroISpecObject_var& in, _IDL_SEQUENCE_NlsGroupMod& out) {
  KroDmxTraceStep step(Trace(), "GroupModSeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_gmod_lst, out,
                                  "Nb de SpecObject Modification = ", " <- GroupModSeqFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(GroupModFromSpecObject)));
}

HRESULT KroCfgStreamer::ChangeToSpecObject(const NlsChange& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "ChangeToSpecObject");
  HRESULT hr = Instantiate(STARTUP_CHANGE, "CfgSOChangeInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pCHGid = AttributeOf(out, so_tofrom_chg_id);
  KRO_STREAMER_ASSERT(pCHGid);
  KroISpecAttribute_var pCHGopstr = AttributeOf(out, so_tofrom_chg_op_str);
  KRO_STREAMER_ASSERT(pCHGopstr);
  KroISpecAttribute_var pCHGop = AttributeOf(out, so_tofrom_chg_op);
  KRO_STREAMER_ASSERT(pCHGop);
  KroISpecAttribute_var pCHGboone = AttributeOf(out, so_tofrom_chg_bo_one);
  KRO_STREAMER_ASSERT(pCHGboone);
  KroISpecAttribute_var pCHGbotwo = AttributeOf(out, so_tofrom_chg_bo_two);
  KRO_STREAMER_ASSERT(pCHGbotwo);
  KroISpecAttribute_var pCHGbothree = AttributeOf(out, so_tofrom_chg_bo_three);
  KRO_STREAMER_ASSERT(pCHGbothree);
  KroISpecAttribute_var pCHGbocv = AttributeOf(out, so_tofrom_chg_bo_cv);
  KRO_STREAMER_ASSERT(pCHGbocv);
  KroISpecAttribute_var pCHGbomod = AttributeOf(out, so_tofrom_chg_bo_mod);
  KRO_STREAMER_ASSERT(pCHGbomod);
  KroISpecAttribute_var pCHGboact = AttributeOf(out, so_tofrom_chg_bo_act);
  KRO_STREAMER_ASSERT(pCHGboact);

  pCHGid->AppendDouble(static_cast<double>(in.id));
  pCHGopstr->AppendString(ToString(in.op_str));
  pCHGop->AppendString(ToString(in.op));
  const std::pair<const NlsBaseObject*, KroISpecAttribute*> roles[] = {
      {&in.bo_one, pCHGboone}, {&in.bo_two, pCHGbotwo}, {&in.bo_three, pCHGbothree},
      {&in.bo_cv, pCHGbocv},   {&in.bo_mod, pCHGbomod}, {&in.bo_act, pCHGboact}};
  for (const auto& [bo, attribute] : roles) {
    KroISpecObject_var child;
    BaseObjectToSpecObject(*bo, child);
    attribute->AppendSpecObject(child);
  }
  return Returns(hr);
}

HRESULT KroCfgStreamer::ChangeFromSpecObject(const KroISpecObject_var& in, NlsChange& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "ChangeFromSpecObject");
  if (!in) return Returns(S_OK);
  if (trace.IsActive()) KroCfgSOServices::Dump(in);
  KroISpecAttrAccess_var access;
  KroISpecAttrKey_var key;
  if (FAILED(KroCfgSOServices::GetAttrAccessAndKey(in, so_tofrom_chg_id, access, key))) {
    KRO_TRACE_LINE(trace, "Unable to access the attribute " << so_tofrom_chg_id);
    return Returns(E_FAIL);
  }
  out.id = Truncate(access->GetDouble(key, 0));
  FromString(ReadString(in, so_tofrom_chg_op_str), out.op_str);
  FromString(ReadString(in, so_tofrom_chg_op), out.op);
  const std::pair<const KroUnicodeString*, NlsBaseObject*> roles[] = {
      {&so_tofrom_chg_bo_one, &out.bo_one},     {&so_tofrom_chg_bo_two, &out.bo_two},
      {&so_tofrom_chg_bo_three, &out.bo_three}, {&so_tofrom_chg_bo_cv, &out.bo_cv},
      {&so_tofrom_chg_bo_mod, &out.bo_mod},     {&so_tofrom_chg_bo_act, &out.bo_act}};
  for (const auto& [name, bo] : roles) BaseObjectFromSpecObject(ReadChild(in, *name), *bo);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::ChangeSeqToSpecObjectList(const _IDL_SEQUENCE_NlsChange& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "ChangeSeqToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_CHANGE_LST, "CfgSOlstChangeInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstCHG = AttributeOf(out, so_tofrom_chg_lst);
  KRO_STREAMER_ASSERT(plstCHG);
  return Returns(AppendChildren(plstCHG, in, hr, "Nb de Change object = ", " -> ChangeSeqToSpecObjectList element ",
                                KRO_ELEMENT_OP(ChangeToSpecObject)));
}

HRESULT KroCfgStreamer::ChangeSeqFromSpecObjectList(const KroISpecObject_var& in, _IDL_SEQUENCE_NlsChange& out) {
  KroDmxTraceStep step(Trace(), "ChangeSeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_chg_lst, out, "Nb de SpecObject Modification = ",
                                  " <- ChangeSeqFromSpecObjectList element ", KRO_ELEMENT_OP(ChangeFromSpecObject)));
}

// ---- Spec expressions, basic and domain effectivities --------------------------------------------------

HRESULT KroCfgStreamer::SpecExpressionToSpecObject(const NlsSpecExpression& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "SpecExpressionToSpecObject");
  HRESULT hr = Instantiate(STARTUP_SE, "CfgSOSpecExpressionInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pSEdomain = AttributeOf(out, so_tofrom_se_domain);
  KRO_STREAMER_ASSERT(pSEdomain);
  KroISpecAttribute_var pSEposition = AttributeOf(out, so_tofrom_se_position);
  KRO_STREAMER_ASSERT(pSEposition);
  KroISpecAttribute_var pSEexpression = AttributeOf(out, so_tofrom_se_expression);
  KRO_STREAMER_ASSERT(pSEexpression);

  pSEposition->AppendInteger(static_cast<int>(in.position));
  pSEdomain->AppendString(ToString(in.domain));
  pSEexpression->AppendString(ToString(in.expression));
  return Returns(hr);
}

HRESULT KroCfgStreamer::SpecExpressionFromSpecObject(const KroISpecObject_var& in, NlsSpecExpression& out) {
  KroDmxTraceStep step(Trace(), "SpecExpressionFromSpecObject");
  if (!in) return Returns(S_OK);
  int position = 0;
  KroCfgSOServices::GetIntegerValue(in, so_tofrom_se_position, position);
  out.position = LowSixteenBits(position);
  FromString(ReadString(in, so_tofrom_se_domain), out.domain);
  FromString(ReadString(in, so_tofrom_se_expression), out.expression);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::BasicEffectivityToSpecObject(const NlsBasicEffectivity& in, KroISpecObject_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "BasicEffectivityToSpecObject");
  if (!StorableDates(trace, {ToKroTime(in.date_start), ToKroTime(in.date_end)})) return Returns(E_INVALIDARG);
  HRESULT hr = Instantiate(STARTUP_BE, "CfgSOBasicEffectivityInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pBEdatestart = AttributeOf(out, so_tofrom_be_date_start);
  KRO_STREAMER_ASSERT(pBEdatestart);
  KroISpecAttribute_var pBEdateend = AttributeOf(out, so_tofrom_be_date_end);
  KRO_STREAMER_ASSERT(pBEdateend);
  KroISpecAttribute_var pBErangestart = AttributeOf(out, so_tofrom_be_range_start);
  KRO_STREAMER_ASSERT(pBErangestart);
  KroISpecAttribute_var pBErangeend = AttributeOf(out, so_tofrom_be_range_end);
  KRO_STREAMER_ASSERT(pBErangeend);
  KroISpecAttribute_var pBEmlsstart = AttributeOf(out, so_tofrom_be_mls_start);
  KRO_STREAMER_ASSERT(pBEmlsstart);
  KroISpecAttribute_var pBEmlsend = AttributeOf(out, so_tofrom_be_mls_end);
  KRO_STREAMER_ASSERT(pBEmlsend);
  KroISpecAttribute_var pBESE = AttributeOf(out, so_tofrom_be_se);
  KRO_STREAMER_ASSERT(pBESE);
  KroISpecAttribute_var pBEusrstart = AttributeOf(out, so_tofrom_be_usr_start);
  KRO_STREAMER_ASSERT(pBEusrstart);
  KroISpecAttribute_var pBEusrend = AttributeOf(out, so_tofrom_be_usr_end);
  KRO_STREAMER_ASSERT(pBEusrend);
  KroISpecAttribute_var pBEspecend = AttributeOf(out, so_tofrom_be_spec_end);
  KRO_STREAMER_ASSERT(pBEspecend);

  KroISpecObject_var dateStart, dateEnd;
  KroTimeToSpecObject(ToKroTime(in.date_start), dateStart);
  pBEdatestart->AppendSpecObject(dateStart);
  KroTimeToSpecObject(ToKroTime(in.date_end), dateEnd);
  pBEdateend->AppendSpecObject(dateEnd);
  pBErangestart->AppendDouble(static_cast<double>(in.range_start));
  pBErangeend->AppendDouble(static_cast<double>(in.range_end));
  KroUnicodeString mlsStart = ToString(in.mls_start);
  pBEmlsstart->AppendString(mlsStart);
  KRO_TRACE_LINE(trace, "Start milestone : " << mlsStart);
  KroUnicodeString mlsEnd = ToString(in.mls_end);
  pBEmlsend->AppendString(mlsEnd);
  KRO_TRACE_LINE(trace, "End milestone : " << mlsEnd);
  KroISpecObject_var se;
  SpecExpressionToSpecObject(in.se, se);
  pBESE->AppendSpecObject(se);
  pBEusrstart->AppendString(ToString(in.usr_start));
  pBEusrend->AppendString(ToString(in.usr_end));
  pBEspecend->AppendString(ToString(in.spec_end));
  return Returns(hr);
}

HRESULT KroCfgStreamer::BasicEffectivityFromSpecObject(const KroISpecObject_var& in, NlsBasicEffectivity& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "BasicEffectivityFromSpecObject");
  if (!in) return Returns(S_OK);

  // Unreadable dates stay at time value 0.
  KroTime start, end;
  KroTimeFromSpecObject(ReadChild(in, so_tofrom_be_date_start), start);
  KroTimeFromSpecObject(ReadChild(in, so_tofrom_be_date_end), end);
  out.date_start = DMX_ConfigServices::ToDateCorba(start);
  out.date_end = DMX_ConfigServices::ToDateCorba(end);

  const struct {
    const KroUnicodeString& name;
    CORBA::Long& field;
    const char* message;
  } ranges[] = {{so_tofrom_be_range_start, out.range_start, "Start range : "},
                {so_tofrom_be_range_end, out.range_end, "End range : "}};
  for (const auto& range : ranges) {
    KroISpecAttrAccess_var access;
    KroISpecAttrKey_var key;
    if (FAILED(KroCfgSOServices::GetAttrAccessAndKey(in, range.name, access, key))) {
      KRO_TRACE_LINE(trace, "Unable to access the attribute " << range.name);
      return Returns(E_FAIL);
    }
    range.field = Truncate(access->GetDouble(key, 0));
    KRO_TRACE_LINE(trace, range.message << range.field);
  }

  KroUnicodeString mlsStart = ReadString(in, so_tofrom_be_mls_start);
  FromString(mlsStart, out.mls_start);
  KRO_TRACE_LINE(trace, "Start milestone : " << mlsStart);
  KroUnicodeString mlsEnd = ReadString(in, so_tofrom_be_mls_end);
  FromString(mlsEnd, out.mls_end);
  KRO_TRACE_LINE(trace, "End milestone : " << mlsEnd);
  SpecExpressionFromSpecObject(ReadChild(in, so_tofrom_be_se), out.se);
  FromString(ReadString(in, so_tofrom_be_usr_start), out.usr_start);
  FromString(ReadString(in, so_tofrom_be_usr_end), out.usr_end);
  FromString(ReadString(in, so_tofrom_be_spec_end), out.spec_end);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::BasicEffectivitySeqToSpecObjectList(const _IDL_SEQUENCE_NlsBasicEffectivity& in,
                                                            KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "BasicEffectivitySeqToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_BE_LST, "CfgSOlstBasicEffectivityInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstBE = AttributeOf(out, so_tofrom_be_lst);
  KRO_STREAMER_ASSERT(plstBE);
  return Returns(AppendChildren(plstBE, in, hr,
                                "Nb de BasicEffectivity object = ", " -> BasicEffectivitySeqtoSpecObjectList element ",
                                KRO_ELEMENT_OP(BasicEffectivityToSpecObject)));
}

HRESULT KroCfgStreamer::BasicEffectivitySeqFromSpecObjectList(const KroISpecObject_var& in,
                                                              _IDL_SEQUENCE_NlsBasicEffectivity& out) {
  KroDmxTraceStep step(Trace(), "BasicEffectivitySeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_be_lst, out, "Nb de SpecObject BasicEffectivity = ",
                                  " <- BasicEffectivitySeqFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(BasicEffectivityFromSpecObject)));
}

HRESULT KroCfgStreamer::DomainEffectivityToSpecObject(const NlsDomainEffectivity& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "DomainEffectivityToSpecObject");
  HRESULT hr = Instantiate(STARTUP_DE, "CfgSODomainEffectivityInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pDEBElst = AttributeOf(out, so_tofrom_de_be_lst);
  KRO_STREAMER_ASSERT(pDEBElst);
  KroISpecAttribute_var pDEdomain = AttributeOf(out, so_tofrom_de_domain);
  KRO_STREAMER_ASSERT(pDEdomain);

  KroISpecObject_var basics;
  BasicEffectivitySeqToSpecObjectList(in.be_lst, basics);
  pDEBElst->AppendSpecObject(basics);
  pDEdomain->AppendString(ToString(in.domain));
  return Returns(hr);
}

HRESULT KroCfgStreamer::DomainEffectivityFromSpecObject(const KroISpecObject_var& in, NlsDomainEffectivity& out) {
  KroDmxTraceStep step(Trace(), "DomainEffectivityFromSpecObject");
  if (!in) return Returns(S_OK);
  BasicEffectivitySeqFromSpecObjectList(ReadChild(in, so_tofrom_de_be_lst), out.be_lst);
  FromString(ReadString(in, so_tofrom_de_domain), out.domain);
  return Returns(S_OK);
}

HRESULT KroCfgStreamer::DomainEffectivitySeqToSpecObjectList(const _IDL_SEQUENCE_NlsDomainEffectivity& in,
                                                             KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "DomainEffectivitySeqToSpecObjectList");
  HRESULT hr = Instantiate(STARTUP_DE_LST, "CfgSOlstDomainEffectivityInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var plstDE = AttributeOf(out, so_tofrom_de_lst);
  KRO_STREAMER_ASSERT(plstDE);
  return Returns(AppendChildren(
      plstDE, in, hr, "Nb de DomainEffectivity object = ", " -> DomainEffectivitySeqToSpecObjectList element ",
      KRO_ELEMENT_OP(DomainEffectivityToSpecObject)));
}

HRESULT KroCfgStreamer::DomainEffectivitySeqFromSpecObjectList(const KroISpecObject_var& in,
                                                               _IDL_SEQUENCE_NlsDomainEffectivity& out) {
  KroDmxTraceStep step(Trace(), "DomainEffectivitySeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_de_lst, out, "Nb de SpecObject DomainEffectivity = ",
                                  " <- DomainEffectivitySeqFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(DomainEffectivityFromSpecObject)));
}

HRESULT KroCfgStreamer::DomainEffectivitySeqSeqFromSpecObjectList(const KroISpecObject_var& in,
                                                                  _IDL_SEQUENCE_NlsDomainEffectivitySeq& out) {
  KroDmxTraceStep step(Trace(), "DomainEffectivitySeqSeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_de_lst_lst, out, "Nb de SpecObject DomainEffectivitySeq = ",
                                  " <--- DomainEffectivitySeqSeqFromSpecObjectList element ",
                                  KRO_ELEMENT_OP(DomainEffectivitySeqFromSpecObjectList)));
}
