// Opens the configuration feature catalog once, keeps its container for the whole process, and makes
// new spec objects from its startups, returned through the interface of their kind.
#pragma once

#include "KroCfgSOExport.h"

#include "KroICfgSOBasicEffectivity.h"
#include "KroICfgSOContext.h"
#include "KroICfgSODate.h"
#include "KroICfgSOEffectivity.h"
#include "KroICfgSOFilter.h"
#include "KroICfgSOIntervalDate.h"
#include "KroICfgSOIntervalRange.h"
#include "KroICfgSOMilestoneDate.h"
#include "KroICfgSOMilestoneRange.h"
#include "KroICfgSOModification.h"
#include "KroICfgSOSpecExpression.h"
#include "KroICfgSOSpecification.h"
#include "KroICfgSOUuidList.h"
#include "KroICfgSOVariabilitySpace.h"
#include "KroModelerInterfaces.h"

class KRO_CFGSO_API KroCfgSOFactory {
 public:
  KroCfgSOFactory() = default;
  ~KroCfgSOFactory() = default;

  static HRESULT getContainer(KroIContainer_var& out);
  static HRESULT instanciateSpecObject(const KroUnicodeString& startupName, const KroUnicodeString& interfaceName,
                                       KroISpecObject_var& out);
  static HRESULT createSpecObject(KroISpecObject_var& out);

  static HRESULT createUuidList(KroICfgSOUuidList_var& out);
  static HRESULT createContext(KroICfgSOContext_var& out);
  static HRESULT createVariabilitySpace(KroICfgSOVariabilitySpace_var& out);
  static HRESULT createEffectivity(KroICfgSOEffectivity_var& out);
  static HRESULT createBasicEffectivity(KroICfgSOBasicEffectivity_var& out);
  static HRESULT createSpecExpression(KroICfgSOSpecExpression_var& out);
  static HRESULT createSpecification(KroICfgSOSpecification_var& out);
  static HRESULT createDate(KroICfgSODate_var& out);
  static HRESULT createMilestoneDate(KroICfgSOMilestoneDate_var& out);
  static HRESULT createMilestoneRange(KroICfgSOMilestoneRange_var& out);
  static HRESULT createIntervalDate(KroICfgSOIntervalDate_var& out);
  static HRESULT createIntervalRange(KroICfgSOIntervalRange_var& out);
  static HRESULT createModification(KroICfgSOModification_var& out);
  static HRESULT createFilter(KroICfgSOFilter_var& out);
};
