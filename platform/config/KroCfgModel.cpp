#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include "KroCfgModelBuilder.h"
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
      "KroICfgManager::createSpecification",
      "KroICfgManager::createActionSubscriber",
      "KroICfgManager::createGroupMod",
      "KroICfgManager::createModification",
      "KroICfgManager::createDateMilestone",
      "KroICfgManager::createRangeMilestone",
      "KroICfgManager::createContext",
      "KroICfgManager::createNormalValue",
      "KroICfgManager::createFilter",
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

HRESULT KroCfgManager::createSpecification(const KroUnicodeString& name, const KroUnicodeString& description,
                                           const KroUnicodeString& alias, const KroUnicodeString& condition,
                                           const KroUnicodeString& categoryName,
                                           const KroUnicodeString& categoryDescription,
                                           KroICfgSimpleSpecification_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createSpecification");
  KroCfgModelBuilder::SpecificationData data{name, description, alias, condition, categoryName, categoryDescription};
  data.withCategory = !categoryName.IsEmpty() || !categoryDescription.IsEmpty();
  out = KroCfgModelBuilder::Specification(data);
  return S_OK;
}

HRESULT KroCfgManager::createActionSubscriber(const KroUnicodeString& name, QuorISubScribeGroupMod_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createActionSubscriber");
  out = KroCfgModelBuilder::ActionSubscriber(name);
  return S_OK;
}

HRESULT KroCfgManager::createGroupMod(const KroListValQuorISubScribeGroupMod_var& subscribers,
                                      KroICfgGroupMod_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createGroupMod");
  std::vector<QuorISubScribeGroupMod_var> items;
  for (const QuorISubScribeGroupMod_var& subscriber : subscribers) {
    if (!subscriber) return E_INVALIDARG;
    items.push_back(subscriber);
  }
  out = KroCfgModelBuilder::GroupMod(items);
  return S_OK;
}

HRESULT KroCfgManager::createModification(const KroUnicodeString& name, const KroUnicodeString& firstEffectivity,
                                          const KroUnicodeString& secondEffectivity, const KroICfgGroupMod_var& group,
                                          KroICfgModification_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createModification");
  out = KroCfgModelBuilder::Modification(name, firstEffectivity, secondEffectivity, group);
  return S_OK;
}

HRESULT KroCfgManager::createDateMilestone(const KroUnicodeString& name, const KroTime& date,
                                           KroICfgMileStone_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createDateMilestone");
  out = KroCfgModelBuilder::DateMilestone(name, date);
  return S_OK;
}

HRESULT KroCfgManager::createRangeMilestone(const KroUnicodeString& name, int rank, KroICfgMileStone_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createRangeMilestone");
  out = KroCfgModelBuilder::RangeMilestone(name, rank);
  return S_OK;
}

HRESULT KroCfgManager::createContext(const KroUnicodeString& name, KroICfgContext_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createContext");
  out = KroCfgModelBuilder::Context(name);
  return S_OK;
}

HRESULT KroCfgManager::createNormalValue(const KroICfgInterval_var& dateInterval,
                                         const KroICfgInterval_var& rangeInterval,
                                         const KroICfgSimpleSpecification_var& condition,
                                         const KroICfgModification_var& modification,
                                         const KroUnicodeString& startMilestone, const KroUnicodeString& endMilestone,
                                         KroICfgNormalValue_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createNormalValue");
  out = KroCfgModelBuilder::NormalValue(
      {dateInterval, rangeInterval, condition, modification, startMilestone, endMilestone});
  return S_OK;
}

HRESULT KroCfgManager::createFilter(const KroUnicodeString& id, const KroUnicodeString& domain,
                                    const KroICfgContext_var& context, const KroListValKroICfgNormalValue_var& values,
                                    int mode, boolean mode150, KroICfgFilter_var& out) {
  KRO_CFG_FAULT("KroICfgManager::createFilter");
  KroCfgModelBuilder::FilterData data{id, domain, context, {}, mode, mode150};
  for (const KroICfgNormalValue_var& value : values) {
    if (!value) return E_INVALIDARG;
    data.values.push_back(value);
  }
  out = KroCfgModelBuilder::Filter(data);
  return S_OK;
}

const std::vector<KroCfgManagerError>& KroCfgManager::Errors() { return ErrorRecord(); }

void KroCfgManager::ClearErrors() { ErrorRecord().clear(); }
