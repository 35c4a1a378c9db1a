// Keeps a point in time in a "CfgSODate" spec object, as its second count in "S".
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOFramework.h"
#include "KroTime.h"

class KRO_CFGSO_API KroCfgSODate : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSODate)
 public:
  HRESULT getKroTime(KroTime& time) const;
  HRESULT setKroTime(const KroTime& time);
};
