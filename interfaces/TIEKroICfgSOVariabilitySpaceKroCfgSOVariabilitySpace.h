// Presents KroCfgSOVariabilitySpace through KroICfgSOVariabilitySpace.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOVariabilitySpace.h"
#include "KroICfgSOVariabilitySpace.h"

class KRO_CFGSO_API TIEKroICfgSOVariabilitySpaceKroCfgSOVariabilitySpace : public KroTie<KroICfgSOVariabilitySpace, KroCfgSOVariabilitySpace> {
  KRO_TIE_FORWARDERS(KroICfgSOVariabilitySpace_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOVariabilitySpaceKroCfgSOVariabilitySpace(KroBaseUnknown* implementation,
                                                                          KroBaseUnknown* second);
