#include "KroCfgSOFactory.h"

#include <cstdlib>

#include "KroCfgSOFilter.h"
#include "KroCfgSOFramework.h"
#include "KroCfgSOStrings.h"
#include "KroDocument.h"
#include "KroPlatformServices.h"
#include "KroStartUps.h"

namespace {

KRO_LIBRARY_TRACE(s_trace, "KroCfgSOFactory");
// Set when the factory's container starts closing at unload. The close may run client destructors that
// ask the factory for objects; from then on it makes none, as a closing container makes none. A plain
// flag, so that it can be read after every static has gone.
bool s_closed = false;

struct FactoryContainer {
  KroIContainer_var handle;  // m_sp_Container: set by the first successful opening
  FactoryContainer() = default;
  FactoryContainer(const FactoryContainer&) = delete;
  FactoryContainer& operator=(const FactoryContainer&) = delete;
  ~FactoryContainer() {
    s_closed = true;
    handle = nullptr;
  }
};
KRO_LIBRARY_STATIC(FactoryContainer, s_container);

KroDmxTrace& Trace() { return s_trace.get(); }

// The common body of every create<Kind>: a new instance of the kind's startup, through its interface.
template <class I>
HRESULT CreateKind(const char* step, const KroUnicodeString& startupName, const char* ending, KroVar<I>& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep traceStep(trace, step);
  out = nullptr;
  KroISpecObject_var instance;
  HRESULT hr = KroCfgSOFactory::instanciateSpecObject(startupName, I::InterfaceName(), instance);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable instanciate a new " << startupName << ending);
    return KroTraceReturns(trace, hr);
  }
  out = instance;
  if (!out) {
    KRO_TRACE_LINE(trace, "Unable to query interface the KroISpecObject instance into a " << I::InterfaceName() << ".");
    return KroTraceReturns(trace, E_FAIL);
  }
  return KroTraceReturns(trace, hr);
}

}  // namespace

