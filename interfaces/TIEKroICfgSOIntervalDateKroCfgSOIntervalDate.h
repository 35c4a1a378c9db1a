// Presents KroCfgSOIntervalDate through KroICfgSOIntervalDate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOIntervalDate.h"
#include "KroICfgSOIntervalDate.h"

class KRO_CFGSO_API TIEKroICfgSOIntervalDateKroCfgSOIntervalDate : public KroTie<KroICfgSOIntervalDate, KroCfgSOIntervalDate> {
  KRO_TIE_FORWARDERS(KroICfgSOIntervalDate_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOIntervalDateKroCfgSOIntervalDate(KroBaseUnknown* implementation, KroBaseUnknown* second);
