// Presents KroCfgSOFilter through KroICfgSOFilter.
#pragma once

#include "KroCfgSOFilter.h"
#include "KroICfgSOFilter.h"

class TIEKroICfgSOFilterKroCfgSOFilter : public KroTie<KroICfgSOFilter, KroCfgSOFilter> {
 public:
  using KroTie::KroTie;
  HRESULT setFilter(const KroICfgFilter_var& v) override {
    return Forward([&](KroCfgSOFilter& o) { return o.setFilter(v); });
  }
  HRESULT getFilter(KroICfgFilter_var& v) override { return Forward([&](KroCfgSOFilter& o) { return o.getFilter(v); }); }
};

KroBaseUnknown* CreateTIEKroICfgSOFilterKroCfgSOFilter(KroBaseUnknown* implementation, KroBaseUnknown* second);
