// Hands scripting clients the container in which the library keeps its spec objects.
#pragma once

#include "KroCfgSOExport.h"

#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(QuorIDispatchContainer);

class KRO_CFGSO_API QuorIDispatchContainer : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(QuorIDispatchContainer)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"GetContainer"};
  virtual HRESULT GetContainer(const KroUnicodeString& path, KroIContainer_var& out) = 0;
};
