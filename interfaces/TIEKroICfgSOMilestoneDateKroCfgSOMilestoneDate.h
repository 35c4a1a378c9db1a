// Presents KroCfgSOMilestoneDate through KroICfgSOMilestoneDate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOMilestoneDate.h"
#include "KroICfgSOMilestoneDate.h"

class KRO_CFGSO_API TIEKroICfgSOMilestoneDateKroCfgSOMilestoneDate : public KroTie<KroICfgSOMilestoneDate, KroCfgSOMilestoneDate> {
  KRO_TIE_FORWARDERS(KroICfgSOMilestoneDate_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOMilestoneDateKroCfgSOMilestoneDate(KroBaseUnknown* implementation,
    KroBaseUnknown* second);
