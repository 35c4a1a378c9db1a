// Streams the configuration server's IDL structures to trees of spec objects and back. Each structure
// becomes an instance of a "Streamer..." startup of the feature catalog, one attribute per field; a
// sequence becomes a "Streamerlst..." instance whose list attribute holds one child per element.
//
// One class of static operations. Its members are defined in sources grouped by subject:
// KroCfgStreamer.cpp (names, the shared frame and its assertions, base objects and time),
// KroCfgStreamerValues.cpp, KroCfgStreamerChanges.cpp and KroCfgStreamerEffectivities.cpp.
#pragma once

#include "KroCfgSOExport.h"

#include "DMX_Config.h"
#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"
#include "KroTime.h"
#include "SEQUENCE_octet.h"

// One line per name constant, in declaration order: X(member name, value). The declarations below and
// the definitions, guard counters and load-time pass in KroCfgStreamer.cpp come from this list.
#define KRO_CFG_STREAMER_NAMES(X)                             \
  /* Base objects */                                          \
  X(STARTUP_BO, "StreamerBaseObject")                         \
  X(so_tofrom_bo_name, "name")                                \
  X(so_tofrom_bo_type, "type")                                \
  X(so_tofrom_bo_info, "info")                                \
  X(so_tofrom_bo_uid, "uid")                                  \
  X(STARTUP_BO_LST, "StreamerlstBaseObject")                  \
  X(so_tofrom_bo_lst, "bo_lst")                               \
  /* Normal values */                                         \
  X(STARTUP_NV, "StreamerNormalValue")                        \
  X(so_tofrom_nv_lst_range, "nv_lst_range")                   \
  X(so_tofrom_nv_lst_date, "nv_lst_date")                     \
  X(so_tofrom_nv_lst_spec, "nv_lst_spec")                     \
  X(so_tofrom_nv_lst_milestone_name, "nv_lst_milestone_name") \
  X(STARTUP_NV_LST, "StreamerlstNormalValue")                 \
  X(so_tofrom_nv_lst, "nv_lst")                               \
  /* Effectivity values */                                    \
  X(STARTUP_EV_LST, "StreamerlstEffectivityValues")           \
  X(so_tofrom_ev_lst, "ev_lst")                               \
  /* Extended effectivity values */                           \
  X(STARTUP_XEV, "StreamerXEffectivityValues")                \
  X(so_tofrom_xev_domain, "xev_domain")                       \
  X(so_tofrom_xev_info, "xev_info")                           \
  X(so_tofrom_xev_ev, "xev_ev")                               \
  X(STARTUP_XEV_LST, "StreamerlstXEffectivityValues")         \
  X(so_tofrom_xev_lst, "xev_lst")                             \
  /* Modifications */                                         \
  X(STARTUP_MOD, "StreamerModification")                      \
  X(so_tofrom_mod_bo, "mod_bo")                               \
  X(so_tofrom_mod_xml_tree, "mod_xml_tree")                   \
  X(so_tofrom_mod_xev_lst, "mod_xev_lst")                     \
  X(STARTUP_MOD_LST, "StreamerlstModification")               \
  X(so_tofrom_mod_lst, "mod_lst")                             \
  /* Group modifications */                                   \
  X(STARTUP_GMOD, "StreamerGroupMod")                         \
  X(so_tofrom_gmod_mod_lst, "gmod_mod_lst")                   \
  X(so_tofrom_gmod_bo, "gmod_bo")                             \
  X(so_tofrom_gmod_nv, "gmod_nv")                             \
  X(so_tofrom_gmod_xev_lst, "gmod_xev_lst")                   \
  X(STARTUP_GMOD_LST, "StreamerlstGroupMod")                  \
  X(so_tofrom_gmod_lst, "gmod_lst")                           \
  /* Changes */                                               \
  X(STARTUP_CHANGE, "StreamerChange")                         \
  X(so_tofrom_chg_id, "chg_id")                               \
  X(so_tofrom_chg_op_str, "chg_op_str")                       \
  X(so_tofrom_chg_op, "chg_op")                               \
  X(so_tofrom_chg_bo_one, "chg_bo_one")                       \
  X(so_tofrom_chg_bo_two, "chg_bo_two")                       \
  X(so_tofrom_chg_bo_three, "chg_bo_three")                   \
  X(so_tofrom_chg_bo_cv, "chg_bo_cv")                         \
  X(so_tofrom_chg_bo_mod, "chg_bo_mod")                       \
  X(so_tofrom_chg_bo_act, "chg_bo_act")                       \
  X(STARTUP_CHANGE_LST, "StreamerlstChange")                  \
  X(so_tofrom_chg_lst, "chg_lst")                             \
  /* Spec expressions */                                      \
  X(STARTUP_SE, "StreamerSpecExpression")                     \
  X(so_tofrom_se_domain, "se_domain")                         \
  X(so_tofrom_se_position, "se_position")                     \
  X(so_tofrom_se_expression, "se_expression")                 \
  /* Basic effectivities */                                   \
  X(STARTUP_BE, "StreamerBasicEffectivity")                   \
  X(so_tofrom_be_date_start, "be_date_start")                 \
  X(so_tofrom_be_date_end, "be_date_end")                     \
  X(so_tofrom_be_range_start, "be_range_start")               \
  X(so_tofrom_be_range_end, "be_range_end")                   \
  X(so_tofrom_be_mls_start, "be_mls_start")                   \
  X(so_tofrom_be_mls_end, "be_mls_end")                       \
  X(so_tofrom_be_se, "be_se")                                 \
  X(so_tofrom_be_usr_start, "be_usr_start")                   \
  X(so_tofrom_be_usr_end, "be_usr_end")                       \
  X(so_tofrom_be_spec_end, "be_spec_end")                     \
  X(STARTUP_BE_LST, "StreamerlstBasicEffectivity")            \
  X(so_tofrom_be_lst, "be_lst")                               \
  /* Domain effectivities */                                  \
  X(STARTUP_DE, "StreamerDomainEffectivity")                  \
  X(so_tofrom_de_be_lst, "de_be_lst")                         \
  X(so_tofrom_de_domain, "de_domain")                         \
  X(STARTUP_DE_LST, "StreamerlstDomainEffectivity")           \
  X(so_tofrom_de_lst, "de_lst")                               \
  X(STARTUP_DE_LST_LST, "StreamerlstlstDomainEffectivity")    \
  X(so_tofrom_de_lst_lst, "de_lst_lst")

