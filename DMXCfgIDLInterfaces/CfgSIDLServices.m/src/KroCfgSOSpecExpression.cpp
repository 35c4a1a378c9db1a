#include "KroCfgSOSpecExpression.h"

#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOSpecExpressionKroCfgSOSpecExpression.h"

KRO_DISPATCH_DEFINE(KroICfgSOSpecExpression, KroICfgSOSpecExpression_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOSpecExpression, KroBaseUnknown, "CfgSOSpecExpression", KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

// Implementation objects die with their spec objects, which the factory's container may release
// after this file's trace is gone at unload.
void LifecycleStep(const char* step) {
  if (s_trace_counter == 0) return;
  KroDmxTraceStep traceStep(s_trace.get(), step);
}

KroISpecObject_var SpecObjectOf(KroCfgSOSpecExpression* self) { return KroISpecObject_var(self); }

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOSpecExpression, KroICfgSOSpecExpression, TIEKroICfgSOSpecExpressionKroCfgSOSpecExpression);

KroCfgSOSpecExpression::KroCfgSOSpecExpression() { LifecycleStep("KroCfgSOSpecExpression::Constructor"); }

KroCfgSOSpecExpression::~KroCfgSOSpecExpression() { LifecycleStep("KroCfgSOSpecExpression::Destructor"); }

HRESULT KroCfgSOSpecExpression::addSpecification(const KroICfgSimpleSpecification_var& spec, int sign) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOSpecExpression::addSpecification");
  auto done = [&](HRESULT hr) { return KroTraceReturns(trace, hr); };
  if (!spec) {
    KRO_TRACE_LINE(trace, "The Specification input argument is null.");
    return done(E_INVALIDARG);
  }
  KroISpecObject_var so = SpecObjectOf(this);
  KroISpecAttrAccess_var access;
  KroISpecAttrKey_var listKey, signKey;
  HRESULT hr = KroCfgSOServices::GetAttrAccessAndKey(so, KroCfgSOStrings::SPECEXPRESSION_SPEC_LST, access, listKey);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the key to the Specification list attribute.");
    return done(hr);
  }
  hr = KroCfgSOServices::GetAttrAccessAndKey(so, KroCfgSOStrings::SPECEXPRESSION_EXPR_LST, access, signKey);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the key to the Specification sign list attribute.");
    return done(hr);
  }
  KroICfgSOSpecification_var term;
  hr = KroCfgSOFactory::createSpecification(term);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to instanciate a Specification SpecObject.");
    return done(hr);
  }
  hr = term->setSpecification(spec);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to convert the KroICfgSimpleSpecification into a KroICfgSOSpecification.");
    return done(hr);
  }
  // On these list attributes each call appends one element.
  access->SetSpecObject(listKey, KroISpecObject_var(term), 0, 0, 0);
  access->SetInteger(signKey, sign, 0);
  return done(hr);
}

