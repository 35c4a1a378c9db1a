// Presents KroCfgSODate through KroICfgSODate.
#pragma once

#include "KroCfgSODate.h"
#include "KroICfgSODate.h"

class TIEKroICfgSODateKroCfgSODate : public KroTie<KroICfgSODate, KroCfgSODate> {
 public:
  using KroTie::KroTie;
  HRESULT getKroTime(KroTime& v) const override { return Forward([&](KroCfgSODate& o) { return o.getKroTime(v); }); }
  HRESULT setKroTime(const KroTime& v) override { return Forward([&](KroCfgSODate& o) { return o.setKroTime(v); }); }
};

KroBaseUnknown* CreateTIEKroICfgSODateKroCfgSODate(KroBaseUnknown* implementation, KroBaseUnknown* second);
