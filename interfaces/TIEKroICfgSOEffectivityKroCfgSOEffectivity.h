// Presents KroCfgSOEffectivity through KroICfgSOEffectivity.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOEffectivity.h"
#include "KroICfgSOEffectivity.h"

class KRO_CFGSO_API TIEKroICfgSOEffectivityKroCfgSOEffectivity : public KroTie<KroICfgSOEffectivity, KroCfgSOEffectivity> {
  KRO_TIE_FORWARDERS(KroICfgSOEffectivity_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOEffectivityKroCfgSOEffectivity(KroBaseUnknown* implementation,
                                                                   KroBaseUnknown* second);
