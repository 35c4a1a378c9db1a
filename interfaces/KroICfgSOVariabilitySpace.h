// The identity of a variability space: its name and uuid, the CO party's uuid and description, and
// the CV party's uuid, name and information text.
#pragma once

#include "KroCfgSOExport.h"

#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOVariabilitySpace);

class KRO_CFGSO_API KroICfgSOVariabilitySpace : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOVariabilitySpace)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"setName", "getName", "setUuid", "getUuid", "setCOUuid", "getCOUuid", "setCODesc", "getCODesc", "setCVUuid", "getCVUuid", "setCVName", "getCVName", "setCVInfo", "getCVInfo"};
  virtual HRESULT setName(const KroUnicodeString& name) = 0;
  virtual HRESULT getName(KroUnicodeString& name) const = 0;
  virtual HRESULT setUuid(const SEQUENCE_octet& uuid) = 0;
  virtual HRESULT getUuid(SEQUENCE_octet& uuid) const = 0;
  virtual HRESULT setCOUuid(const SEQUENCE_octet& uuid) = 0;
  virtual HRESULT getCOUuid(SEQUENCE_octet& uuid) const = 0;
  virtual HRESULT setCODesc(const KroUnicodeString& description) = 0;
  virtual HRESULT getCODesc(KroUnicodeString& description) const = 0;
  virtual HRESULT setCVUuid(const SEQUENCE_octet& uuid) = 0;
  virtual HRESULT getCVUuid(SEQUENCE_octet& uuid) const = 0;
  virtual HRESULT setCVName(const KroUnicodeString& name) = 0;
  virtual HRESULT getCVName(KroUnicodeString& name) const = 0;
  virtual HRESULT setCVInfo(const KroUnicodeString& info) = 0;
  virtual HRESULT getCVInfo(KroUnicodeString& info) const = 0;
};
