// A configuration-model simple specification kept as a spec object: its name, description, alias and
// uuid, and the name and description of its category.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOSpecification);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOSpecification_METHODS(M)                                            \
  M(HRESULT, getName, , ((KroUnicodeString&, name)))                                 \
  M(HRESULT, getDescription, , ((KroUnicodeString&, description)))                   \
  M(HRESULT, getAlias, , ((KroUnicodeString&, alias)))                               \
  M(HRESULT, getCategoryName, , ((KroUnicodeString&, name)))                         \
  M(HRESULT, getCategoryDescription, , ((KroUnicodeString&, description)))           \
  M(HRESULT, setSpecification, , ((const KroICfgSimpleSpecification_var&, spec)),    \
    KroDispatchDoc("S_FALSE for null: empties every field but the uuid."))           \
  M(HRESULT, getSpecification, , ((KroICfgSimpleSpecification_var&, spec)),          \
    KroDispatchDoc("Binds the stored uuid back to the live specification."))         \
  M(HRESULT, toString, , ((KroUnicodeString&, text)))

class KRO_CFGSO_API KroICfgSOSpecification : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOSpecification)
  KRO_DISPATCH_METHODS(KroICfgSOSpecification, KroICfgSOSpecification_METHODS)
};
