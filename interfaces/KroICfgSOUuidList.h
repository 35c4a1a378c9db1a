// An ordered, growable list of uuids kept in a spec object, one attribute per element. Positions run
// from 1 to Size().
#pragma once

#include "KroCfgSOExport.h"

#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOUuidList);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOUuidList_METHODS(M)                                               \
  /* The element count. */                                                         \
  M(int, Size, const, ())                                                          \
  M(HRESULT, Append, , ((const SEQUENCE_octet&, uuid)))                            \
  /* E_FAIL for a position outside 1 to Size() or an element without octets. */    \
  M(HRESULT, ElementAt, const, ((long, position), (SEQUENCE_octet&, uuid)))        \
  /* Never adds an element; E_FAIL only for a position outside 1 to Size(). */     \
  M(HRESULT, SetElementAt, , ((long, position), (const SEQUENCE_octet&, uuid)))    \
  /* Removes every element. */                                                     \
  M(void, Empty, , ())

class KRO_CFGSO_API KroICfgSOUuidList : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOUuidList)
  KRO_DISPATCH_METHODS(KroICfgSOUuidList, KroICfgSOUuidList_METHODS)
};
