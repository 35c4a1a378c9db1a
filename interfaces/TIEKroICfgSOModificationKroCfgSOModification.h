// Presents KroCfgSOModification through KroICfgSOModification.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOModification.h"
#include "KroICfgSOModification.h"

class KRO_CFGSO_API TIEKroICfgSOModificationKroCfgSOModification : public KroTie<KroICfgSOModification, KroCfgSOModification> {
  using Impl = KroCfgSOModification;

 public:
  using KroTie::KroTie;
  HRESULT getName(KroUnicodeString& v) override { return Forward([&](Impl& o) { return o.getName(v); }); }
  HRESULT getUuid(KroCfgUuid& v) override { return Forward([&](Impl& o) { return o.getUuid(v); }); }
  HRESULT getActionName(KroUnicodeString& v) override { return Forward([&](Impl& o) { return o.getActionName(v); }); }
  HRESULT getEffectivityString(KroUnicodeString& v) override {
    return Forward([&](Impl& o) { return o.getEffectivityString(v); });
  }
  HRESULT isUnderAction() override { return Forward([&](Impl& o) { return o.isUnderAction(); }); }
  HRESULT setModification(const KroICfgModification_var& v) override {
    return Forward([&](Impl& o) { return o.setModification(v); });
  }
  HRESULT getModification(KroICfgModification_var& v) override {
    return Forward([&](Impl& o) { return o.getModification(v); });
  }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOModificationKroCfgSOModification(KroBaseUnknown* implementation,
                                                                  KroBaseUnknown* second);
