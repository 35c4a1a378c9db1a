// The identity of a variability space: its name and uuid, the CO party's uuid and description, and
// the CV party's uuid, name and information text.
#pragma once

#include "KroCfgSOExport.h"

#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOVariabilitySpace);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOVariabilitySpace_METHODS(M)                           \
  M(HRESULT, setName, , ((const KroUnicodeString&, name)))             \
  M(HRESULT, getName, const, ((KroUnicodeString&, name)))              \
  M(HRESULT, setUuid, , ((const SEQUENCE_octet&, uuid)))               \
  M(HRESULT, getUuid, const, ((SEQUENCE_octet&, uuid)))                \
  M(HRESULT, setCOUuid, , ((const SEQUENCE_octet&, uuid)))             \
  M(HRESULT, getCOUuid, const, ((SEQUENCE_octet&, uuid)))              \
  M(HRESULT, setCODesc, , ((const KroUnicodeString&, description)))    \
  M(HRESULT, getCODesc, const, ((KroUnicodeString&, description)))     \
  M(HRESULT, setCVUuid, , ((const SEQUENCE_octet&, uuid)))             \
  M(HRESULT, getCVUuid, const, ((SEQUENCE_octet&, uuid)))              \
  M(HRESULT, setCVName, , ((const KroUnicodeString&, name)))           \
  M(HRESULT, getCVName, const, ((KroUnicodeString&, name)))            \
  M(HRESULT, setCVInfo, , ((const KroUnicodeString&, info)))           \
  M(HRESULT, getCVInfo, const, ((KroUnicodeString&, info)))

class KRO_CFGSO_API KroICfgSOVariabilitySpace : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOVariabilitySpace)
  KRO_DISPATCH_METHODS(KroICfgSOVariabilitySpace, KroICfgSOVariabilitySpace_METHODS)
};
