// Presents KroCfgSOSpecification through KroICfgSOSpecification.
#pragma once

#include "KroCfgSOSpecification.h"
#include "KroICfgSOSpecification.h"

class TIEKroICfgSOSpecificationKroCfgSOSpecification : public KroTie<KroICfgSOSpecification, KroCfgSOSpecification> {
  KRO_TIE_FORWARDERS(KroICfgSOSpecification_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOSpecificationKroCfgSOSpecification(KroBaseUnknown* implementation,
                                                                     KroBaseUnknown* second);
