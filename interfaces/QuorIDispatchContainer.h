// Hands scripting clients the container in which the library keeps its spec objects.
#pragma once

#include "KroCfgSOExport.h"

#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(QuorIDispatchContainer);

// The methods in slot order; a method's dispatch id is its position.
#define QuorIDispatchContainer_METHODS(M)                                                     \
  M(HRESULT, GetContainer, , ((const KroUnicodeString&, path), (KroIContainer_var&, out)))

class KRO_CFGSO_API QuorIDispatchContainer : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(QuorIDispatchContainer)
  KRO_DISPATCH_METHODS(QuorIDispatchContainer, QuorIDispatchContainer_METHODS)
};
