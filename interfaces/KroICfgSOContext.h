// A configuration context: name, type, free-text information and uuid.
#pragma once

#include "KroCfgSOExport.h"

#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOContext);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOContext_METHODS(M)                                \
  M(HRESULT, setName, const, ((const KroUnicodeString&, name)))    \
  M(HRESULT, getName, const, ((KroUnicodeString&, name)))          \
  M(HRESULT, setType, , ((const KroUnicodeString&, type)))         \
  M(HRESULT, getType, const, ((KroUnicodeString&, type)))          \
  M(HRESULT, setInfo, , ((const KroUnicodeString&, info)))         \
  M(HRESULT, getInfo, , ((KroUnicodeString&, info)))               \
  M(HRESULT, setUuid, const, ((const SEQUENCE_octet&, uuid)))      \
  M(HRESULT, getUuid, const, ((SEQUENCE_octet&, uuid)))

class KRO_CFGSO_API KroICfgSOContext : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOContext)
  KRO_DISPATCH_METHODS(KroICfgSOContext, KroICfgSOContext_METHODS)
};
