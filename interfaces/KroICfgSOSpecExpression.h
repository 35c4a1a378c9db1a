// A configuration-model AND-expression kept as a spec object: one specification spec object and one
// sign per term, in two parallel lists.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOSpecExpression);

class KRO_CFGSO_API KroICfgSOSpecExpression : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOSpecExpression)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"addSpecification", "getAllSpecifications", "setSpecExpression", "getSpecExpression"};
  // Appends one term; E_INVALIDARG for a null specification.
  virtual HRESULT addSpecification(const KroICfgSimpleSpecification_var& spec, int sign) = 0;
  // The live specifications of the terms, in order.
  virtual HRESULT getAllSpecifications(KroListValKroICfgSimpleSpecification_var& specs) = 0;
  // Replaces the whole record; E_INVALIDARG (record emptied) for null.
  virtual HRESULT setSpecExpression(const KroICfgSpecANDExpression_var& expr) = 0;
  // A new expression rebuilt from the record; E_UNEXPECTED when the two lists differ in length.
  virtual HRESULT getSpecExpression(KroICfgSpecANDExpression_var& expr) = 0;
};
