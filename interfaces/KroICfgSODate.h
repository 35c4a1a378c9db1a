// A point in time kept in a spec object of late type CfgSODate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroDispatch.h"
#include "KroModelerInterfaces.h"
#include "KroTime.h"

KRO_DECLARE_INTERFACE(KroICfgSODate);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSODate_METHODS(M)                                      \
  M(HRESULT, getKroTime, const, ((KroTime&, time)),                   \
    KroDispatchDoc("A failed read leaves the time at the epoch."))    \
  M(HRESULT, setKroTime, , ((const KroTime&, time)))

class KRO_CFGSO_API KroICfgSODate : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSODate)
  KRO_DISPATCH_METHODS(KroICfgSODate, KroICfgSODate_METHODS)
};
