// Streams the configuration server's IDL structures to trees of spec objects and back. Each structure
// becomes an instance of a "Streamer..." startup of the feature catalog, one attribute per field; a
// sequence becomes a "Streamerlst..." instance whose list attribute holds one child per element.
//
// The operations are static, grouped by subject in the classes it derives from, each compiled on its
// own: names, base objects and time (KroCfgBaseStreamer); normal and effectivity values
// (KroCfgValueStreamer); modifications and changes (KroCfgChangeStreamer); spec expressions and
// effectivities (here). Call them all as KroCfgStreamer::X.
#pragma once

#include "KroCfgChangeStreamer.h"

class KRO_CFGSO_API KroCfgStreamer : public KroCfgChangeStreamer {
 public:
  KroCfgStreamer() = delete;

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