HRESULT KroCfgSOSpecExpression::getAllSpecifications(KroListValKroICfgSimpleSpecification_var& specs) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOSpecExpression::getAllSpecifications");
  specs.RemoveAll();
  KroListValKroISpecObject_var terms;
  HRESULT hr = KroCfgSOServices::GetListSOValue(SpecObjectOf(this), KroCfgSOStrings::SPECEXPRESSION_SPEC_LST, terms);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the Specification list attribute.");
    return KroTraceReturns(trace, hr);
  }
  KRO_TRACE_LINE(trace, "Specification count: " << terms.Size());
  for (int i = 1; i <= terms.Size(); ++i) {
    KRO_TRACE_LINE(trace, "Working on object #" << i);
    KroICfgSOSpecification_var term = terms[i];
    if (!term) {
      KRO_TRACE_LINE(trace, "One of the SpecObject is not a KroICfgSOSpecification ?!");
      KroICfgManager_var manager = KroICfgInit::GetCfgManager();
      manager->setError(1, 0);
      manager->addErrorParameter("KroICfgSOSpecification", 1);
      return KroTraceReturns(trace, E_FAIL);
    }
    KroICfgSimpleSpecification_var spec;
    hr = term->getSpecification(spec);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to get the real KroICfgSimpleSpecification behind the KroICfgSOSpecification.");
      KroICfgInit::GetCfgManager()->setError(2004, 1);
      return KroTraceReturns(trace, hr);
    }
    specs.Append(spec);
  }
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOSpecExpression::getSpecExpression(KroICfgSpecANDExpression_var& expr) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOSpecExpression::getSpecExpression");
  auto done = [&](HRESULT hr) { return KroTraceReturns(trace, hr); };
  expr = nullptr;
  KroListValKroICfgSimpleSpecification_var specs;
  HRESULT hr = getAllSpecifications(specs);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get all the Specifications from this SpecExpression SpecObject.");
    return done(hr);
  }
  KroRawCollint signs;
  hr = KroCfgSOServices::GetListIntegerValue(SpecObjectOf(this), KroCfgSOStrings::SPECEXPRESSION_EXPR_LST, signs);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the Specification sign list attribute.");
    return done(hr);
  }
  if (specs.Size() != signs.Size()) {
    KRO_TRACE_LINE(trace, "The number of Specifications and signs are different ?!");
    return done(E_UNEXPECTED);
  }
  KroICfgManager_var manager = KroICfgInit::GetCfgManager();
  manager->createSpecANDExpression(expr);
  for (int i = 1; i <= specs.Size(); ++i) {
    KRO_TRACE_LINE(trace, "Working on object #" << i);
    KroICfgSignedSpec_var term;
    manager->createSignedSpec(term);
    term->setSign(signs[i]);
    term->setSpecification(specs[i]);
    hr = expr->addSignedSpec(term);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Invalid SpexExpression coming from the client.");
      expr = nullptr;
      return done(hr);
    }
  }
  return done(hr);
}

HRESULT KroCfgSOSpecExpression::setSpecExpression(const KroICfgSpecANDExpression_var& expr) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOSpecExpression::setSpecExpression");
  auto done = [&](HRESULT hr) { return KroTraceReturns(trace, hr); };
  HRESULT hr = clear();
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to clear the SpecObject.");
    return done(hr);
  }
  if (!expr) {
    KRO_TRACE_LINE(trace, "The Specification input argument is null.");
    return done(E_INVALIDARG);
  }
  KroListValKroICfgSignedSpec_var terms;
  expr->getSignedSpecs(terms);

  // Every nested spec object is made before the first write, so a failure here leaves the record empty.
  KroRawCollint signs;
  KroListValKroISpecObject_var specObjects;
  for (int i = 1; i <= terms.Size(); ++i) {
    int sign = terms[i]->getSign();
    KroICfgSimpleSpecification_var spec;
    terms[i]->getSpecification(spec);
    KroICfgSOSpecification_var term;
    hr = KroCfgSOFactory::createSpecification(term);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to instanciate a Specification SpecObject.");
      return done(hr);
    }
    hr = term->setSpecification(spec);
    if (FAILED(hr)) {
      KRO_TRACE_LINE(trace, "Unable to convert the KroICfgSimpleSpecification into a KroICfgSOSpecification.");
      return done(hr);
    }
    signs.Append(sign);
    specObjects.Append(KroISpecObject_var(term));
  }

  KroISpecObject_var so = SpecObjectOf(this);
  hr = KroCfgSOServices::SetListSOValue(so, KroCfgSOStrings::SPECEXPRESSION_SPEC_LST, specObjects);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to valuate the Specification list attribute.");
    return done(hr);
  }
  hr = KroCfgSOServices::SetListIntegerValue(so, KroCfgSOStrings::SPECEXPRESSION_EXPR_LST, signs);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to valuate the Specification sign list attribute.");
    return done(hr);
  }
  return done(hr);
}

HRESULT KroCfgSOSpecExpression::clear() {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, "KroCfgSOSpecExpression::clear");
  KroISpecObject_var so = SpecObjectOf(this);
  HRESULT hr = KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::SPECEXPRESSION_SPEC_LST);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to clear SpecObject list attribute.");
    return KroTraceReturns(trace, hr);
  }
  hr = KroCfgSOServices::ClearAttribute(so, KroCfgSOStrings::SPECEXPRESSION_EXPR_LST);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, "Unable to clear the integer list attribute.");
  return KroTraceReturns(trace, hr);
}
