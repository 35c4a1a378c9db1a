// Presents KroCfgSOBasicEffectivity through KroICfgSOBasicEffectivity.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOBasicEffectivity.h"
#include "KroICfgSOBasicEffectivity.h"
#include "KroTie.h"

class TIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity : public KroTie<KroICfgSOBasicEffectivity, KroCfgSOBasicEffectivity> {
  KRO_TIE_FORWARDERS(KroICfgSOBasicEffectivity_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity(KroBaseUnknown* implementation,
                                                                           KroBaseUnknown* second);
