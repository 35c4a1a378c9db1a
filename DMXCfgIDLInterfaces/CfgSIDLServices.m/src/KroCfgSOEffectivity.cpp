#include "KroCfgSOEffectivity.h"

#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOEffectivityKroCfgSOEffectivity.h"

KRO_DISPATCH_DEFINE(KroICfgSOEffectivity, KroICfgSOEffectivity_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOEffectivity, KroBaseUnknown, "CfgSOEffectivity", KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

// Implementation objects die with their spec objects, which the factory's container may release
// after this file's trace is gone at unload.
void LifecycleStep(const char* step) {
  if (s_trace_counter == 0) return;
  KroDmxTraceStep traceStep(s_trace.get(), step);
}

KroISpecObject_var SpecObjectOf(KroCfgSOEffectivity* self) { return KroISpecObject_var(self); }

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOEffectivity, KroICfgSOEffectivity, TIEKroICfgSOEffectivityKroCfgSOEffectivity);

KroCfgSOEffectivity::KroCfgSOEffectivity() { LifecycleStep("KroCfgSOEffectivity::Constructor"); }

KroCfgSOEffectivity::~KroCfgSOEffectivity() { LifecycleStep("KroCfgSOEffectivity::Destructor"); }

HRESULT KroCfgSOEffectivity::getDomain(KroUnicodeString& domain) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOEffectivity::getDomain");
  HRESULT hr = KroCfgSOServices::GetStringValue(SpecObjectOf(this), KroCfgSOStrings::EFFECTIVITY_DOMAIN, domain);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to get the effectivity domain.");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOEffectivity::setXEff(const KroICfgXEff_var& xeff) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOEffectivity::setXEff");
  auto done = [&](HRESULT hr) { return KroTraceReturns(trace, hr); };
  HRESULT hr = clear();
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to clear this SpecObject attributes.");
    return done(hr);
  }
  if (!xeff) {
    KRO_TRACE_LINE(trace, "The input effectivity argument is null.");
    return done(E_INVALIDARG);
  }
  KroUnicodeString domain;
  if (FAILED(hr = xeff->getDomain(domain))) {
    KRO_TRACE_LINE(trace, "Unable to get the input the effectivity domain.");
    return done(hr);
  }
  KroListValKroICfgBasicEffectivity_var basics;
  if (FAILED(hr = xeff->getBasicEffectivities(basics))) {
    KRO_TRACE_LINE(trace, "Unable to get the input the effectivity list.");
    return done(hr);
  }

  // Every nested spec object is made before the first write, so a failure here leaves the record empty.
  KroListValKroISpecObject_var nested;
  for (int i = 1; i <= basics.Size(); ++i) {
    KroICfgSOBasicEffectivity_var basic;
    if (FAILED(hr = KroCfgSOFactory::createBasicEffectivity(basic))) {
      KRO_TRACE_LINE(trace, "Unable to instanciate a BasicEffectivity SpecObject.");
      return done(hr);
    }
    if (FAILED(hr = basic->setBasicEffectivity(basics[i]))) {
      KRO_TRACE_LINE(trace, "Unable to convert a KroICfgBasicEffectivity into a KroICfgSOBasicEffectivity.");
      return done(hr);
    }
    nested.Append(KroISpecObject_var(basic));
  }

  KroISpecObject_var so = SpecObjectOf(this);
  if (FAILED(hr = KroCfgSOServices::SetStringValue(so, KroCfgSOStrings::EFFECTIVITY_DOMAIN, domain))) {
    KRO_TRACE_LINE(trace, "Unable to valuate the effectivity domain attribute.");
    return done(hr);
  }
  if (FAILED(hr = KroCfgSOServices::SetListSOValue(so, KroCfgSOStrings::EFFECTIVITY_BASIC_LST, nested))) {
    KRO_TRACE_LINE(trace, "Unable to valuate the effectivity list attribute.");
    return done(hr);
  }
  return done(hr);
}

HRESULT KroCfgSOEffectivity::getXEff(KroICfgXEff_var& xeff) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOEffectivity::getXEff");
  auto done = [&](HRESULT hr) { return KroTraceReturns(trace, hr); };
  xeff = nullptr;
  KroISpecObject_var so = SpecObjectOf(this);
  KroUnicodeString domain;
  HRESULT hr = KroCfgSOServices::GetStringValue(so, KroCfgSOStrings::EFFECTIVITY_DOMAIN, domain);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to extract the effectivity domain value.");
    return done(hr);
  }
  KroListValKroISpecObject_var nested;
  if (FAILED(hr = KroCfgSOServices::GetListSOValue(so, KroCfgSOStrings::EFFECTIVITY_BASIC_LST, nested))) {
    KRO_TRACE_LINE(trace, "Unable to extract the effectivity list value.");
    return done(hr);
  }
  KroICfgManager_var manager = KroICfgInit::GetCfgManager();
  if (FAILED(hr = manager->createXEff(domain, xeff))) {
    KRO_TRACE_LINE(trace, "Unable to instanciate a new KroICfgXEff.");
    return done(hr);
  }
  KroICfgEffectivity_var effectivity;
  if (FAILED(hr = manager->createEffectivity(effectivity))) {
    KRO_TRACE_LINE(trace, "Unable to instanciate a new KroICfgEffectivity.");
    return done(hr);
  }
  for (int i = 1; i <= nested.Size(); ++i) {
    KroICfgSOBasicEffectivity_var element = nested[i];
    if (!element) continue;  // not a basic effectivity spec object
    KroICfgBasicEffectivity_var basic;
    if (FAILED(hr = element->getBasicEffectivity(basic))) {
      KRO_TRACE_LINE(trace, "Unable to convert a KroICfgSOBasicEffectivity into a KroICfgBasicEffectivity.");
      return done(hr);
    }
    effectivity->addBasicEffectivity(basic);
  }
  if (FAILED(hr = xeff->setEffectivity(effectivity, KroICfgXEff::Replace))) {
    KRO_TRACE_LINE(trace, "Unable to set the effectivity into the KroICfgXEff object.");
    return done(hr);
  }
  return done(hr);
}

HRESULT KroCfgSOEffectivity::clear() {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOEffectivity::clear");
  KroISpecObject_var so = SpecObjectOf(this);
  HRESULT hr = KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::EFFECTIVITY_DOMAIN);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to clear the effectivity domain attribute.");
    return KroTraceReturns(trace, hr);
  }
  hr = KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::EFFECTIVITY_BASIC_LST);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to clear the effectivity list attribute.");
  return KroTraceReturns(trace, hr);
}
