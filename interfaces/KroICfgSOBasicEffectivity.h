// A configuration-model basic effectivity kept as a spec object: its interval (a nested date or range
// interval spec object) and its AND-expression (a nested specification-expression spec object).
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOBasicEffectivity);

class KRO_CFGSO_API KroICfgSOBasicEffectivity : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOBasicEffectivity)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"setBasicEffectivity", "getBasicEffectivity"};
  // Replaces the record. Only a single interval is kept; zero or several leave no interval.
  // E_INVALIDARG for null (record emptied) or an interval neither of dates nor of ranks.
  virtual HRESULT setBasicEffectivity(const KroICfgBasicEffectivity_var& effectivity) = 0;
  // A new basic effectivity rebuilt from the record.
  virtual HRESULT getBasicEffectivity(KroICfgBasicEffectivity_var& effectivity) = 0;
};
