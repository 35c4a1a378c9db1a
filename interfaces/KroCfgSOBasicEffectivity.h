// Keeps a configuration-model basic effectivity in a "CfgSOBasicEffectivity" spec object: a nested
// interval spec object in "interval" and a nested expression spec object in "specexpr".
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOBasicEffectivity : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOBasicEffectivity)
 public:
  KroCfgSOBasicEffectivity();
  ~KroCfgSOBasicEffectivity() override;

  HRESULT setBasicEffectivity(const KroICfgBasicEffectivity_var& effectivity);
  HRESULT getBasicEffectivity(KroICfgBasicEffectivity_var& effectivity);
  // Empties both attributes.
  HRESULT clear();
};
