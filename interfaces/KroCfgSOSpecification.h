// Keeps a configuration-model simple specification in the six attributes of a "CfgSOSpecification"
// spec object.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOSpecification : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOSpecification)
 public:
  HRESULT getName(KroUnicodeString& name);
  HRESULT getDescription(KroUnicodeString& description);
  HRESULT getAlias(KroUnicodeString& alias);
  HRESULT getCategoryName(KroUnicodeString& name);
  HRESULT getCategoryDescription(KroUnicodeString& description);
  HRESULT setSpecification(const KroICfgSimpleSpecification_var& spec);
  HRESULT getSpecification(KroICfgSimpleSpecification_var& spec);
  HRESULT toString(KroUnicodeString& text);
};
