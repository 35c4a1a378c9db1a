// A recorded configuration filter: id, domain, filtering mode, 150% mode flag and uuid. The uuid
// binds back to the live filter.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOFilter);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOFilter_METHODS(M)                                 \
  M(HRESULT, setFilter, , ((const KroICfgFilter_var&, filter)))    \
  M(HRESULT, getFilter, , ((KroICfgFilter_var&, filter)))

class KRO_CFGSO_API KroICfgSOFilter : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOFilter)
  KRO_DISPATCH_METHODS(KroICfgSOFilter, KroICfgSOFilter_METHODS)
};
