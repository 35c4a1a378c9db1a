// Presents KroCfgSOIntervalRange through KroICfgSOIntervalRange.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOIntervalRange.h"
#include "KroICfgSOIntervalRange.h"

class KRO_CFGSO_API TIEKroICfgSOIntervalRangeKroCfgSOIntervalRange : public KroTie<KroICfgSOIntervalRange, KroCfgSOIntervalRange> {
  KRO_TIE_FORWARDERS(KroICfgSOIntervalRange_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOIntervalRangeKroCfgSOIntervalRange(KroBaseUnknown* implementation, KroBaseUnknown* second);
