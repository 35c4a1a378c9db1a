// A point in time kept in a spec object of late type CfgSODate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroModelerInterfaces.h"
#include "KroTime.h"

KRO_DECLARE_INTERFACE(KroICfgSODate);

class KRO_CFGSO_API KroICfgSODate : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSODate)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"getKroTime", "setKroTime"};
  // A failed read leaves the time at the epoch.
  virtual HRESULT getKroTime(KroTime& time) const = 0;
  virtual HRESULT setKroTime(const KroTime& time) = 0;
};
