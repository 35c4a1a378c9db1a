// Presents KroCfgSOEffectivity through KroICfgSOEffectivity.
#pragma once

#include "KroCfgSOEffectivity.h"
#include "KroICfgSOEffectivity.h"

class TIEKroICfgSOEffectivityKroCfgSOEffectivity : public KroTie<KroICfgSOEffectivity, KroCfgSOEffectivity> {
 public:
  using KroTie::KroTie;
  HRESULT getDomain(KroUnicodeString& v) override { return Forward([&](KroCfgSOEffectivity& o) { return o.getDomain(v); }); }
  HRESULT setXEff(const KroICfgXEff_var& v) override { return Forward([&](KroCfgSOEffectivity& o) { return o.setXEff(v); }); }
  HRESULT getXEff(KroICfgXEff_var& v) override { return Forward([&](KroCfgSOEffectivity& o) { return o.getXEff(v); }); }
};

KroBaseUnknown* CreateTIEKroICfgSOEffectivityKroCfgSOEffectivity(KroBaseUnknown* implementation,
                                                                   KroBaseUnknown* second);
