// Keeps a configuration-model extended effectivity in a "CfgSOEffectivity" spec object: the domain in
// "effdom" and one nested "CfgSOBasicEffectivity" spec object per basic effectivity in "effbas".
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOEffectivity : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOEffectivity)
 public:
  KroCfgSOEffectivity();
  ~KroCfgSOEffectivity() override;

  HRESULT getDomain(KroUnicodeString& domain);
  HRESULT setXEff(const KroICfgXEff_var& xeff);
  HRESULT getXEff(KroICfgXEff_var& xeff);
  // Empties both attributes.
  HRESULT clear();
};
