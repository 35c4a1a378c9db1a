// A named date kept in a spec object of late type CfgSOMilestoneDate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"
#include "KroTime.h"

KRO_DECLARE_INTERFACE(KroICfgSOMilestoneDate);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOMilestoneDate_METHODS(M)                                                                    \
  M(HRESULT, setName, , ((const KroUnicodeString&, name)))                                                   \
  M(HRESULT, getName, const, ((KroUnicodeString&, name)))                                                    \
  M(HRESULT, setValue, , ((const KroTime&, value)))                                                          \
  M(HRESULT, getValue, const, ((KroTime&, value)))                                                           \
  M(HRESULT, setMilestone, , ((const KroICfgMileStone_var&, milestone)),                                     \
    KroDispatchDoc("Takes name and date from a model milestone; a null one clears the name and the date "    \
                   "(S_FALSE)."))

class KRO_CFGSO_API KroICfgSOMilestoneDate : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOMilestoneDate)
  KRO_DISPATCH_METHODS(KroICfgSOMilestoneDate, KroICfgSOMilestoneDate_METHODS)
};
