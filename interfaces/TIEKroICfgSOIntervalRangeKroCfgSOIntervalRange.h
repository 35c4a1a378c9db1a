// Presents KroCfgSOIntervalRange through KroICfgSOIntervalRange.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOIntervalRange.h"
#include "KroICfgSOIntervalRange.h"

class KRO_CFGSO_API TIEKroICfgSOIntervalRangeKroCfgSOIntervalRange : public KroTie<KroICfgSOIntervalRange, KroCfgSOIntervalRange> {
 public:
  using KroTie::KroTie;
  HRESULT getStart(int& v) const override { return Forward([&](KroCfgSOIntervalRange& o) { return o.getStart(v); }); }
  HRESULT getEnd(int& v) const override { return Forward([&](KroCfgSOIntervalRange& o) { return o.getEnd(v); }); }
  HRESULT setInterval(const KroICfgInterval_var& v) override { return Forward([&](KroCfgSOIntervalRange& o) { return o.setInterval(v); }); }
  HRESULT getInterval(KroICfgInterval_var& v) const override { return Forward([&](KroCfgSOIntervalRange& o) { return o.getInterval(v); }); }
  HRESULT setStart(const KroICfgSOMilestoneRange_var& v) override { return Forward([&](KroCfgSOIntervalRange& o) { return o.setStart(v); }); }
  HRESULT setEnd(const KroICfgSOMilestoneRange_var& v) override { return Forward([&](KroCfgSOIntervalRange& o) { return o.setEnd(v); }); }
  HRESULT getStart(KroICfgSOMilestoneRange_var& v) const override { return Forward([&](KroCfgSOIntervalRange& o) { return o.getStart(v); }); }
  HRESULT getEnd(KroICfgSOMilestoneRange_var& v) const override { return Forward([&](KroCfgSOIntervalRange& o) { return o.getEnd(v); }); }
  HRESULT toString(KroUnicodeString& v) const override { return Forward([&](KroCfgSOIntervalRange& o) { return o.toString(v); }); }
  HRESULT isInfinite(boolean& v) const override { return Forward([&](KroCfgSOIntervalRange& o) { return o.isInfinite(v); }); }
  HRESULT setInfinite(const boolean& v) override { return Forward([&](KroCfgSOIntervalRange& o) { return o.setInfinite(v); }); }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOIntervalRangeKroCfgSOIntervalRange(KroBaseUnknown* implementation, KroBaseUnknown* second);
