// A configuration context: name, type, free-text information and uuid.
#pragma once

#include "KroCfgSOExport.h"

#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOContext);

class KRO_CFGSO_API KroICfgSOContext : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOContext)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"setName", "getName", "setType", "getType", "setInfo", "getInfo", "setUuid", "getUuid"};
  virtual HRESULT setName(const KroUnicodeString& name) const = 0;
  virtual HRESULT getName(KroUnicodeString& name) const = 0;
  virtual HRESULT setType(const KroUnicodeString& type) = 0;
  virtual HRESULT getType(KroUnicodeString& type) const = 0;
  virtual HRESULT setInfo(const KroUnicodeString& info) = 0;
  virtual HRESULT getInfo(KroUnicodeString& info) = 0;
  virtual HRESULT setUuid(const SEQUENCE_octet& uuid) const = 0;
  virtual HRESULT getUuid(SEQUENCE_octet& uuid) const = 0;
};
