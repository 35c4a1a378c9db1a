// Presents KroCfgSOSpecExpression through KroICfgSOSpecExpression.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOSpecExpression.h"
#include "KroICfgSOSpecExpression.h"

class KRO_CFGSO_API TIEKroICfgSOSpecExpressionKroCfgSOSpecExpression
    : public KroTie<KroICfgSOSpecExpression, KroCfgSOSpecExpression> {
 public:
  using KroTie::KroTie;
  HRESULT addSpecification(const KroICfgSimpleSpecification_var& spec, int sign) override {
    return Forward([&](KroCfgSOSpecExpression& o) { return o.addSpecification(spec, sign); });
  }
  HRESULT getAllSpecifications(KroListValKroICfgSimpleSpecification_var& v) override {
    return Forward([&](KroCfgSOSpecExpression& o) { return o.getAllSpecifications(v); });
  }
  HRESULT setSpecExpression(const KroICfgSpecANDExpression_var& v) override {
    return Forward([&](KroCfgSOSpecExpression& o) { return o.setSpecExpression(v); });
  }
  HRESULT getSpecExpression(KroICfgSpecANDExpression_var& v) override {
    return Forward([&](KroCfgSOSpecExpression& o) { return o.getSpecExpression(v); });
  }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOSpecExpressionKroCfgSOSpecExpression(KroBaseUnknown* implementation,
                                                                       KroBaseUnknown* second);
