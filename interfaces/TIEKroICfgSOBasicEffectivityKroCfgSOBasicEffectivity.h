// Presents KroCfgSOBasicEffectivity through KroICfgSOBasicEffectivity.
#pragma once

#include "KroCfgSOBasicEffectivity.h"
#include "KroICfgSOBasicEffectivity.h"

class TIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity
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

KroBaseUnknown* CreateTIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity(KroBaseUnknown* implementation,
                                                                           KroBaseUnknown* second);
