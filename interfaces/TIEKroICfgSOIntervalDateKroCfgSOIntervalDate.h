// Presents KroCfgSOIntervalDate through KroICfgSOIntervalDate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOIntervalDate.h"
#include "KroICfgSOIntervalDate.h"
#include "KroTie.h"

class TIEKroICfgSOIntervalDateKroCfgSOIntervalDate : public KroTie<KroICfgSOIntervalDate, KroCfgSOIntervalDate> {
  KRO_TIE_FORWARDERS(KroICfgSOIntervalDate_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOIntervalDateKroCfgSOIntervalDate(KroBaseUnknown* implementation, KroBaseUnknown* second);
