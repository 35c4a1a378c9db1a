// Presents QuorCfgDispatchContainer through QuorIDispatchContainer.
#pragma once

#include "KroCfgSOExport.h"

#include "KroTie.h"
#include "QuorCfgDispatchContainer.h"
#include "QuorIDispatchContainer.h"

class TIEQuorIDispatchContainerQuorCfgDispatchContainer : public KroTie<QuorIDispatchContainer, QuorCfgDispatchContainer> {
  KRO_TIE_FORWARDERS(QuorIDispatchContainer_METHODS)
};

KroBaseUnknown* CreateTIEQuorIDispatchContainerQuorCfgDispatchContainer(KroBaseUnknown* implementation,
                                                                       KroBaseUnknown* second);
