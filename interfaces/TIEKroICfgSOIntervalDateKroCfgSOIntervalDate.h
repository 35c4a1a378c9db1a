// Presents KroCfgSOIntervalDate through KroICfgSOIntervalDate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOIntervalDate.h"
#include "KroICfgSOIntervalDate.h"

class KRO_CFGSO_API TIEKroICfgSOIntervalDateKroCfgSOIntervalDate : public KroTie<KroICfgSOIntervalDate, KroCfgSOIntervalDate> {
 public:
  using KroTie::KroTie;
  HRESULT getStart(KroTime& v) const override { return Forward([&](KroCfgSOIntervalDate& o) { return o.getStart(v); }); }
  HRESULT getEnd(KroTime& v) const override { return Forward([&](KroCfgSOIntervalDate& o) { return o.getEnd(v); }); }
  HRESULT setInterval(const KroICfgInterval_var& v) override { return Forward([&](KroCfgSOIntervalDate& o) { return o.setInterval(v); }); }
  HRESULT getInterval(KroICfgInterval_var& v) const override { return Forward([&](KroCfgSOIntervalDate& o) { return o.getInterval(v); }); }
  HRESULT setStart(const KroICfgSOMilestoneDate_var& v) override { return Forward([&](KroCfgSOIntervalDate& o) { return o.setStart(v); }); }
  HRESULT setEnd(const KroICfgSOMilestoneDate_var& v) override { return Forward([&](KroCfgSOIntervalDate& o) { return o.setEnd(v); }); }
  HRESULT getStart(KroICfgSOMilestoneDate_var& v) const override { return Forward([&](KroCfgSOIntervalDate& o) { return o.getStart(v); }); }
  HRESULT getEnd(KroICfgSOMilestoneDate_var& v) const override { return Forward([&](KroCfgSOIntervalDate& o) { return o.getEnd(v); }); }
  HRESULT toString(KroUnicodeString& v) const override { return Forward([&](KroCfgSOIntervalDate& o) { return o.toString(v); }); }
  HRESULT isInfinite(boolean& v) const override { return Forward([&](KroCfgSOIntervalDate& o) { return o.isInfinite(v); }); }
  HRESULT setInfinite(const boolean& v) override { return Forward([&](KroCfgSOIntervalDate& o) { return o.setInfinite(v); }); }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOIntervalDateKroCfgSOIntervalDate(KroBaseUnknown* implementation, KroBaseUnknown* second);
