#include "KroCfgSOBasicEffectivity.h"

#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity.h"

KRO_DISPATCH_DEFINE(KroICfgSOBasicEffectivity, KroICfgSOBasicEffectivity_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOBasicEffectivity, KroBaseUnknown, "CfgSOBasicEffectivity",
                              KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

// Implementation objects die with their spec objects, which the factory's container may release
// after this file's trace is gone at unload.
void LifecycleStep(const char* step) {
  if (s_trace_counter == 0) return;
  KroDmxTraceStep traceStep(s_trace.get(), step);
}

KroISpecObject_var SpecObjectOf(KroCfgSOBasicEffectivity* self) { return KroISpecObject_var(self); }

// A new interval spec object of interface I, filled from the model interval.
template <class I, HRESULT (*Create)(KroVar<I>&)>
HRESULT MakeInterval(KroDmxTrace& trace, const KroICfgInterval_var& interval, const char* createFailure,
                     const char* convertFailure, KroISpecObject_var& out) {
  KroVar<I> nested;
  HRESULT hr = Create(nested);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, createFailure);
    return hr;
  }
  hr = nested->setInterval(interval);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, convertFailure);
    return hr;
  }
  out = nested;
  return hr;
}

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOBasicEffectivity, KroICfgSOBasicEffectivity,
                       TIEKroICfgSOBasicEffectivityKroCfgSOBasicEffectivity);

KroCfgSOBasicEffectivity::KroCfgSOBasicEffectivity() { LifecycleStep("KroCfgSOBasicEffectivity::Constructor"); }

KroCfgSOBasicEffectivity::~KroCfgSOBasicEffectivity() { LifecycleStep("KroCfgSOBasicEffectivity::Destructor"); }

HRESULT KroCfgSOBasicEffectivity::setBasicEffectivity(const KroICfgBasicEffectivity_var& effectivity) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOBasicEffectivity::setBasicEffectivity");
  auto done = [&](HRESULT hr) { return KroTraceReturns(trace, hr); };
  HRESULT hr = clear();
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to clear this SpecObject attributes.");
    return done(hr);
  }
  if (!effectivity) {
    KRO_TRACE_LINE(trace, "The input effectivity argument is null.");
    return done(E_INVALIDARG);
  }
  KroListValKroICfgInterval_var intervals;
  if (FAILED(hr = effectivity->getIntervals(intervals))) {
    KRO_TRACE_LINE(trace, "Unable to get the interval data.");
    return done(hr);
  }
  KroICfgSpecANDExpression_var expression;
  if (FAILED(hr = effectivity->getSpecExpression(expression))) {
    KRO_TRACE_LINE(trace, "Unable to get the spec expression data.");
    return done(hr);
  }

  KroISpecObject_var so = SpecObjectOf(this);
  // The expression goes first: a bad interval below leaves the record with its expression only.
  if (expression) {
    KroICfgSOSpecExpression_var nested;
    if (FAILED(hr = KroCfgSOFactory::createSpecExpression(nested))) {
      KRO_TRACE_LINE(trace, "Unable to instanciate a new SpecExpression SpecObject.");
      return done(hr);
    }
    if (FAILED(hr = nested->setSpecExpression(expression))) {
      KRO_TRACE_LINE(trace, "Unable to convert a KroICfgSpecANDExpression into a KroICfgSOSpecExpression.");
      return done(hr);
    }
    if (FAILED(hr = KroCfgSOServices::SetSOValue(so, KroCfgSOStrings::BASIC_EFFECTIVITY_SPECEXPR,
                                                 KroISpecObject_var(nested)))) {
      KRO_TRACE_LINE(trace, "Unable to valuate the SpecExpreesion attribute.");
      return done(hr);
    }
  }

  // Only a single interval is kept; with none or several the record has no interval.
  if (intervals.Size() == 1) {
    const KroICfgInterval_var& interval = intervals[1];
    KroISpecObject_var nested;
    switch (interval->getType()) {
      case KroICfgInterval::Date:
        hr = MakeInterval<KroICfgSOIntervalDate, KroCfgSOFactory::createIntervalDate>(
            trace, interval, "Unable to instanciate a date interval SpecObject.",
            "Unable to convert a KroICfgInterval into a KroICfgSOIntervalDate.", nested);
        break;
      case KroICfgInterval::Range:
        hr = MakeInterval<KroICfgSOIntervalRange, KroCfgSOFactory::createIntervalRange>(
            trace, interval, "Unable to instanciate a range interval SpecObject.",
            "Unable to convert a KroICfgInterval into a KroICfgSOIntervalRange.", nested);
        break;
      default:
        KRO_TRACE_LINE(trace, "The interval for the input BasicEffectivity seems incorrect: type unknown.");
        return done(E_INVALIDARG);
    }
    if (FAILED(hr)) return done(hr);
    if (FAILED(hr = KroCfgSOServices::SetSOValue(so, KroCfgSOStrings::BASIC_EFFECTIVITY_INTERVAL, nested))) {
      KRO_TRACE_LINE(trace, "Unable to valuate the Interval attribute.");
      return done(hr);
    }
  }
  return done(hr);
}

