// Presents QuorCfgDispatchContainer through QuorIDispatchContainer.
#pragma once

#include "KroCfgSOExport.h"

#include "QuorCfgDispatchContainer.h"
#include "QuorIDispatchContainer.h"

class KRO_CFGSO_API TIEQuorIDispatchContainerQuorCfgDispatchContainer
    : public KroTie<QuorIDispatchContainer, QuorCfgDispatchContainer> {
 public:
  using KroTie::KroTie;
  HRESULT GetContainer(const KroUnicodeString& path, KroIContainer_var& out) override {
    return Forward([&](QuorCfgDispatchContainer& o) { return o.GetContainer(path, out); });
  }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEQuorIDispatchContainerQuorCfgDispatchContainer(KroBaseUnknown* implementation,
                                                                       KroBaseUnknown* second);
