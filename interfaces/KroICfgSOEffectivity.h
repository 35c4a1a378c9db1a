// A configuration-model extended effectivity kept as a spec object: its domain and one nested basic
// effectivity spec object per basic effectivity.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOEffectivity);

class KRO_CFGSO_API KroICfgSOEffectivity : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOEffectivity)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"getDomain", "setXEff", "getXEff"};
  // On failure the string is left as the caller passed it.
  virtual HRESULT getDomain(KroUnicodeString& domain) = 0;
  // Replaces the record; E_INVALIDARG (record emptied) for null.
  virtual HRESULT setXEff(const KroICfgXEff_var& xeff) = 0;
  // A new extended effectivity rebuilt from the record.
  virtual HRESULT getXEff(KroICfgXEff_var& xeff) = 0;
};
