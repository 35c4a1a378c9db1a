// Presents KroCfgSOEffectivity through KroICfgSOEffectivity.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOEffectivity.h"
#include "KroICfgSOEffectivity.h"

class KRO_CFGSO_API TIEKroICfgSOEffectivityKroCfgSOEffectivity : public KroTie<KroICfgSOEffectivity, KroCfgSOEffectivity> {
 public:
  using KroTie::KroTie;
  HRESULT getDomain(KroUnicodeString& v) override { return Forward([&](KroCfgSOEffectivity& o) { return o.getDomain(v); }); }
  HRESULT setXEff(const KroICfgXEff_var& v) override { return Forward([&](KroCfgSOEffectivity& o) { return o.setXEff(v); }); }
  HRESULT getXEff(KroICfgXEff_var& v) override { return Forward([&](KroCfgSOEffectivity& o) { return o.getXEff(v); }); }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOEffectivityKroCfgSOEffectivity(KroBaseUnknown* implementation,
                                                                   KroBaseUnknown* second);
