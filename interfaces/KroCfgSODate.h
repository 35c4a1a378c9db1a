// Keeps a point in time in a "CfgSODate" spec object, as its second count in "S".
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOFramework.h"
#include "KroTime.h"

class KRO_CFGSO_API KroCfgSODate : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSODate)
 public:
  HRESULT getKroTime(KroTime& time) const;
  // E_INVALIDARG, with nothing written, for a time that IsStorable refuses.
  HRESULT setKroTime(const KroTime& time);

  // True when the time fits the stored signed 32-bit second count: from 1901-12-13 20:45:52 to
  // 2038-01-19 03:14:07 UTC. Every operation of the library that stores a date checks it first.
  static bool IsStorable(const KroTime& time);
  // The trace line of a refused date.
  static const char* const OutOfRangeMessage;
};
