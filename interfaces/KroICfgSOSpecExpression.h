// A configuration-model AND-expression kept as a spec object: one specification spec object and one
// sign per term, in two parallel lists.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOSpecExpression);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOSpecExpression_METHODS(M)                                                                   \
  M(HRESULT, addSpecification, , ((const KroICfgSimpleSpecification_var&, spec), (int, sign)),               \
    KroDispatchDoc("Appends one term; E_INVALIDARG for a null specification."))                              \
  M(HRESULT, getAllSpecifications, , ((KroListValKroICfgSimpleSpecification_var&, specs)),                   \
    KroDispatchDoc("The live specifications of the terms, in order."))                                       \
  M(HRESULT, setSpecExpression, , ((const KroICfgSpecANDExpression_var&, expr)),                             \
    KroDispatchDoc("Replaces the whole record; E_INVALIDARG (record emptied) for null. From Python, a "      \
                   "term without specification raises ArgumentValueError first."))                          \
  M(HRESULT, getSpecExpression, , ((KroICfgSpecANDExpression_var&, expr)),                                   \
    KroDispatchDoc("A new expression rebuilt from the record; E_UNEXPECTED when the two lists differ in "    \
                   "length."))

class KRO_CFGSO_API KroICfgSOSpecExpression : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOSpecExpression)
  KRO_DISPATCH_METHODS(KroICfgSOSpecExpression, KroICfgSOSpecExpression_METHODS)
};
