// Presents KroCfgSOMilestoneDate through KroICfgSOMilestoneDate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOMilestoneDate.h"
#include "KroICfgSOMilestoneDate.h"
#include "KroTie.h"

class TIEKroICfgSOMilestoneDateKroCfgSOMilestoneDate : public KroTie<KroICfgSOMilestoneDate, KroCfgSOMilestoneDate> {
  KRO_TIE_FORWARDERS(KroICfgSOMilestoneDate_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOMilestoneDateKroCfgSOMilestoneDate(KroBaseUnknown* implementation,
    KroBaseUnknown* second);
