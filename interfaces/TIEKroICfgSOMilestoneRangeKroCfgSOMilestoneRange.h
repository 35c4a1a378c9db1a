// Presents KroCfgSOMilestoneRange through KroICfgSOMilestoneRange.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOMilestoneRange.h"
#include "KroICfgSOMilestoneRange.h"

class KRO_CFGSO_API TIEKroICfgSOMilestoneRangeKroCfgSOMilestoneRange : public KroTie<KroICfgSOMilestoneRange, KroCfgSOMilestoneRange> {
  KRO_TIE_FORWARDERS(KroICfgSOMilestoneRange_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOMilestoneRangeKroCfgSOMilestoneRange(KroBaseUnknown* implementation,
    KroBaseUnknown* second);
