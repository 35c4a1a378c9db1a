// Presents KroCfgSODate through KroICfgSODate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSODate.h"
#include "KroICfgSODate.h"
#include "KroTie.h"

class TIEKroICfgSODateKroCfgSODate : public KroTie<KroICfgSODate, KroCfgSODate> {
  KRO_TIE_FORWARDERS(KroICfgSODate_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSODateKroCfgSODate(KroBaseUnknown* implementation, KroBaseUnknown* second);
