// The shared part of the two interval wrappers: the bounds as spec objects in "Start" and "End", and
// the open end as the flag "infinite". An interval with an end bound is finite; an infinite one has
// no end bound. A plain C++ base: it has no meta object and no late type; each kind's meta object
// derives from KroBaseUnknown's.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOInterval : public KroBaseUnknown {
 public:
  // S_FALSE with null when the bound is empty (for the end: also when the interval is infinite).
  HRESULT getStart(KroISpecObject_var& start) const;
  HRESULT getEnd(KroISpecObject_var& end) const;
  // A null object clears the bound. Storing an end makes the interval finite, clearing it infinite.
  HRESULT setStart(const KroISpecObject_var& start);
  HRESULT setEnd(const KroISpecObject_var& end);
  HRESULT isInfinite(boolean& infinite) const;
  // TRUE also drops the end bound; FALSE leaves it as it is.
  HRESULT setInfinite(const boolean& infinite);

 protected:
  KroCfgSOInterval() = default;

  // The milestone-typed bound operations of both interval kinds; the step and the failure text are
  // the caller's. A bound that is empty, or not a milestone of type M, gives S_FALSE with null.
  HRESULT setMilestoneBound(bool start, const KroISpecObject_var& milestone, const char* step,
                            const char* failure);
  template <class M>
  HRESULT getMilestoneBound(bool start, KroVar<M>& out, const char* step, const char* failure) const {
    KroDmxTrace& trace = Trace();
    KroDmxTraceStep traceStep(trace, step);
    out = nullptr;
    KroISpecObject_var bound;
    HRESULT hr = start ? KroCfgSOInterval::getStart(bound) : KroCfgSOInterval::getEnd(bound);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, failure);
    } else if (out = bound; !out) {
      KRO_TRACE_LINE(trace, (start ? "The start" : "The end") << " Milestone is null. Returning S_FALSE.");
      hr = S_FALSE;
    }
    KRO_TRACE_RETURNS(trace, hr);
    return hr;
  }

 private:
  static KroDmxTrace& Trace();
};
