// A configuration-model basic effectivity kept as a spec object: its interval (a nested date or range
// interval spec object) and its AND-expression (a nested specification-expression spec object).
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOBasicEffectivity);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOBasicEffectivity_METHODS(M)                                                                     \
  M(HRESULT, setBasicEffectivity, , ((const KroICfgBasicEffectivity_var&, effectivity)),                         \
    KroDispatchDoc("Replaces the record. Only a single interval is kept; zero or several leave no interval. "    \
                   "E_INVALIDARG for null (record emptied) or an interval neither of dates nor of ranks."))      \
  M(HRESULT, getBasicEffectivity, , ((KroICfgBasicEffectivity_var&, effectivity)),                               \
    KroDispatchDoc("A new basic effectivity rebuilt from the record."))

class KRO_CFGSO_API KroICfgSOBasicEffectivity : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOBasicEffectivity)
  KRO_DISPATCH_METHODS(KroICfgSOBasicEffectivity, KroICfgSOBasicEffectivity_METHODS)
};
