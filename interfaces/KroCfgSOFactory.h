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

// The operations, all static; scripting clients reach them through KroCreateStaticDispatch("KroCfgSOFactory").
#define KroCfgSOFactory_METHODS(M)                                                                          \
  M(HRESULT, getContainer, , ((KroIContainer_var&, out)))                                                   \
  M(HRESULT, instanciateSpecObject, ,                                                                       \
    ((const KroUnicodeString&, startupName), (const KroUnicodeString&, interfaceName), (KroISpecObject_var&, out))) \
  M(HRESULT, createSpecObject, , ((KroISpecObject_var&, out)))                                              \
  M(HRESULT, createUuidList, , ((KroICfgSOUuidList_var&, out)))                                             \
  M(HRESULT, createContext, , ((KroICfgSOContext_var&, out)))                                               \
  M(HRESULT, createVariabilitySpace, , ((KroICfgSOVariabilitySpace_var&, out)))                             \
  M(HRESULT, createEffectivity, , ((KroICfgSOEffectivity_var&, out)))                                       \
  M(HRESULT, createBasicEffectivity, , ((KroICfgSOBasicEffectivity_var&, out)))                             \
  M(HRESULT, createSpecExpression, , ((KroICfgSOSpecExpression_var&, out)))                                 \
  M(HRESULT, createSpecification, , ((KroICfgSOSpecification_var&, out)))                                   \
  M(HRESULT, createDate, , ((KroICfgSODate_var&, out)))                                                     \
  M(HRESULT, createMilestoneDate, , ((KroICfgSOMilestoneDate_var&, out)))                                   \
  M(HRESULT, createMilestoneRange, , ((KroICfgSOMilestoneRange_var&, out)))                                 \
  M(HRESULT, createIntervalDate, , ((KroICfgSOIntervalDate_var&, out)))                                     \
  M(HRESULT, createIntervalRange, , ((KroICfgSOIntervalRange_var&, out)))                                   \
  M(HRESULT, createModification, , ((KroICfgSOModification_var&, out)))                                     \
  M(HRESULT, createFilter, , ((KroICfgSOFilter_var&, out)))

class KRO_CFGSO_API KroCfgSOFactory {
 public:
  KroCfgSOFactory() = default;
  ~KroCfgSOFactory() = default;

  KRO_STATIC_DISPATCH_METHODS(KroCfgSOFactory, KroCfgSOFactory_METHODS)
};
