// Members of KroCfgStreamer: modifications, group modifications and changes.
#include "KroCfgStreamerFrame.h"

using namespace KroCfgStreamerFrame;

// ---- Modifications, group modifications and changes ----------------------------------------------------

HRESULT KroCfgStreamer::ModificationToSpecObject(const NlsModification& in, KroISpecObject_var& out) {
  KroDmxTraceStep step(Trace(), "ModificationToSpecObject");
  HRESULT hr = Instantiate(STARTUP_MOD, "CfgModificationInst", out);
  if (FAILED(hr)) return Returns(hr);
  KroISpecAttribute_var pModBO = RequiredAttribute(out, so_tofrom_mod_bo, "pModBO");
  KroISpecAttribute_var pModXmlTree = RequiredAttribute(out, so_tofrom_mod_xml_tree, "pModXmlTree");
  KroISpecAttribute_var pModXEVlst = RequiredAttribute(out, so_tofrom_mod_xev_lst, "pModXEVlst");

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
  KroISpecAttribute_var plstMod = RequiredAttribute(out, so_tofrom_mod_lst, "plstMod");
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
  KroISpecAttribute_var pGMModlst = RequiredAttribute(out, so_tofrom_gmod_mod_lst, "pGMModlst");
  KroISpecAttribute_var pGMBO = RequiredAttribute(out, so_tofrom_gmod_bo, "pGMBO");
  KroISpecAttribute_var pGMNV = RequiredAttribute(out, so_tofrom_gmod_nv, "pGMNV");

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
  KroISpecAttribute_var pGMXEV = RequiredAttribute(out, so_tofrom_gmod_xev_lst, "pGMXEV");
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
  KroISpecAttribute_var plstGroupMod = RequiredAttribute(out, so_tofrom_gmod_lst, "plstGroupMod");
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
  KroISpecAttribute_var pCHGid = RequiredAttribute(out, so_tofrom_chg_id, "pCHGid");
  KroISpecAttribute_var pCHGopstr = RequiredAttribute(out, so_tofrom_chg_op_str, "pCHGopstr");
  KroISpecAttribute_var pCHGop = RequiredAttribute(out, so_tofrom_chg_op, "pCHGop");
  KroISpecAttribute_var pCHGboone = RequiredAttribute(out, so_tofrom_chg_bo_one, "pCHGboone");
  KroISpecAttribute_var pCHGbotwo = RequiredAttribute(out, so_tofrom_chg_bo_two, "pCHGbotwo");
  KroISpecAttribute_var pCHGbothree = RequiredAttribute(out, so_tofrom_chg_bo_three, "pCHGbothree");
  KroISpecAttribute_var pCHGbocv = RequiredAttribute(out, so_tofrom_chg_bo_cv, "pCHGbocv");
  KroISpecAttribute_var pCHGbomod = RequiredAttribute(out, so_tofrom_chg_bo_mod, "pCHGbomod");
  KroISpecAttribute_var pCHGboact = RequiredAttribute(out, so_tofrom_chg_bo_act, "pCHGboact");

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
  KroISpecAttribute_var plstCHG = RequiredAttribute(out, so_tofrom_chg_lst, "plstCHG");
  return Returns(AppendChildren(plstCHG, in, hr, "Nb de Change object = ", " -> ChangeSeqToSpecObjectList element ",
                                KRO_ELEMENT_OP(ChangeToSpecObject)));
}

HRESULT KroCfgStreamer::ChangeSeqFromSpecObjectList(const KroISpecObject_var& in, _IDL_SEQUENCE_NlsChange& out) {
  KroDmxTraceStep step(Trace(), "ChangeSeqFromSpecObjectList");
  return Returns(FillFromChildren(in, so_tofrom_chg_lst, out, "Nb de SpecObject Modification = ",
                                  " <- ChangeSeqFromSpecObjectList element ", KRO_ELEMENT_OP(ChangeFromSpecObject)));
}
