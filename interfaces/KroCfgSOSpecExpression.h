// Keeps a configuration-model AND-expression in a "CfgSOSpecExpression" spec object: the list of its
// specifications (nested "CfgSOSpecification" spec objects) and the list of their signs.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOSpecExpression : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOSpecExpression)
 public:
  KroCfgSOSpecExpression();
  ~KroCfgSOSpecExpression() override;

  HRESULT addSpecification(const KroICfgSimpleSpecification_var& spec, int sign);
  HRESULT getAllSpecifications(KroListValKroICfgSimpleSpecification_var& specs);
  HRESULT setSpecExpression(const KroICfgSpecANDExpression_var& expr);
  HRESULT getSpecExpression(KroICfgSpecANDExpression_var& expr);
  // Empties both lists.
  HRESULT clear();
};
