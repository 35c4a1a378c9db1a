// Presents KroCfgSOSpecification through KroICfgSOSpecification.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOSpecification.h"
#include "KroICfgSOSpecification.h"

class KRO_CFGSO_API TIEKroICfgSOSpecificationKroCfgSOSpecification : public KroTie<KroICfgSOSpecification, KroCfgSOSpecification> {
  KRO_TIE_FORWARDERS(KroICfgSOSpecification_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOSpecificationKroCfgSOSpecification(KroBaseUnknown* implementation,
                                                                     KroBaseUnknown* second);
