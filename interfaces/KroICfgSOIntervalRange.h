// A span of ranks kept in a spec object of late type CfgSOIntervalRanges. Each bound is a range
// milestone or, when none is held, a plain rank; an infinite interval has no end bound.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroICfgSOMilestoneRange.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOIntervalRange);

class KRO_CFGSO_API KroICfgSOIntervalRange : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOIntervalRange)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"getStart", "getEnd", "setInterval", "getInterval", "setStart", "setEnd", "getStart", "getEnd", "toString", "isInfinite", "setInfinite"};
  // The bound's rank: the milestone's when one is held, else the plain rank.
  virtual HRESULT getStart(int& start) const = 0;
  virtual HRESULT getEnd(int& end) const = 0;
  // From a model interval of type Range; null resets (S_FALSE), another type resets (E_FAIL).
  virtual HRESULT setInterval(const KroICfgInterval_var& interval) = 0;
  virtual HRESULT getInterval(KroICfgInterval_var& interval) const = 0;
  // A null milestone clears the bound; for the end it also makes the interval infinite.
  virtual HRESULT setStart(const KroICfgSOMilestoneRange_var& start) = 0;
  virtual HRESULT setEnd(const KroICfgSOMilestoneRange_var& end) = 0;
  // S_FALSE with null when no milestone holds the bound.
  virtual HRESULT getStart(KroICfgSOMilestoneRange_var& start) const = 0;
  virtual HRESULT getEnd(KroICfgSOMilestoneRange_var& end) const = 0;
  // "[start,end]" or "[start,infinite]".
  virtual HRESULT toString(KroUnicodeString& text) const = 0;
  virtual HRESULT isInfinite(boolean& infinite) const = 0;
  virtual HRESULT setInfinite(const boolean& infinite) = 0;
};
