// Extension of "CfgDispatchContainer" spec objects that gives out the library's shared container.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOFramework.h"

class KRO_CFGSO_API QuorCfgDispatchContainer : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(QuorCfgDispatchContainer)
 public:
  // The path is only traced: every caller gets the same container.
  HRESULT GetContainer(const KroUnicodeString& path, KroIContainer_var& out);
};
