// Presents KroCfgSOBasicEffectivity through KroICfgSOBasicEffectivity.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOBasicEffectivity.h"
#include "KroICfgSOBasicEffectivity.h"

class KRO_CFGSO_API TIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity : public KroTie<KroICfgSOBasicEffectivity, KroCfgSOBasicEffectivity> {
  KRO_TIE_FORWARDERS(KroICfgSOBasicEffectivity_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity(KroBaseUnknown* implementation,
                                                                           KroBaseUnknown* second);
