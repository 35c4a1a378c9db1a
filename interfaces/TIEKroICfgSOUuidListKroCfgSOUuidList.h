// Presents KroCfgSOUuidList through KroICfgSOUuidList.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOUuidList.h"
#include "KroICfgSOUuidList.h"

class KRO_CFGSO_API TIEKroICfgSOUuidListKroCfgSOUuidList : public KroTie<KroICfgSOUuidList, KroCfgSOUuidList> {
  KRO_TIE_FORWARDERS(KroICfgSOUuidList_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOUuidListKroCfgSOUuidList(KroBaseUnknown* implementation, KroBaseUnknown* second);
