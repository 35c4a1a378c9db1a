// Members of KroCfgStreamer: normal values and effectivity values.
#include "KroCfgStreamerFrame.h"

using namespace KroCfgStreamerFrame;

namespace {

// The four list attributes of a new normal value instance, which the catalog guarantees.
void NormalValueLists(const KroISpecObject_var& out, KroISpecAttribute_var& plstRange, KroISpecAttribute_var& plstDate,
                      KroISpecAttribute_var& plstSpec, KroISpecAttribute_var& plstMls) {
  plstRange = RequiredAttribute(out, S::so_tofrom_nv_lst_range, "plstRange");
  plstDate = RequiredAttribute(out, S::so_tofrom_nv_lst_date, "plstDate");
  plstSpec = RequiredAttribute(out, S::so_tofrom_nv_lst_spec, "plstSpec");
  plstMls = RequiredAttribute(out, S::so_tofrom_nv_lst_milestone_name, "plstMls");
}

}  // namespace

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
  KroISpecAttribute_var plstRange, plstDate, plstSpec, plstMls;
  NormalValueLists(out, plstRange, plstDate, plstSpec, plstMls);

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
  KroISpecAttribute_var plstNV = RequiredAttribute(out, so_tofrom_nv_lst, "plstNV");
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
  KroISpecAttribute_var plstEV = RequiredAttribute(out, so_tofrom_ev_lst, "plstEV");
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
  KroISpecAttribute_var pXEVDomain = RequiredAttribute(out, so_tofrom_xev_domain, "pXEVDomain");
  KroISpecAttribute_var pXEVInfo = RequiredAttribute(out, so_tofrom_xev_info, "pXEVInfo");
  KroISpecAttribute_var pXEVev = RequiredAttribute(out, so_tofrom_xev_ev, "pXEVev");

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
  KroISpecAttribute_var plstXEV = RequiredAttribute(out, so_tofrom_xev_lst, "plstXEV");
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
  KroISpecAttribute_var plstRange, plstDate, plstSpec, plstMls;
  NormalValueLists(out, plstRange, plstDate, plstSpec, plstMls);
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
