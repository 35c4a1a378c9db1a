// A recorded configuration modification: name, uuid, effectivity text, under-action flag and the
// names of the actions of its group modification. The uuid binds back to the live modification.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroDispatch.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOModification);

// The methods in slot order; a method's dispatch id is its position.
#define KroICfgSOModification_METHODS(M)                                             \
  M(HRESULT, getName, , ((KroUnicodeString&, name)))                                 \
  M(HRESULT, getUuid, , ((KroCfgUuid&, uuid)))                                       \
  M(HRESULT, getActionName, , ((KroUnicodeString&, actionName)))                     \
  M(HRESULT, getEffectivityString, , ((KroUnicodeString&, effectivity)))             \
  M(HRESULT, isUnderAction, , (), KroResultIsAnswer{},                               \
    KroDispatchDoc("S_OK when under an action, S_FALSE when not."))                  \
  M(HRESULT, setModification, , ((const KroICfgModification_var&, modification)))    \
  M(HRESULT, getModification, , ((KroICfgModification_var&, modification)))

class KRO_CFGSO_API KroICfgSOModification : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOModification)
  KRO_DISPATCH_METHODS(KroICfgSOModification, KroICfgSOModification_METHODS)
};
