// Keeps a configuration filter in a "CfgSOFilter" spec object: id, domain, uuid, filtering mode and
// 150% mode flag. The class carries its own names.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOFilter : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOFilter)
 public:
  // The late type and startup name of filters.
  static const KroUnicodeString s_st_LATE_TYPE;
  // Attribute names.
  static const KroUnicodeString s_st_NAME;
  static const KroUnicodeString s_st_DOMAIN;
  static const KroUnicodeString s_st_UID;
  static const KroUnicodeString s_st_MODE;
  static const KroUnicodeString s_st_MODE_150;
  // Declared with the others; no operation reads or writes it.
  static const KroUnicodeString s_st_OWNING_CONTEXT;

  KroCfgSOFilter();
  ~KroCfgSOFilter() override;

  HRESULT setFilter(const KroICfgFilter_var& filter);
  HRESULT getFilter(KroICfgFilter_var& filter);
  // Empties the five attributes.
  void reset();
};
