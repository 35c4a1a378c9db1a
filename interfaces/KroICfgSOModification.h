// A recorded configuration modification: name, uuid, effectivity text, under-action flag and the
// names of the actions of its group modification. The uuid binds back to the live modification.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOModification);

class KRO_CFGSO_API KroICfgSOModification : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOModification)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"getName", "getUuid", "getActionName", "getEffectivityString", "isUnderAction", "setModification", "getModification"};
  virtual HRESULT getName(KroUnicodeString& name) = 0;
  virtual HRESULT getUuid(KroCfgUuid& uuid) = 0;
  virtual HRESULT getActionName(KroUnicodeString& actionName) = 0;
  virtual HRESULT getEffectivityString(KroUnicodeString& effectivity) = 0;
  // S_OK when under an action, S_FALSE when not.
  virtual HRESULT isUnderAction() = 0;
  virtual HRESULT setModification(const KroICfgModification_var& modification) = 0;
  virtual HRESULT getModification(KroICfgModification_var& modification) = 0;
};
