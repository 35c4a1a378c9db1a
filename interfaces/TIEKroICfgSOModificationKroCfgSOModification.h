// Presents KroCfgSOModification through KroICfgSOModification.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOModification.h"
#include "KroICfgSOModification.h"

class KRO_CFGSO_API TIEKroICfgSOModificationKroCfgSOModification : public KroTie<KroICfgSOModification, KroCfgSOModification> {
  KRO_TIE_FORWARDERS(KroICfgSOModification_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOModificationKroCfgSOModification(KroBaseUnknown* implementation,
                                                                  KroBaseUnknown* second);
