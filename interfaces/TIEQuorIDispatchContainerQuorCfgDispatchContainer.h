// Presents QuorCfgDispatchContainer through QuorIDispatchContainer.
#pragma once

#include "KroCfgSOExport.h"

#include "QuorCfgDispatchContainer.h"
#include "QuorIDispatchContainer.h"

class KRO_CFGSO_API TIEQuorIDispatchContainerQuorCfgDispatchContainer : public KroTie<QuorIDispatchContainer, QuorCfgDispatchContainer> {
  KRO_TIE_FORWARDERS(QuorIDispatchContainer_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEQuorIDispatchContainerQuorCfgDispatchContainer(KroBaseUnknown* implementation,
                                                                       KroBaseUnknown* second);
