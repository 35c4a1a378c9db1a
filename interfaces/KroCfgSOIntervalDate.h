// Keeps a span of dates in a "CfgSOIntervalDates" spec object. Each bound is a "CfgSODate" or a
// "CfgSOMilestoneDate" spec object.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroCfgSOInterval.h"
#include "KroICfgSOMilestoneDate.h"
#include "KroTime.h"

class KRO_CFGSO_API KroCfgSOIntervalDate : public KroCfgSOInterval {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOIntervalDate)
 public:
  HRESULT getStart(KroTime& start) const;
  HRESULT getEnd(KroTime& end) const;
  HRESULT setInterval(const KroICfgInterval_var& interval);
  HRESULT getInterval(KroICfgInterval_var& interval) const;
  HRESULT setStart(const KroICfgSOMilestoneDate_var& start);
  HRESULT setEnd(const KroICfgSOMilestoneDate_var& end);
  HRESULT getStart(KroICfgSOMilestoneDate_var& start) const;
  HRESULT getEnd(KroICfgSOMilestoneDate_var& end) const;
  HRESULT toString(KroUnicodeString& text) const;
};
