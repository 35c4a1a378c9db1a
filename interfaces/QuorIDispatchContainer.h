// Hands scripting clients the container in which the library keeps its spec objects.
#pragma once

#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(QuorIDispatchContainer);

class QuorIDispatchContainer : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(QuorIDispatchContainer)
  virtual HRESULT GetContainer(const KroUnicodeString& path, KroIContainer_var& out) = 0;
};
