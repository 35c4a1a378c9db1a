// A named integer rank kept in a spec object of late type CfgSOMilestoneRange.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOMilestoneRange);

class KRO_CFGSO_API KroICfgSOMilestoneRange : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOMilestoneRange)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"setName", "getName", "setValue", "getValue", "setMilestone"};
  virtual HRESULT setName(const KroUnicodeString& name) = 0;
  virtual HRESULT getName(KroUnicodeString& name) const = 0;
  virtual HRESULT setValue(const int& value) = 0;
  virtual HRESULT getValue(int& value) const = 0;
  // Takes name and rank from a model milestone; a null one clears the name (S_FALSE).
  virtual HRESULT setMilestone(const KroICfgMileStone_var& milestone) = 0;
};
