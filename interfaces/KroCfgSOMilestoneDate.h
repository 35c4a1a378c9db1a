// Keeps a named date in a "CfgSOMilestoneDate" spec object: the name in "mn", the date in a nested
// "CfgSODate" spec object in "d".
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOMilestone.h"
#include "KroTime.h"

class KRO_CFGSO_API KroCfgSOMilestoneDate : public KroCfgSOMilestone {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOMilestoneDate)
 public:
  HRESULT setData(const KroUnicodeString& name, const KroICfgValue_var& value) override;
  HRESULT setValue(const KroTime& value);
  HRESULT getValue(KroTime& value) const;
};