HRESULT KroCfgSOBasicEffectivity::getBasicEffectivity(KroICfgBasicEffectivity_var& effectivity) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOBasicEffectivity::getBasicEffectivity");
  auto done = [&](HRESULT hr) { return KroTraceReturns(trace, hr); };
  effectivity = nullptr;
  KroISpecObject_var so = SpecObjectOf(this);

  KroISpecObject_var nestedInterval;
  HRESULT hr = KroCfgSOServices::GetSOValue(so, KroCfgSOStrings::BASIC_EFFECTIVITY_INTERVAL, nestedInterval);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the interval attribute value.");
    return done(hr);
  }
  // The nested interval's kind is told by the interface it answers to.
  KroICfgInterval_var interval;
  if (KroICfgSOIntervalDate_var dates = nestedInterval) {
    if (FAILED(hr = dates->getInterval(interval))) {
      KRO_TRACE_LINE(trace, "Unable to convert a KroICfgSOIntervalDate into a KroICfgInterval.");
      return done(hr);
    }
  } else if (KroICfgSOIntervalRange_var ranges = nestedInterval) {
    if (FAILED(hr = ranges->getInterval(interval))) {
      KRO_TRACE_LINE(trace, "Unable to convert a KroICfgSOIntervalRange into a KroICfgInterval.");
      return done(hr);
    }
  }

  KroISpecObject_var nestedExpression;
  if (FAILED(hr = KroCfgSOServices::GetSOValue(so, KroCfgSOStrings::BASIC_EFFECTIVITY_SPECEXPR, nestedExpression))) {
    KRO_TRACE_LINE(trace, "Unable to get the SpecExpression attribute value.");
    return done(hr);
  }
  KroICfgSpecANDExpression_var expression;
  if (KroICfgSOSpecExpression_var terms = nestedExpression) {
    if (FAILED(hr = terms->getSpecExpression(expression))) {
      KRO_TRACE_LINE(trace, "Unable to convert a KroICfgSOSpecExpression into a KroICfgSpecANDExpression.");
      return done(hr);
    }
  }

  if (FAILED(hr = KroICfgInit::GetCfgManager()->createBasicEffectivity(effectivity))) {
    KRO_TRACE_LINE(trace, "Unable to instanciate a new BasicEffectivity DmxObject.");
    return done(hr);
  }
  if (interval && FAILED(hr = effectivity->setInterval(interval))) {
    KRO_TRACE_LINE(trace, "Unable to set the BasicEffectivity interval attribute.");
    return done(hr);
  }
  if (expression && FAILED(hr = effectivity->setSpecExpression(expression))) {
    KRO_TRACE_LINE(trace, "Unable to set the BasicEffectivity SpecExpression attribute.");
    return done(hr);
  }
  return done(hr);
}

HRESULT KroCfgSOBasicEffectivity::clear() {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOBasicEffectivity::clear");
  KroISpecObject_var so = SpecObjectOf(this);
  HRESULT hr = KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::BASIC_EFFECTIVITY_INTERVAL);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to clear the interval attribute.");
    return KroTraceReturns(trace, hr);
  }
  hr = KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::BASIC_EFFECTIVITY_SPECEXPR);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to clear the  SpecExpression attribute.");
  return KroTraceReturns(trace, hr);
}
