// Members of KroCfgStreamer: spec expressions, basic and domain effectivities.
#include "KroCfgStreamerFrame.h"

using namespace KroCfgStreamerFrame;

// ---- Spec expressions, basic and domain effectivities --------------------------------------------------

HRESULT KroCfgStreamer::SpecExpressionToSpecObject(const NlsSpecExpression& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "SpecExpressionToSpecObject");
  HRESULT hr = Instantiate(STARTUP_SE, "CfgSOSpecExpressionInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pSEdomain = RequiredAttribute(out, so_tofrom_se_domain, "pSEdomain");
  KroISpecAttribute_var pSEposition = RequiredAttribute(out, so_tofrom_se_position, "pSEposition");
  KroISpecAttribute_var pSEexpression = RequiredAttribute(out, so_tofrom_se_expression, "pSEexpression");

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
  KroISpecAttribute_var pBEdatestart = RequiredAttribute(out, so_tofrom_be_date_start, "pBEdatestart");
  KroISpecAttribute_var pBEdateend = RequiredAttribute(out, so_tofrom_be_date_end, "pBEdateend");
  KroISpecAttribute_var pBErangestart = RequiredAttribute(out, so_tofrom_be_range_start, "pBErangestart");
  KroISpecAttribute_var pBErangeend = RequiredAttribute(out, so_tofrom_be_range_end, "pBErangeend");
  KroISpecAttribute_var pBEmlsstart = RequiredAttribute(out, so_tofrom_be_mls_start, "pBEmlsstart");
  KroISpecAttribute_var pBEmlsend = RequiredAttribute(out, so_tofrom_be_mls_end, "pBEmlsend");
  KroISpecAttribute_var pBESE = RequiredAttribute(out, so_tofrom_be_se, "pBESE");
  KroISpecAttribute_var pBEusrstart = RequiredAttribute(out, so_tofrom_be_usr_start, "pBEusrstart");
  KroISpecAttribute_var pBEusrend = RequiredAttribute(out, so_tofrom_be_usr_end, "pBEusrend");
  KroISpecAttribute_var pBEspecend = RequiredAttribute(out, so_tofrom_be_spec_end, "pBEspecend");

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
  KroISpecAttribute_var plstBE = RequiredAttribute(out, so_tofrom_be_lst, "plstBE");
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
  KroISpecAttribute_var pDEBElst = RequiredAttribute(out, so_tofrom_de_be_lst, "pDEBElst");
  KroISpecAttribute_var pDEdomain = RequiredAttribute(out, so_tofrom_de_domain, "pDEdomain");

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
  KroISpecAttribute_var plstDE = RequiredAttribute(out, so_tofrom_de_lst, "plstDE");
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
