// Presents KroCfgSOSpecification through KroICfgSOSpecification.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOSpecification.h"
#include "KroICfgSOSpecification.h"
#include "KroTie.h"

class TIEKroICfgSOSpecificationKroCfgSOSpecification : public KroTie<KroICfgSOSpecification, KroCfgSOSpecification> {
  KRO_TIE_FORWARDERS(KroICfgSOSpecification_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOSpecificationKroCfgSOSpecification(KroBaseUnknown* implementation,
                                                                     KroBaseUnknown* second);
