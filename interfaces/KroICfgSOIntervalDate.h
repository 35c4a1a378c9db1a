// A span of dates kept in a spec object of late type CfgSOIntervalDates. Each bound is a plain date
// (KroICfgSODate) or a date milestone; an infinite interval has no end bound.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroICfgSOMilestoneDate.h"
#include "KroModelerInterfaces.h"
#include "KroTime.h"

KRO_DECLARE_INTERFACE(KroICfgSOIntervalDate);

class KRO_CFGSO_API KroICfgSOIntervalDate : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOIntervalDate)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"getStart", "getEnd", "setInterval", "getInterval", "setStart", "setEnd", "getStart", "getEnd", "toString", "isInfinite", "setInfinite"};
  // The bound's date, whether held as a plain date or as a milestone. A missing start is E_FAIL, a
  // missing end S_FALSE (time at the epoch).
  virtual HRESULT getStart(KroTime& start) const = 0;
  virtual HRESULT getEnd(KroTime& end) const = 0;
  // From a model interval of type Date; null resets (S_FALSE), another type resets (E_FAIL).
  virtual HRESULT setInterval(const KroICfgInterval_var& interval) = 0;
  virtual HRESULT getInterval(KroICfgInterval_var& interval) const = 0;
  // A null milestone clears the bound; for the end it also makes the interval infinite.
  virtual HRESULT setStart(const KroICfgSOMilestoneDate_var& start) = 0;
  virtual HRESULT setEnd(const KroICfgSOMilestoneDate_var& end) = 0;
  // S_FALSE with null when the bound is empty or a plain date.
  virtual HRESULT getStart(KroICfgSOMilestoneDate_var& start) const = 0;
  virtual HRESULT getEnd(KroICfgSOMilestoneDate_var& end) const = 0;
  // "[start,end]" or "[start,infinite]".
  virtual HRESULT toString(KroUnicodeString& text) const = 0;
  virtual HRESULT isInfinite(boolean& infinite) const = 0;
  virtual HRESULT setInfinite(const boolean& infinite) = 0;
};
