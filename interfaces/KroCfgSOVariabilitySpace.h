// Keeps the identity of a variability space in the seven attributes of a "CfgSOVariabilitySpace"
// spec object. Stores and returns the values as given; checks and converts nothing.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOVariabilitySpace : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOVariabilitySpace)
 public:
  HRESULT setName(const KroUnicodeString& name);
  HRESULT getName(KroUnicodeString& name) const;
  HRESULT setUuid(const SEQUENCE_octet& uuid);
  HRESULT getUuid(SEQUENCE_octet& uuid) const;
  HRESULT setCOUuid(const SEQUENCE_octet& uuid);
  HRESULT getCOUuid(SEQUENCE_octet& uuid) const;
  HRESULT setCODesc(const KroUnicodeString& description);
  HRESULT getCODesc(KroUnicodeString& description) const;
  HRESULT setCVUuid(const SEQUENCE_octet& uuid);
  HRESULT getCVUuid(SEQUENCE_octet& uuid) const;
  HRESULT setCVName(const KroUnicodeString& name);
  HRESULT getCVName(KroUnicodeString& name) const;
  HRESULT setCVInfo(const KroUnicodeString& info);
  HRESULT getCVInfo(KroUnicodeString& info) const;
};
