// Presents KroCfgSODate through KroICfgSODate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSODate.h"
#include "KroICfgSODate.h"

class KRO_CFGSO_API TIEKroICfgSODateKroCfgSODate : public KroTie<KroICfgSODate, KroCfgSODate> {
 public:
  using KroTie::KroTie;
  HRESULT getKroTime(KroTime& v) const override { return Forward([&](KroCfgSODate& o) { return o.getKroTime(v); }); }
  HRESULT setKroTime(const KroTime& v) override { return Forward([&](KroCfgSODate& o) { return o.setKroTime(v); }); }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSODateKroCfgSODate(KroBaseUnknown* implementation, KroBaseUnknown* second);
