// Presents KroCfgSOContext through KroICfgSOContext.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOContext.h"
#include "KroICfgSOContext.h"

class KRO_CFGSO_API TIEKroICfgSOContextKroCfgSOContext : public KroTie<KroICfgSOContext, KroCfgSOContext> {
  KRO_TIE_FORWARDERS(KroICfgSOContext_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOContextKroCfgSOContext(KroBaseUnknown* implementation, KroBaseUnknown* second);
