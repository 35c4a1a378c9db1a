// The streamer's normal values and effectivity values. KroCfgStreamer derives from it, and clients call
// these through KroCfgStreamer.
#pragma once

#include "KroCfgBaseStreamer.h"

class KRO_CFGSO_API KroCfgValueStreamer : public KroCfgBaseStreamer {
 public:
  KroCfgValueStreamer() = delete;

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
};