class KRO_CFGSO_API KroCfgStreamer {
 public:
  KroCfgStreamer() = delete;

  // The startup and attribute names of the streamer's shapes, each built once at library load.
#define KRO_CFG_STREAMER_DECLARE(name, text) static KroUnicodeString name;
  KRO_CFG_STREAMER_NAMES(KRO_CFG_STREAMER_DECLARE)
#undef KRO_CFG_STREAMER_DECLARE

  // Base objects and time.
  static HRESULT BaseObjectToSpecObject(const NlsBaseObject& in, KroISpecObject_var& out);
  static HRESULT BaseObjectFromSpecObject(const KroISpecObject_var& in, NlsBaseObject& out);
  static HRESULT BaseObjectSeqToSpecObjectList(const _IDL_SEQUENCE_NlsBaseObject& in, KroISpecObject_var& out);
  static HRESULT BaseObjectSeqFromSpecObjectList(const KroISpecObject_var& in, _IDL_SEQUENCE_NlsBaseObject& out);
  static HRESULT BaseObjectToSpecObject(const BaseObject& in, KroISpecObject_var& out);
  static HRESULT BaseObjectFromSpecObject(const KroISpecObject_var& in, BaseObject& out);
  static HRESULT KroTimeToSpecObject(const KroTime& in, KroISpecObject_var& out);
  static HRESULT KroTimeFromSpecObject(const KroISpecObject_var& in, KroTime& out);
  // Writes the octet count and the octets in decimal to the streamer's trace.
  static void PrintUid(SEQUENCE_octet uid);

  // Normal values and effectivity values.
  static HRESULT NormalValueToSpecObject(const DMX_Config::NlsNormalValue& in, KroISpecObject_var& out);
  static HRESULT NormalValueFromSpecObject(const KroISpecObject_var& in, DMX_Config::NlsNormalValue& out);
  static HRESULT NormalValueSeqToSpecObjectList(const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValue& in,
                                                KroISpecObject_var& out);
  static HRESULT NormalValueSeqFromSpecObjectList(const KroISpecObject_var& in,
                                                  DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValue& out);
  static HRESULT EffectivityValuesToSpecObjectList(const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValueSeq& in,
                                                   KroISpecObject_var& out);
  static HRESULT EffectivityValuesFromSpecObjectList(const KroISpecObject_var& in,
                                                     DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValueSeq& out);
  static HRESULT XEffectivityValuesToSpecObject(const DMX_Config::NlsXEffectivityValues& in, KroISpecObject_var& out);
  static HRESULT XEffectivityValuesFromSpecObject(const KroISpecObject_var& in, DMX_Config::NlsXEffectivityValues& out);
  static HRESULT XEffectivityValuesSeqToSpecObjectList(
      const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues& in, KroISpecObject_var& out);
  static HRESULT XEffectivityValuesSeqFromSpecObjectList(
      const KroISpecObject_var& in, DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues& out);

