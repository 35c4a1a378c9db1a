// A span of dates kept in a spec object of late type CfgSOIntervalDates. Each bound is a plain date
// (KroICfgSODate) or a date milestone; an infinite interval has no end bound.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroICfgSOMilestoneDate.h"
#include "KroModelerInterfaces.h"
#include "KroTime.h"

KRO_DECLARE_INTERFACE(KroICfgSOIntervalDate);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOIntervalDate_METHODS(M)                                                                           \
  M(HRESULT, getStart, const, ((KroTime&, start)),                                                                 \
    KroDispatchDoc("The bound's date, whether held as a plain date or as a milestone. A missing start is "         \
                   "E_FAIL, a missing end S_FALSE (time at the epoch)."))                                          \
  M(HRESULT, getEnd, const, ((KroTime&, end)))                                                                     \
  M(HRESULT, setInterval, , ((const KroICfgInterval_var&, interval)),                                              \
    KroDispatchDoc("From a model interval of type Date; null resets (S_FALSE), another type resets (E_FAIL)."))    \
  M(HRESULT, getInterval, const, ((KroICfgInterval_var&, interval)))                                               \
  M(HRESULT, setStart, , ((const KroICfgSOMilestoneDate_var&, start)),                                             \
    KroDispatchDoc("A null milestone clears the bound; for the end it also makes the interval infinite."))         \
  M(HRESULT, setEnd, , ((const KroICfgSOMilestoneDate_var&, end)))                                                 \
  M(HRESULT, getStart, const, ((KroICfgSOMilestoneDate_var&, start)), KroDispatchName("getStartMilestone"),        \
    KroDispatchDoc("S_FALSE with null when the bound is empty or a plain date."))                                  \
  M(HRESULT, getEnd, const, ((KroICfgSOMilestoneDate_var&, end)), KroDispatchName("getEndMilestone"))              \
  M(HRESULT, toString, const, ((KroUnicodeString&, text)),                                                         \
    KroDispatchDoc("\"[start,end]\" or \"[start,infinite]\"."))                                                    \
  M(HRESULT, isInfinite, const, ((boolean&, infinite)))                                                            \
  M(HRESULT, setInfinite, , ((const boolean&, infinite)))

class KRO_CFGSO_API KroICfgSOIntervalDate : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOIntervalDate)
  KRO_DISPATCH_METHODS(KroICfgSOIntervalDate, KroICfgSOIntervalDate_METHODS)
};
