// Keeps a configuration context in the four attributes of a "CfgSOContext" spec object.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOContext : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOContext)
 public:
  HRESULT setName(const KroUnicodeString& name);
  HRESULT getName(KroUnicodeString& name) const;
  HRESULT setType(const KroUnicodeString& type);
  HRESULT getType(KroUnicodeString& type) const;
  HRESULT setInfo(const KroUnicodeString& info);
  HRESULT getInfo(KroUnicodeString& info) const;
  HRESULT setUuid(const SEQUENCE_octet& uuid);
  HRESULT getUuid(SEQUENCE_octet& uuid) const;
};