  // A normal value of the configuration model, into the same shape (read back with the IDL reader).
  static HRESULT NormalValueToSpecObject(const KroICfgNormalValue_var& value, KroISpecObject_var& out);

  // Modifications, group modifications and changes.
  static HRESULT ModificationToSpecObject(const NlsModification& in, KroISpecObject_var& out);
  static HRESULT ModificationFromSpecObject(const KroISpecObject_var& in, NlsModification& out);
  static HRESULT ModificationSeqToSpecObjectList(const _IDL_SEQUENCE_NlsModification& in, KroISpecObject_var& out);
  static HRESULT ModificationSeqFromSpecObjectList(const KroISpecObject_var& in, _IDL_SEQUENCE_NlsModification& out);
  static HRESULT GroupModToSpecObject(const NlsGroupMod& in, KroISpecObject_var& out);
  static HRESULT GroupModFromSpecObject(const KroISpecObject_var& in, NlsGroupMod& out);
  // With the group's extended effectivity values, which travel beside the structure.
  static HRESULT GroupModToSpecObject(const NlsGroupMod& in,
                                      const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues& xev,
                                      KroISpecObject_var& out);
  static HRESULT GroupModFromSpecObject(const KroISpecObject_var& in, NlsGroupMod& out,
                                        DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues& xevOut);
  static HRESULT GroupModSeqToSpecObjectList(const _IDL_SEQUENCE_NlsGroupMod& in, KroISpecObject_var& out);
  static HRESULT GroupModSeqFromSpecObjectList(const KroISpecObject_var& in, _IDL_SEQUENCE_NlsGroupMod& out);
  static HRESULT ChangeToSpecObject(const NlsChange& in, KroISpecObject_var& out);
  static HRESULT ChangeFromSpecObject(const KroISpecObject_var& in, NlsChange& out);
  static HRESULT ChangeSeqToSpecObjectList(const _IDL_SEQUENCE_NlsChange& in, KroISpecObject_var& out);
  static HRESULT ChangeSeqFromSpecObjectList(const KroISpecObject_var& in, _IDL_SEQUENCE_NlsChange& out);

  // Spec expressions, basic and domain effectivities.
  static HRESULT SpecExpressionToSpecObject(const NlsSpecExpression& in, KroISpecObject_var& out);
  static HRESULT SpecExpressionFromSpecObject(const KroISpecObject_var& in, NlsSpecExpression& out);
  static HRESULT BasicEffectivityToSpecObject(const NlsBasicEffectivity& in, KroISpecObject_var& out);
  static HRESULT BasicEffectivityFromSpecObject(const KroISpecObject_var& in, NlsBasicEffectivity& out);
  static HRESULT BasicEffectivitySeqToSpecObjectList(const _IDL_SEQUENCE_NlsBasicEffectivity& in,
                                                     KroISpecObject_var& out);
  static HRESULT BasicEffectivitySeqFromSpecObjectList(const KroISpecObject_var& in,
                                                       _IDL_SEQUENCE_NlsBasicEffectivity& out);
  static HRESULT DomainEffectivityToSpecObject(const NlsDomainEffectivity& in, KroISpecObject_var& out);
  static HRESULT DomainEffectivityFromSpecObject(const KroISpecObject_var& in, NlsDomainEffectivity& out);
  static HRESULT DomainEffectivitySeqToSpecObjectList(const _IDL_SEQUENCE_NlsDomainEffectivity& in,
                                                      KroISpecObject_var& out);
  static HRESULT DomainEffectivitySeqFromSpecObjectList(const KroISpecObject_var& in,
                                                        _IDL_SEQUENCE_NlsDomainEffectivity& out);
  // Reads a "StreamerlstlstDomainEffectivity" tree; the streamer builds none.
  static HRESULT DomainEffectivitySeqSeqFromSpecObjectList(const KroISpecObject_var& in,
                                                           _IDL_SEQUENCE_NlsDomainEffectivitySeq& out);
};
