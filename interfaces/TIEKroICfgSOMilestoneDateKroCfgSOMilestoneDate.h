// Presents KroCfgSOMilestoneDate through KroICfgSOMilestoneDate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOMilestoneDate.h"
#include "KroICfgSOMilestoneDate.h"

class KRO_CFGSO_API TIEKroICfgSOMilestoneDateKroCfgSOMilestoneDate
    : public KroTie<KroICfgSOMilestoneDate, KroCfgSOMilestoneDate> {
 public:
  using KroTie::KroTie;
  HRESULT setName(const KroUnicodeString& v) override { return Forward([&](KroCfgSOMilestoneDate& o) { return o.setName(v); }); }
  HRESULT getName(KroUnicodeString& v) const override { return Forward([&](KroCfgSOMilestoneDate& o) { return o.getName(v); }); }
  HRESULT setValue(const KroTime& v) override { return Forward([&](KroCfgSOMilestoneDate& o) { return o.setValue(v); }); }
  HRESULT getValue(KroTime& v) const override { return Forward([&](KroCfgSOMilestoneDate& o) { return o.getValue(v); }); }
  HRESULT setMilestone(const KroICfgMileStone_var& v) override {
    return Forward([&](KroCfgSOMilestoneDate& o) { return o.setMilestone(v); });
  }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOMilestoneDateKroCfgSOMilestoneDate(KroBaseUnknown* implementation,
    KroBaseUnknown* second);
