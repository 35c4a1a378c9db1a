// Presents KroCfgSOContext through KroICfgSOContext.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOContext.h"
#include "KroICfgSOContext.h"
#include "KroTie.h"

class TIEKroICfgSOContextKroCfgSOContext : public KroTie<KroICfgSOContext, KroCfgSOContext> {
  KRO_TIE_FORWARDERS(KroICfgSOContext_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOContextKroCfgSOContext(KroBaseUnknown* implementation, KroBaseUnknown* second);
