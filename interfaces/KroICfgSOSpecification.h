// A configuration-model simple specification kept as a spec object: its name, description, alias and
// uuid, and the name and description of its category.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOSpecification);

class KRO_CFGSO_API KroICfgSOSpecification : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOSpecification)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"getName", "getDescription", "getAlias", "getCategoryName", "getCategoryDescription", "setSpecification", "getSpecification", "toString"};
  virtual HRESULT getName(KroUnicodeString& name) = 0;
  virtual HRESULT getDescription(KroUnicodeString& description) = 0;
  virtual HRESULT getAlias(KroUnicodeString& alias) = 0;
  virtual HRESULT getCategoryName(KroUnicodeString& name) = 0;
  virtual HRESULT getCategoryDescription(KroUnicodeString& description) = 0;
  // S_FALSE for null: empties every field but the uuid.
  virtual HRESULT setSpecification(const KroICfgSimpleSpecification_var& spec) = 0;
  // Binds the stored uuid back to the live specification.
  virtual HRESULT getSpecification(KroICfgSimpleSpecification_var& spec) = 0;
  virtual HRESULT toString(KroUnicodeString& text) = 0;
};
