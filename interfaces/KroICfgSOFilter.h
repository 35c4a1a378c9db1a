// A recorded configuration filter: id, domain, filtering mode, 150% mode flag and uuid. The uuid
// binds back to the live filter.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOFilter);

class KRO_CFGSO_API KroICfgSOFilter : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOFilter)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"setFilter", "getFilter"};
  virtual HRESULT setFilter(const KroICfgFilter_var& filter) = 0;
  virtual HRESULT getFilter(KroICfgFilter_var& filter) = 0;
};
