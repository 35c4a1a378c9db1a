#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include "KroCfgModelObjects.h"
#include "KroCfgFaults.h"

using namespace KroCfgModelObjects;

// ---- Fault injection ----

namespace {

struct Fault {
  HRESULT code;
  int passFirst;
};

std::unordered_map<std::string, Fault>& Faults() {
  static std::unordered_map<std::string, Fault> faults;
  return faults;
}

}  // namespace

int KroCfgFaults::s_active = 0;

const std::vector<std::string>& KroCfgFaults::Operations() {
  static const std::vector<std::string> operations = {
      "KroICfgManager::createDateInterval",
      "KroICfgManager::createInfiniteDateInterval",
      "KroICfgManager::createRangeInterval",
      "KroICfgManager::createSpecANDExpression",
      "KroICfgManager::createSignedSpec",
      "KroICfgManager::createBasicEffectivity",
      "KroICfgManager::createEffectivity",
      "KroICfgManager::createXEff",
      "KroICfgManager::setError",
      "KroICfgManager::addErrorParameter",
      "KroICfgInterval::getType",
      "KroICfgInterval::getDateBounds",
      "KroICfgInterval::getRangeBounds",
      "KroICfgValue::getType",
      "KroICfgValue::getDateValue",
      "KroICfgValue::getRangeValue",
      "KroICfgMileStone::getName",
      "KroICfgMileStone::getValue",
      "KroICfgSpecCategory::getName",
      "KroICfgSpecCategory::getDescription",
      "KroICfgSimpleSpecification::getName",
      "KroICfgSimpleSpecification::getDescription",
      "KroICfgSimpleSpecification::getAlias",
      "KroICfgSimpleSpecification::getConditionString",
      "KroICfgSimpleSpecification::getCategory",
      "KroICfgSignedSpec::getSign",
      "KroICfgSignedSpec::setSign",
      "KroICfgSignedSpec::getSpecification",
      "KroICfgSignedSpec::setSpecification",
      "KroICfgSpecANDExpression::getSignedSpecs",
      "KroICfgSpecANDExpression::addSignedSpec",
      "KroICfgBasicEffectivity::getIntervals",
      "KroICfgBasicEffectivity::getSpecExpression",
      "KroICfgBasicEffectivity::setInterval",
      "KroICfgBasicEffectivity::setSpecExpression",
      "KroICfgEffectivity::addBasicEffectivity",
      "KroICfgXEff::getDomain",
      "KroICfgXEff::getBasicEffectivities",
      "KroICfgXEff::setEffectivity",
      "KroICfgModification::getName",
      "KroICfgModification::getEffectivityString",
      "KroICfgModification::getGroupMod",
      "KroICfgGroupMod::getSubscribers",
      "QuorINamedObject::getName",
      "KroICfgContext::getName",
      "KroICfgNormalValue::getValues",
      "KroICfgNormalValue::getStartMilestoneName",
      "KroICfgNormalValue::getEndMilestoneName",
      "KroICfgFilter::getId",
      "KroICfgFilter::getDomainAndContext",
      "KroICfgFilter::getMode",
      "KroICfgFilter::getMode150",
      "KroILinkableObject::GetUuid",
  };
  return operations;
}

void KroCfgFaults::Set(const std::string& operation, HRESULT code, int passFirst) {
  const auto& known = Operations();
  // A misspelt name would never fire, and a test relying on it would pass for the wrong reason.
  if (std::find(known.begin(), known.end(), operation) == known.end())
    throw std::invalid_argument("KroCfgFaults: no model operation named " + operation);
  Faults()[operation] = Fault{code, passFirst > 0 ? passFirst : 0};
  s_active = static_cast<int>(Faults().size());
}

void KroCfgFaults::Clear() {
  Faults().clear();
  s_active = 0;
}

void KroCfgFaults::Clear(const std::string& operation) {
  Faults().erase(operation);
  s_active = static_cast<int>(Faults().size());
}

bool KroCfgFaults::Lookup(const char* operation, HRESULT& code) {
  auto it = Faults().find(operation);
  if (it == Faults().end()) return false;
  if (it->second.passFirst > 0) {
    --it->second.passFirst;
    return false;
  }
  code = it->second.code;
  return true;
}

// ---- Manager ----

namespace {

std::vector<KroCfgManagerError>& ErrorRecord() {
  static std::vector<KroCfgManagerError> errors;
  return errors;
}

template <class I, class Impl>
HRESULT Make(Impl* object, KroVar<I>& out) {
  out = KroVar<I>::Adopt(object);
  return S_OK;
}

}  // namespace

HRESULT KroCfgManager::QueryInterface(const IID& iid, void** out) {
  return KroQueryInterfaces<KroICfgManager>(this, iid, out);
}

HRESULT KroCfgManager::createDateInterval(const KroTime& start, const KroTime& end, KroICfgInterval_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createDateInterval");
  return Make(new Interval(start, end), out);
}

HRESULT KroCfgManager::createInfiniteDateInterval(const KroTime& start, KroICfgInterval_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createInfiniteDateInterval");
  return Make(new Interval(start, KroTime(0)), out);
}

HRESULT KroCfgManager::createRangeInterval(int start, int end, KroICfgInterval_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createRangeInterval");
  return Make(new Interval(start, end), out);
}

HRESULT KroCfgManager::createSpecANDExpression(KroICfgSpecANDExpression_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createSpecANDExpression");
  return Make(new SpecANDExpression(), out);
}

HRESULT KroCfgManager::createSignedSpec(KroICfgSignedSpec_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createSignedSpec");
  return Make(new SignedSpec(), out);
}

HRESULT KroCfgManager::createBasicEffectivity(KroICfgBasicEffectivity_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createBasicEffectivity");
  return Make(new BasicEffectivity(), out);
}

HRESULT KroCfgManager::createEffectivity(KroICfgEffectivity_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createEffectivity");
  return Make(new Effectivity(), out);
}

HRESULT KroCfgManager::createXEff(const KroUnicodeString& domain, KroICfgXEff_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createXEff");
  return Make(new XEff(domain), out);
}

HRESULT KroCfgManager::setError(int code, int flag) {
  KRO_CFG_FAULT("KroICfgManager::setError");
  ErrorRecord().push_back(KroCfgManagerError{code, flag, {}});
  return S_OK;
}

HRESULT KroCfgManager::addErrorParameter(const KroUnicodeString& text, int position) {
  KRO_CFG_FAULT("KroICfgManager::addErrorParameter");
  if (ErrorRecord().empty()) ErrorRecord().push_back(KroCfgManagerError{});
  ErrorRecord().back().parameters.emplace_back(text, position);
  return S_OK;
}

const std::vector<KroCfgManagerError>& KroCfgManager::Errors() { return ErrorRecord(); }

void KroCfgManager::ClearErrors() { ErrorRecord().clear(); }
