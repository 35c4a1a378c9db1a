// Presents KroCfgSOSpecification through KroICfgSOSpecification.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOSpecification.h"
#include "KroICfgSOSpecification.h"

class KRO_CFGSO_API TIEKroICfgSOSpecificationKroCfgSOSpecification
    : public KroTie<KroICfgSOSpecification, KroCfgSOSpecification> {
 public:
  using KroTie::KroTie;
  HRESULT getName(KroUnicodeString& v) override { return Forward([&](KroCfgSOSpecification& o) { return o.getName(v); }); }
  HRESULT getDescription(KroUnicodeString& v) override {
    return Forward([&](KroCfgSOSpecification& o) { return o.getDescription(v); });
  }
  HRESULT getAlias(KroUnicodeString& v) override { return Forward([&](KroCfgSOSpecification& o) { return o.getAlias(v); }); }
  HRESULT getCategoryName(KroUnicodeString& v) override {
    return Forward([&](KroCfgSOSpecification& o) { return o.getCategoryName(v); });
  }
  HRESULT getCategoryDescription(KroUnicodeString& v) override {
    return Forward([&](KroCfgSOSpecification& o) { return o.getCategoryDescription(v); });
  }
  HRESULT setSpecification(const KroICfgSimpleSpecification_var& v) override {
    return Forward([&](KroCfgSOSpecification& o) { return o.setSpecification(v); });
  }
  HRESULT getSpecification(KroICfgSimpleSpecification_var& v) override {
    return Forward([&](KroCfgSOSpecification& o) { return o.getSpecification(v); });
  }
  HRESULT toString(KroUnicodeString& v) override { return Forward([&](KroCfgSOSpecification& o) { return o.toString(v); }); }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOSpecificationKroCfgSOSpecification(KroBaseUnknown* implementation,
                                                                     KroBaseUnknown* second);
