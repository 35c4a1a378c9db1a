// Presents QuorCfgDispatchContainer through QuorIDispatchContainer.
#pragma once

#include "QuorCfgDispatchContainer.h"
#include "QuorIDispatchContainer.h"

class TIEQuorIDispatchContainerQuorCfgDispatchContainer
    : public KroTie<QuorIDispatchContainer, QuorCfgDispatchContainer> {
 public:
  using KroTie::KroTie;
  HRESULT GetContainer(const KroUnicodeString& path, KroIContainer_var& out) override {
    return Forward([&](QuorCfgDispatchContainer& o) { return o.GetContainer(path, out); });
  }
};

KroBaseUnknown* CreateTIEQuorIDispatchContainerQuorCfgDispatchContainer(KroBaseUnknown* implementation,
                                                                       KroBaseUnknown* second);
