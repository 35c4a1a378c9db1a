// The streamer's modifications, group modifications and changes. KroCfgStreamer derives from it, and
// clients call these through KroCfgStreamer.
#pragma once

#include "KroCfgValueStreamer.h"

class KRO_CFGSO_API KroCfgChangeStreamer : public KroCfgValueStreamer {
 public:
  KroCfgChangeStreamer() = delete;

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
};
