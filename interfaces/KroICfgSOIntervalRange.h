// A span of ranks kept in a spec object of late type CfgSOIntervalRanges. Each bound is a range
// milestone or, when none is held, a plain rank; an infinite interval has no end bound.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroICfgSOMilestoneRange.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOIntervalRange);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOIntervalRange_METHODS(M)                                                                           \
  M(HRESULT, getStart, const, ((int&, start)),                                                                      \
    KroDispatchDoc("The bound's rank: the milestone's when one is held, else the plain rank."))                     \
  M(HRESULT, getEnd, const, ((int&, end)))                                                                          \
  M(HRESULT, setInterval, , ((const KroICfgInterval_var&, interval)),                                               \
    KroDispatchDoc("From a model interval of type Range; null resets (S_FALSE), another type resets (E_FAIL)."))    \
  M(HRESULT, getInterval, const, ((KroICfgInterval_var&, interval)))                                                \
  M(HRESULT, setStart, , ((const KroICfgSOMilestoneRange_var&, start)),                                             \
    KroDispatchDoc("A null milestone clears the bound; for the end it also makes the interval infinite."))          \
  M(HRESULT, setEnd, , ((const KroICfgSOMilestoneRange_var&, end)))                                                 \
  M(HRESULT, getStart, const, ((KroICfgSOMilestoneRange_var&, start)), KroDispatchName("getStartMilestone"),        \
    KroDispatchDoc("S_FALSE with null when no milestone holds the bound."))                                         \
  M(HRESULT, getEnd, const, ((KroICfgSOMilestoneRange_var&, end)), KroDispatchName("getEndMilestone"))              \
  M(HRESULT, toString, const, ((KroUnicodeString&, text)),                                                          \
    KroDispatchDoc("\"[start,end]\" or \"[start,infinite]\"."))                                                     \
  M(HRESULT, isInfinite, const, ((boolean&, infinite)))                                                             \
  M(HRESULT, setInfinite, , ((const boolean&, infinite)))

class KRO_CFGSO_API KroICfgSOIntervalRange : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOIntervalRange)
  KRO_DISPATCH_METHODS(KroICfgSOIntervalRange, KroICfgSOIntervalRange_METHODS)
};
