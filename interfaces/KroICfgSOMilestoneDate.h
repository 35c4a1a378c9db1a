// A named date kept in a spec object of late type CfgSOMilestoneDate.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"
#include "KroTime.h"

KRO_DECLARE_INTERFACE(KroICfgSOMilestoneDate);

class KRO_CFGSO_API KroICfgSOMilestoneDate : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOMilestoneDate)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"setName", "getName", "setValue", "getValue", "setMilestone"};
  virtual HRESULT setName(const KroUnicodeString& name) = 0;
  virtual HRESULT getName(KroUnicodeString& name) const = 0;
  virtual HRESULT setValue(const KroTime& value) = 0;
  virtual HRESULT getValue(KroTime& value) const = 0;
  // Takes name and date from a model milestone; a null one clears the name and the date (S_FALSE).
  virtual HRESULT setMilestone(const KroICfgMileStone_var& milestone) = 0;
};
