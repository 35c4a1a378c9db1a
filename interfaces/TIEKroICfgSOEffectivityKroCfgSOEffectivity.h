// Presents KroCfgSOEffectivity through KroICfgSOEffectivity.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOEffectivity.h"
#include "KroICfgSOEffectivity.h"
#include "KroTie.h"

class TIEKroICfgSOEffectivityKroCfgSOEffectivity : public KroTie<KroICfgSOEffectivity, KroCfgSOEffectivity> {
  KRO_TIE_FORWARDERS(KroICfgSOEffectivity_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOEffectivityKroCfgSOEffectivity(KroBaseUnknown* implementation,
                                                                   KroBaseUnknown* second);
