// Presents KroCfgSODate through KroICfgSODate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSODate.h"
#include "KroICfgSODate.h"

class KRO_CFGSO_API TIEKroICfgSODateKroCfgSODate : public KroTie<KroICfgSODate, KroCfgSODate> {
  KRO_TIE_FORWARDERS(KroICfgSODate_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSODateKroCfgSODate(KroBaseUnknown* implementation, KroBaseUnknown* second);
