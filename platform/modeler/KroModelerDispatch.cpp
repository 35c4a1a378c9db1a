// Dispatch tables of the modeler's interfaces that scripts use: containers, spec objects, attribute
// access by name and linkable objects. These interfaces are declared by hand, so their lists name only
// the methods scripts reach; the compiler checks each entry against its declaration.
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"
#include "KroVariant.h"

#define KroIContainer_SCRIPTED(M)                                                               \
  M(KroUnicodeString, GetName, const, ())                                                       \
  M(KroISpecObject*, FindStartUpByName, , ((const KroUnicodeString&, name)),                    \
    KroDispatchDoc("The startup carries a reference, which the result variant takes over."))    \
  M(KroListValKroISpecObject_var, ListStartUps, , ())                                           \
  M(KroListValKroISpecObject_var, ListObjects, , ())                                            \
  M(int, CountObjects, const, ())                                                               \
  M(HRESULT, RemoveObject, , ((KroISpecObject*, object)))                                       \
  M(int, Collect, , ())                                                                         \
  M(HRESULT, SetTransient, , ((boolean, transient)))                                            \
  M(boolean, IsTransient, const, ())                                                            \
  M(HRESULT, RemoveTree, , ((KroISpecObject*, root), (int&, removed)))

#define KroISpecObject_SCRIPTED(M)                                                                        \
  M(KroISpecObject*, Instanciate, , ((const KroUnicodeString&, name), (const KroIContainer_var&, container), \
                                     (int, flags)))                                                       \
  M(KroUnicodeString, GetName, const, ())                                                                 \
  M(KroUnicodeString, GetLateType, const, ())                                                             \
  M(int, IsStartUp, const, ())                                                                            \
  M(int, CountAttributes, const, ())                                                                      \
  M(KroISpecObject*, GetStartUp, , ())                                                                    \
  M(KroIContainer*, GetContainer, , ())

#define KroISpecAttrAccess_SCRIPTED(M)                                                                              \
  M(HRESULT, DescribeAttributes, , ((KroListValKroUnicodeString&, names), (KroListValKroUnicodeString&, kinds)),    \
    KroDispatchDoc("The attributes' names in order and their kinds: \"integer\", \"double\", \"boolean\", "         \
                   "\"string\", \"octets\", \"specobject\", \"list integer\", \"list specobject\", ..."))           \
  M(HRESULT, GetAttributeValue, , ((const KroUnicodeString&, name), (KroVariant&, value)),                          \
    KroDispatchDoc("The value as the attribute's kind holds it; none when unset. E_INVALIDARG when no "             \
                   "attribute has the name."))                                                                      \
  M(HRESULT, SetAttributeValue, , ((const KroUnicodeString&, name), (const KroVariant&, value)),                    \
    KroDispatchDoc("None unsets; a list is replaced whole. E_INVALIDARG when no attribute has the name, "           \
                   "DISP_E_TYPEMISMATCH when the value does not suit the attribute's kind."))

#define KroILinkableObject_SCRIPTED(M) M(HRESULT, GetUuid, , ((SEQUENCE_octet&, uuid)))

KRO_DISPATCH_TABLE_FOR(KroIContainer, KroIContainer_SCRIPTED)
KRO_DISPATCH_TABLE_FOR(KroISpecObject, KroISpecObject_SCRIPTED)
KRO_DISPATCH_TABLE_FOR(KroILinkableObject, KroILinkableObject_SCRIPTED)
KRO_DISPATCH_TABLE_FOR(KroISpecAttrAccess, KroISpecAttrAccess_SCRIPTED)
