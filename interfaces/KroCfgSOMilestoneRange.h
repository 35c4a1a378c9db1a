// Keeps a named integer rank in a "CfgSOMilestoneRange" spec object: the name in "mn", the rank in "r".
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOMilestone.h"

class KRO_CFGSO_API KroCfgSOMilestoneRange : public KroCfgSOMilestone {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOMilestoneRange)
 public:
  HRESULT setData(const KroUnicodeString& name, const KroICfgValue_var& value) override;
  HRESULT setValue(const int& value);
  HRESULT getValue(int& value) const;
};
