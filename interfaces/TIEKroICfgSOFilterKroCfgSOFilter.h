// Presents KroCfgSOFilter through KroICfgSOFilter.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOFilter.h"
#include "KroICfgSOFilter.h"

class KRO_CFGSO_API TIEKroICfgSOFilterKroCfgSOFilter : public KroTie<KroICfgSOFilter, KroCfgSOFilter> {
  KRO_TIE_FORWARDERS(KroICfgSOFilter_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOFilterKroCfgSOFilter(KroBaseUnknown* implementation, KroBaseUnknown* second);
