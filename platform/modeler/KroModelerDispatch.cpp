// Dispatch tables of the modeler's interfaces that scripts use: containers, spec objects and linkable
// objects. These interfaces are declared by hand, so their lists name only the methods scripts reach;
// the compiler checks each entry against its declaration.
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

#define KroIContainer_SCRIPTED(M)                                            \
  M(KroUnicodeString, GetName, const, ())                                    \
  /* The startup carries a reference, which the result variant takes over. */ \
  M(KroISpecObject*, FindStartUpByName, , ((const KroUnicodeString&, name)))  \
  M(KroListValKroISpecObject_var, ListStartUps, , ())                        \
  M(KroListValKroISpecObject_var, ListObjects, , ())                         \
  M(int, CountObjects, const, ())                                            \
  M(HRESULT, RemoveObject, , ((KroISpecObject*, object)))                    \
  M(int, Collect, , ())                                                      \
  M(HRESULT, SetTransient, , ((boolean, transient)))                         \
  M(boolean, IsTransient, const, ())                                         \
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

#define KroILinkableObject_SCRIPTED(M) M(HRESULT, GetUuid, , ((SEQUENCE_octet&, uuid)))

KRO_DISPATCH_TABLE_FOR(KroIContainer, KroIContainer_SCRIPTED)
KRO_DISPATCH_TABLE_FOR(KroISpecObject, KroISpecObject_SCRIPTED)
KRO_DISPATCH_TABLE_FOR(KroILinkableObject, KroILinkableObject_SCRIPTED)
