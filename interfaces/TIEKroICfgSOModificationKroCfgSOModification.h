// Presents KroCfgSOModification through KroICfgSOModification.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOModification.h"
#include "KroICfgSOModification.h"
#include "KroTie.h"

class TIEKroICfgSOModificationKroCfgSOModification : public KroTie<KroICfgSOModification, KroCfgSOModification> {
  KRO_TIE_FORWARDERS(KroICfgSOModification_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOModificationKroCfgSOModification(KroBaseUnknown* implementation,
                                                                  KroBaseUnknown* second);
