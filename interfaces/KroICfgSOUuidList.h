// An ordered, growable list of uuids kept in a spec object, one attribute per element. Positions run
// from 1 to Size(); AppendAll and GetAll move the whole list in one call.
#pragma once

#include "KroCfgSOExport.h"

#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOUuidList);

using KroListValSEQUENCE_octet = KroList<SEQUENCE_octet>;

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOUuidList_METHODS(M)                                                                        \
  M(int, Size, const, (),                                                                                   \
    KroDispatchDoc("The element count."))                                                                   \
  M(HRESULT, Append, , ((const SEQUENCE_octet&, uuid)))                                                     \
  M(HRESULT, ElementAt, const, ((long, position), (SEQUENCE_octet&, uuid)),                                 \
    KroDispatchDoc("E_FAIL for a position outside 1 to Size() or an element without octets."))              \
  M(HRESULT, SetElementAt, , ((long, position), (const SEQUENCE_octet&, uuid)),                             \
    KroDispatchDoc("Never adds an element; E_FAIL for a position outside 1 to Size(), E_INVALIDARG for "    \
                   "a uuid not of 16 bytes where the element was appended by AppendAll."))                  \
  M(void, Empty, , (),                                                                                      \
    KroDispatchDoc("Removes every element."))                                                               \
  M(HRESULT, AppendAll, , ((const KroListValSEQUENCE_octet&, uuids)),                                       \
    KroDispatchDoc("Appends each uuid in order, in one call; uuids of 16 bytes are kept several to an "     \
                   "attribute."))                                                                           \
  M(HRESULT, GetAll, const, ((KroListValSEQUENCE_octet&, uuids)),                                           \
    KroDispatchDoc("Every element in order; E_FAIL, with the list emptied, when one has no octets."))

class KRO_CFGSO_API KroICfgSOUuidList : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOUuidList)
  KRO_DISPATCH_METHODS(KroICfgSOUuidList, KroICfgSOUuidList_METHODS)
};
