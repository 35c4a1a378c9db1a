// Presents KroCfgSOUuidList through KroICfgSOUuidList.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOUuidList.h"
#include "KroICfgSOUuidList.h"
#include "KroTie.h"

class TIEKroICfgSOUuidListKroCfgSOUuidList : public KroTie<KroICfgSOUuidList, KroCfgSOUuidList> {
  KRO_TIE_FORWARDERS(KroICfgSOUuidList_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOUuidListKroCfgSOUuidList(KroBaseUnknown* implementation, KroBaseUnknown* second);
