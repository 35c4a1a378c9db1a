// Presents KroCfgSOFilter through KroICfgSOFilter.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOFilter.h"
#include "KroICfgSOFilter.h"
#include "KroTie.h"

class TIEKroICfgSOFilterKroCfgSOFilter : public KroTie<KroICfgSOFilter, KroCfgSOFilter> {
  KRO_TIE_FORWARDERS(KroICfgSOFilter_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOFilterKroCfgSOFilter(KroBaseUnknown* implementation, KroBaseUnknown* second);
