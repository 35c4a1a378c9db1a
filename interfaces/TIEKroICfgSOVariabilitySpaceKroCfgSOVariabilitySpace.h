// Presents KroCfgSOVariabilitySpace through KroICfgSOVariabilitySpace.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOVariabilitySpace.h"
#include "KroICfgSOVariabilitySpace.h"
#include "KroTie.h"

class TIEKroICfgSOVariabilitySpaceKroCfgSOVariabilitySpace : public KroTie<KroICfgSOVariabilitySpace, KroCfgSOVariabilitySpace> {
  KRO_TIE_FORWARDERS(KroICfgSOVariabilitySpace_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOVariabilitySpaceKroCfgSOVariabilitySpace(KroBaseUnknown* implementation,
                                                                          KroBaseUnknown* second);
