// The shared part of the two milestone wrappers: the name, and the take-over of a model milestone,
// whose value each kind stores in its own way through setData. A plain C++ base: it has no meta
// object and no late type; each kind's meta object derives from KroBaseUnknown's.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOMilestone : public KroBaseUnknown {
 public:
  // Stores the name and the value of a model milestone; E_FAIL for a value of the other kind.
  virtual HRESULT setData(const KroUnicodeString& name, const KroICfgValue_var& value) = 0;

  HRESULT setName(const KroUnicodeString& name);
  HRESULT getName(KroUnicodeString& name) const;
  HRESULT setMilestone(const KroICfgMileStone_var& milestone);

 protected:
  KroCfgSOMilestone() = default;
};
