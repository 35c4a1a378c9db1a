// Keeps a span of ranks in a "CfgSOIntervalRanges" spec object. Each bound is a "CfgSOMilestoneRange"
// spec object in "Start"/"End" or, when none is there, the plain rank in "StartRange"/"EndRange".
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroCfgSOInterval.h"
#include "KroICfgSOMilestoneRange.h"

class KRO_CFGSO_API KroCfgSOIntervalRange : public KroCfgSOInterval {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOIntervalRange)
 public:
  HRESULT getStart(int& start) const;
  HRESULT getEnd(int& end) const;
  HRESULT setInterval(const KroICfgInterval_var& interval);
  HRESULT getInterval(KroICfgInterval_var& interval) const;
  HRESULT setStart(const KroICfgSOMilestoneRange_var& start);
  HRESULT setEnd(const KroICfgSOMilestoneRange_var& end);
  HRESULT getStart(KroICfgSOMilestoneRange_var& start) const;
  HRESULT getEnd(KroICfgSOMilestoneRange_var& end) const;
  HRESULT toString(KroUnicodeString& text) const;
};
