// The shared part of the two interval wrappers: the bounds as spec objects in "Start" and "End", and
// the open end as the flag "infinite". An interval with an end bound is finite; an infinite one has
// no end bound.
#pragma once

#include "KroCfgSOFramework.h"

class KroCfgSOInterval : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOInterval)
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
};
