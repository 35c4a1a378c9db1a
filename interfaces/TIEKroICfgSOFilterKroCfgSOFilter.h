// Presents KroCfgSOFilter through KroICfgSOFilter.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOFilter.h"
#include "KroICfgSOFilter.h"

class KRO_CFGSO_API TIEKroICfgSOFilterKroCfgSOFilter : public KroTie<KroICfgSOFilter, KroCfgSOFilter> {
 public:
  using KroTie::KroTie;
  HRESULT setFilter(const KroICfgFilter_var& v) override {
    return Forward([&](KroCfgSOFilter& o) { return o.setFilter(v); });
  }
  HRESULT getFilter(KroICfgFilter_var& v) override { return Forward([&](KroCfgSOFilter& o) { return o.getFilter(v); }); }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOFilterKroCfgSOFilter(KroBaseUnknown* implementation, KroBaseUnknown* second);
