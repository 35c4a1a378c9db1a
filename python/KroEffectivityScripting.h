// Effectivity queries for scripting clients: the query's operations as a class of statics with a
// dispatch list, reached through KroCreateStaticDispatch("KroEffectivityScripting"), so that scripts
// call them as they call everything else. A point's date and rank are variants, empty for none.
// Damaged records come back in the output rather than failing the call, so that the caller can say
// which object is damaged.
#pragma once

#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

#define KroEffectivityScripting_METHODS(M)                                                                \
  M(HRESULT, SelectInContainer, ,                                                                         \
    ((const KroIContainer_var&, container), (const KroUnicodeString&, domain), (const KroVariant&, date),   \
     (const KroVariant&, rank), (const KroListValKroUnicodeString&, specs), (boolean, mode150),            \
     (KroVariant&, matches), (KroVariant&, damaged)),                                                       \
    KroDispatchDoc("The container's records that hold at the point: matches has one [object, record, "     \
                   "late type, basic] per record, the object numbered as cfgso show numbers it, basic the " \
                   "basic effectivity that made it hold (0 for an expression record); damaged has one "     \
                   "[object, late type] per damaged record. E_INVALIDARG for a null container."))          \
  M(HRESULT, SelectFromRoots, ,                                                                           \
    ((const KroListValKroISpecObject_var&, roots), (const KroUnicodeString&, domain),                      \
     (const KroVariant&, date), (const KroVariant&, rank), (const KroListValKroUnicodeString&, specs),     \
     (boolean, mode150), (KroVariant&, matches), (KroVariant&, damaged)),                                   \
    KroDispatchDoc("As SelectInContainer, over the roots and every object they reach."))                   \
  M(HRESULT, RecordHolds, ,                                                                               \
    ((const KroISpecObject_var&, record), (const KroUnicodeString&, domain), (const KroVariant&, date),    \
     (const KroVariant&, rank), (const KroListValKroUnicodeString&, specs), (boolean, mode150),            \
     (int&, basic)),                                                                                        \
    KroDispatchDoc("S_OK when the record holds (basic: the basic effectivity that made it hold, 0 for an "  \
                   "expression record), S_FALSE when it does not; KRO_E_NOT_AN_EFFECTIVITY, "               \
                   "KRO_E_DAMAGED_EFFECTIVITY."),                                                            \
    KroResultIsAnswer{})

class KroEffectivityScripting {
 public:
  KRO_STATIC_DISPATCH_METHODS(KroEffectivityScripting, KroEffectivityScripting_METHODS)
};
