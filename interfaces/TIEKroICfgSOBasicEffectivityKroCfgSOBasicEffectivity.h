// Presents KroCfgSOBasicEffectivity through KroICfgSOBasicEffectivity.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOBasicEffectivity.h"
#include "KroICfgSOBasicEffectivity.h"

class KRO_CFGSO_API TIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity
    : public KroTie<KroICfgSOBasicEffectivity, KroCfgSOBasicEffectivity> {
 public:
  using KroTie::KroTie;
  HRESULT setBasicEffectivity(const KroICfgBasicEffectivity_var& v) override {
    return Forward([&](KroCfgSOBasicEffectivity& o) { return o.setBasicEffectivity(v); });
  }
  HRESULT getBasicEffectivity(KroICfgBasicEffectivity_var& v) override {
    return Forward([&](KroCfgSOBasicEffectivity& o) { return o.getBasicEffectivity(v); });
  }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity(KroBaseUnknown* implementation,
                                                                           KroBaseUnknown* second);
