// A configuration-model extended effectivity kept as a spec object: its domain and one nested basic
// effectivity spec object per basic effectivity.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOEffectivity);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOEffectivity_METHODS(M)                                                \
  M(HRESULT, getDomain, , ((KroUnicodeString&, domain)),                               \
    KroDispatchDoc("On failure the string is left as the caller passed it."))          \
  M(HRESULT, setXEff, , ((const KroICfgXEff_var&, xeff)),                              \
    KroDispatchDoc("Replaces the record; E_INVALIDARG (record emptied) for null."))    \
  M(HRESULT, getXEff, , ((KroICfgXEff_var&, xeff)),                                    \
    KroDispatchDoc("A new extended effectivity rebuilt from the record."))

class KRO_CFGSO_API KroICfgSOEffectivity : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOEffectivity)
  KRO_DISPATCH_METHODS(KroICfgSOEffectivity, KroICfgSOEffectivity_METHODS)
};
