// Presents KroCfgSOMilestoneRange through KroICfgSOMilestoneRange.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOMilestoneRange.h"
#include "KroICfgSOMilestoneRange.h"

class KRO_CFGSO_API TIEKroICfgSOMilestoneRangeKroCfgSOMilestoneRange
    : public KroTie<KroICfgSOMilestoneRange, KroCfgSOMilestoneRange> {
 public:
  using KroTie::KroTie;
  HRESULT setName(const KroUnicodeString& v) override { return Forward([&](KroCfgSOMilestoneRange& o) { return o.setName(v); }); }
  HRESULT getName(KroUnicodeString& v) const override { return Forward([&](KroCfgSOMilestoneRange& o) { return o.getName(v); }); }
  HRESULT setValue(const int& v) override { return Forward([&](KroCfgSOMilestoneRange& o) { return o.setValue(v); }); }
  HRESULT getValue(int& v) const override { return Forward([&](KroCfgSOMilestoneRange& o) { return o.getValue(v); }); }
  HRESULT setMilestone(const KroICfgMileStone_var& v) override {
    return Forward([&](KroCfgSOMilestoneRange& o) { return o.setMilestone(v); });
  }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOMilestoneRangeKroCfgSOMilestoneRange(KroBaseUnknown* implementation,
    KroBaseUnknown* second);
