// Presents KroCfgSOIntervalRange through KroICfgSOIntervalRange.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOIntervalRange.h"
#include "KroICfgSOIntervalRange.h"
#include "KroTie.h"

class TIEKroICfgSOIntervalRangeKroCfgSOIntervalRange : public KroTie<KroICfgSOIntervalRange, KroCfgSOIntervalRange> {
  KRO_TIE_FORWARDERS(KroICfgSOIntervalRange_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOIntervalRangeKroCfgSOIntervalRange(KroBaseUnknown* implementation, KroBaseUnknown* second);