HRESULT KroCfgSOFactory::getContainer(KroIContainer_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "getContainer");
  out = nullptr;
  if (s_closed) {
    KRO_TRACE_LINE(trace, "The feature catalog's container has closed: the process is ending.");
    return KroTraceReturns(trace, E_FAIL);
  }
  KroIContainer_var& container = s_container->handle;
  HRESULT hr = S_OK;
  if (!container) {
    KRO_TRACE_LINE(trace, "First time the method is called => initialization of the static member.");
    char* value = nullptr;
    KroGetEnvValue("KroGraphicPath", &value);
    KroUnicodeString searchPath(value);
    std::free(value);
    KRO_TRACE_LINE(trace, "KroGraphicPath: " << searchPath);

    std::string fullPath = KroFindPath(KroCfgSOStrings::Catalog_Name.ConvertToChar(), searchPath.ConvertToChar());
    KRO_TRACE_LINE(trace, "Opening " << fullPath);
    KroDocument* document = nullptr;
    hr = KroDocumentServices::Open(fullPath.c_str(), document, 0);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Can't open document " << KroCfgSOStrings::Catalog_Name);
      return KroTraceReturns(trace, hr);
    }
    if (!document) {
      KRO_TRACE_LINE(trace, "The catalog is NULL !!??");
      return KroTraceReturns(trace, E_FAIL);
    }
    KRO_TRACE_LINE(trace, "Document " << KroCfgSOStrings::Catalog_Name << " loaded");

    KroIContainer* opened = document->GetDocumentContainer("KroIContainer");
    if (!opened)
      KroFatalError("AssertionFailed:unable_to_open_the_Config_feature_container == 1", 0, 0, 0,
                    "DMXCfgIDLInterfaces/CfgSIDLServices.m/src/KroCfgSOFactory", 140);
    container = KroIContainer_var::Adopt(opened);
    // The client chooses the transient mode for the whole process; the store mode is the default.
    container->SetTransient(KroContainerTransientFromEnvironment());

    // The startup name doubles as its type.
    KroISpecObject* generic =
        CreateStartUp(KroCfgSOStrings::Generic_SpecObjSU_Name, KroCfgSOStrings::Generic_SpecObjSU_Name,
                      KroISpecObject::InterfaceName(), container, KroUnicodeString(), KroISpecObject_var());
    if (!generic) {
      KRO_TRACE_LINE(trace, "Unable to create generic SpecObject startup.");
      return KroTraceReturns(trace, E_FAIL);
    }
    generic->Release();
  }
  out = container;
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOFactory::instanciateSpecObject(const KroUnicodeString& startupName,
                                               const KroUnicodeString& /*interfaceName*/, KroISpecObject_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "instanciateSpecObject");
  out = nullptr;
  KroIContainer_var container;
  HRESULT hr = getContainer(container);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the feature catalog associated container.");
    return KroTraceReturns(trace, hr);
  }
  // The startup of that name whose late type is its name, as FindStartUp finds it, without a query for
  // the interface it already has.
  KroISpecObject_var startup = KroISpecObject_var::Adopt(container->FindStartUpByName(startupName));
  if (!startup || startup->GetLateType() != startupName) {
    KRO_TRACE_LINE(trace, "Unable to find the " << startupName << " startup.");
    return KroTraceReturns(trace, E_FAIL);
  }
  KroISpecObject* instance = startup->Instanciate(KroUnicodeString(), KroIContainer_var(), 0);
  if (!instance) {
    KRO_TRACE_LINE(trace, "Unable to instanciate a new " << startupName << " SpecObject.");
    return KroTraceReturns(trace, E_FAIL);
  }
  out = KroISpecObject_var::Adopt(instance);
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOFactory::createSpecObject(KroISpecObject_var& out) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "createSpecObject");
  out = nullptr;
  HRESULT hr = instanciateSpecObject(KroCfgSOStrings::Generic_SpecObjSU_Name, KroISpecObject::InterfaceName(), out);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable instanciate a new " << KroCfgSOStrings::Generic_SpecObjSU_Name << " SpecObject.");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOFactory::createUuidList(KroICfgSOUuidList_var& out) {
  return CreateKind("createUuidList", KroCfgSOStrings::STARTUP_UUIDLIST, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createContext(KroICfgSOContext_var& out) {
  return CreateKind("createContext", KroCfgSOStrings::STARTUP_CONTEXT, " SO.", out);
}
HRESULT KroCfgSOFactory::createVariabilitySpace(KroICfgSOVariabilitySpace_var& out) {
  return CreateKind("createVariabilitySpace", KroCfgSOStrings::STARTUP_VARIABILITY_SPACE, " SO.", out);
}
HRESULT KroCfgSOFactory::createEffectivity(KroICfgSOEffectivity_var& out) {
  return CreateKind("createEffectivity", KroCfgSOStrings::STARTUP_EFFECTIVITY, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createBasicEffectivity(KroICfgSOBasicEffectivity_var& out) {
  return CreateKind("createBasicEffectivity", KroCfgSOStrings::STARTUP_BASIC_EFFECTIVITY, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createSpecExpression(KroICfgSOSpecExpression_var& out) {
  return CreateKind("createSpecExpression", KroCfgSOStrings::STARTUP_SPECEXPRESSION, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createSpecification(KroICfgSOSpecification_var& out) {
  return CreateKind("createSpecification", KroCfgSOStrings::STARTUP_SPECIFICATION, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createDate(KroICfgSODate_var& out) {
  return CreateKind("createDate", KroCfgSOStrings::STARTUP_DATE, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createMilestoneDate(KroICfgSOMilestoneDate_var& out) {
  return CreateKind("createMilestoneDate", KroCfgSOStrings::STARTUP_MILESTONE_DATE, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createMilestoneRange(KroICfgSOMilestoneRange_var& out) {
  return CreateKind("createMilestoneRange", KroCfgSOStrings::STARTUP_MILESTONE_RANGE, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createIntervalDate(KroICfgSOIntervalDate_var& out) {
  return CreateKind("createIntervalDate", KroCfgSOStrings::STARTUP_INTERVAL_DATES, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createIntervalRange(KroICfgSOIntervalRange_var& out) {
  return CreateKind("createIntervalRange", KroCfgSOStrings::STARTUP_INTERVAL_RANGES, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createModification(KroICfgSOModification_var& out) {
  return CreateKind("createModification", KroCfgSOStrings::STARTUP_MODIFICATION, " SpecObject.", out);
}
HRESULT KroCfgSOFactory::createFilter(KroICfgSOFilter_var& out) {
  return CreateKind("createFilter", KroCfgSOFilter::s_st_LATE_TYPE, " SpecObject.", out);
}
