// The shared part of the two milestone wrappers: the name, and the take-over of a model milestone,
// whose value each kind stores in its own way through setData.
#pragma once

#include "KroCfgModel.h"
#include "KroCfgSOFramework.h"

class KroCfgSOMilestone : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOMilestone)
 public:
  // Stores the name and the value of a model milestone; E_FAIL for a value of the other kind.
  virtual HRESULT setData(const KroUnicodeString& name, const KroICfgValue_var& value) = 0;

  HRESULT setName(const KroUnicodeString& name);
  HRESULT getName(KroUnicodeString& name) const;
  HRESULT setMilestone(const KroICfgMileStone_var& milestone);

 protected:
  KroCfgSOMilestone() = default;
};
