// Presents KroCfgSOMilestoneRange through KroICfgSOMilestoneRange.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOMilestoneRange.h"
#include "KroICfgSOMilestoneRange.h"
#include "KroTie.h"

class TIEKroICfgSOMilestoneRangeKroCfgSOMilestoneRange : public KroTie<KroICfgSOMilestoneRange, KroCfgSOMilestoneRange> {
  KRO_TIE_FORWARDERS(KroICfgSOMilestoneRange_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOMilestoneRangeKroCfgSOMilestoneRange(KroBaseUnknown* implementation,
    KroBaseUnknown* second);
