// A named integer rank kept in a spec object of late type CfgSOMilestoneRange.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOMilestoneRange);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOMilestoneRange_METHODS(M)                                                                  \
  M(HRESULT, setName, , ((const KroUnicodeString&, name)))                                                  \
  M(HRESULT, getName, const, ((KroUnicodeString&, name)))                                                   \
  M(HRESULT, setValue, , ((const int&, value)))                                                             \
  M(HRESULT, getValue, const, ((int&, value)))                                                              \
  M(HRESULT, setMilestone, , ((const KroICfgMileStone_var&, milestone)),                                    \
    KroDispatchDoc("Takes name and rank from a model milestone; a null one clears the name (S_FALSE)."))

class KRO_CFGSO_API KroICfgSOMilestoneRange : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOMilestoneRange)
  KRO_DISPATCH_METHODS(KroICfgSOMilestoneRange, KroICfgSOMilestoneRange_METHODS)
};
