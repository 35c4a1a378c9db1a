// The model's live objects. Internal to the platform: clients make them through the manager or through
// KroCfgModelBuilder, and reach them through their interfaces.
#pragma once

#include "KroExport.h"

#include "DMXSession.h"
#include "KroCfgModel.h"
#include "KroCfgFaults.h"
#include "KroCfgObjectUuid.h"

// Every model operation starts here: a fault set on it returns its code before anything is touched.
#define KRO_CFG_FAULT(operation)                                      \
  do {                                                                \
    HRESULT kro_fault_code_;                                          \
    if (KroCfgFaults::Fails(operation, kro_fault_code_)) return kro_fault_code_; \
  } while (0)

namespace KroCfgModelObjects {

// A live model object: the given interfaces, plus a uuid that binds back to it while it lives, plus
// the factory-object role.
template <class... Interfaces>
class Object : public Interfaces..., public KroILinkableObject, public KroIDmxFactoryObject {
 public:
  HRESULT QueryInterface(const IID& iid, void** out) override {
    return KroQueryInterfaces<Interfaces..., KroILinkableObject, KroIDmxFactoryObject>(this, iid, out);
  }
  HRESULT GetUuid(SEQUENCE_octet& uuid) override {
    KRO_CFG_FAULT("KroILinkableObject::GetUuid");
    uuid = m_registration.uuid();
    return S_OK;
  }

 private:
  KroCfgObjectUuid m_registration{this};
};

template <class T>
void CopyList(const KroList<T>& from, KroList<T>& to) {
  to.RemoveAll();
  to.Append(from);
}

class Interval final : public Object<KroICfgInterval> {
 public:
  explicit Interval(int kind) : m_kind(kind) {}
  Interval(const KroTime& start, const KroTime& end) : m_kind(Date), m_dateStart(start), m_dateEnd(end) {}
  Interval(int start, int end) : m_kind(Range), m_rangeStart(start), m_rangeEnd(end) {}

  int getType() override {
    HRESULT value;
    return KroCfgFaults::Fails("KroICfgInterval::getType", value) ? static_cast<int>(value) : m_kind;
  }
  HRESULT getDateBounds(KroTime& start, KroTime& end) override {
    KRO_CFG_FAULT("KroICfgInterval::getDateBounds");
    if (m_kind != Date) return E_FAIL;
    start = m_dateStart;
    end = m_dateEnd;
    return S_OK;
  }
  HRESULT getRangeBounds(int& start, int& end) override {
    KRO_CFG_FAULT("KroICfgInterval::getRangeBounds");
    if (m_kind != Range) return E_FAIL;
    start = m_rangeStart;
    end = m_rangeEnd;
    return S_OK;
  }

 private:
  int m_kind;
  KroTime m_dateStart, m_dateEnd;
  int m_rangeStart = 0, m_rangeEnd = -1;
};

class Value final : public Object<KroICfgValue> {
 public:
  explicit Value(const KroTime& date) : m_kind(Date), m_date(date) {}
  explicit Value(int rank) : m_kind(Range), m_rank(rank) {}

  int getType() override {
    HRESULT value;
    return KroCfgFaults::Fails("KroICfgValue::getType", value) ? static_cast<int>(value) : m_kind;
  }
  HRESULT getDateValue(KroTime& value) override {
    KRO_CFG_FAULT("KroICfgValue::getDateValue");
    if (m_kind != Date) return E_FAIL;
    value = m_date;
    return S_OK;
  }
  HRESULT getRangeValue(int& value) override {
    KRO_CFG_FAULT("KroICfgValue::getRangeValue");
    if (m_kind != Range) return E_FAIL;
    value = m_rank;
    return S_OK;
  }

 private:
  int m_kind;
  KroTime m_date;
  int m_rank = 0;
};

class MileStone final : public Object<KroICfgMileStone> {
 public:
  MileStone(const KroUnicodeString& name, const KroICfgValue_var& value) : m_name(name), m_value(value) {}

  HRESULT getName(KroUnicodeString& name) override {
    KRO_CFG_FAULT("KroICfgMileStone::getName");
    name = m_name;
    return S_OK;
  }
  HRESULT getValue(KroICfgValue_var& value) override {
    KRO_CFG_FAULT("KroICfgMileStone::getValue");
    value = m_value;
    return S_OK;
  }

 private:
  KroUnicodeString m_name;
  KroICfgValue_var m_value;
};

class SpecCategory final : public Object<KroICfgSpecCategory> {
 public:
  SpecCategory(const KroUnicodeString& name, const KroUnicodeString& description)
      : m_name(name), m_description(description) {}

  HRESULT getName(KroUnicodeString& name) override {
    KRO_CFG_FAULT("KroICfgSpecCategory::getName");
    name = m_name;
    return S_OK;
  }
  HRESULT getDescription(KroUnicodeString& description) override {
    KRO_CFG_FAULT("KroICfgSpecCategory::getDescription");
    description = m_description;
    return S_OK;
  }

 private:
  KroUnicodeString m_name, m_description;
};

class SimpleSpecification final : public Object<KroICfgSimpleSpecification> {
 public:
  SimpleSpecification(const KroUnicodeString& name, const KroUnicodeString& description,
                      const KroUnicodeString& alias, const KroUnicodeString& condition,
                      const KroICfgSpecCategory_var& category)
      : m_name(name), m_description(description), m_alias(alias), m_condition(condition), m_category(category) {}

  HRESULT getName(KroUnicodeString& name) override {
    KRO_CFG_FAULT("KroICfgSimpleSpecification::getName");
    name = m_name;
    return S_OK;
  }
  HRESULT getDescription(KroUnicodeString& description) override {
    KRO_CFG_FAULT("KroICfgSimpleSpecification::getDescription");
    description = m_description;
    return S_OK;
  }
  HRESULT getAlias(KroUnicodeString& alias) override {
    KRO_CFG_FAULT("KroICfgSimpleSpecification::getAlias");
    alias = m_alias;
    return S_OK;
  }
  HRESULT getConditionString(KroUnicodeString& condition) override {
    KRO_CFG_FAULT("KroICfgSimpleSpecification::getConditionString");
    condition = m_condition;
    return S_OK;
  }
  HRESULT getCategory(KroICfgSpecCategory_var& category) override {
    KRO_CFG_FAULT("KroICfgSimpleSpecification::getCategory");
    category = m_category;
    return S_OK;
  }

 private:
  KroUnicodeString m_name, m_description, m_alias, m_condition;
  KroICfgSpecCategory_var m_category;
};

class SignedSpec final : public Object<KroICfgSignedSpec> {
 public:
  SignedSpec() = default;
  SignedSpec(int sign, const KroICfgSimpleSpecification_var& specification)
      : m_sign(sign), m_specification(specification) {}

  int getSign() override {
    HRESULT value;
    return KroCfgFaults::Fails("KroICfgSignedSpec::getSign", value) ? static_cast<int>(value) : m_sign;
  }
  HRESULT setSign(int sign) override {
    KRO_CFG_FAULT("KroICfgSignedSpec::setSign");
    m_sign = sign;
    return S_OK;
  }
  HRESULT getSpecification(KroICfgSimpleSpecification_var& specification) override {
    KRO_CFG_FAULT("KroICfgSignedSpec::getSpecification");
    specification = m_specification;
    return S_OK;
  }
  HRESULT setSpecification(const KroICfgSimpleSpecification_var& specification) override {
    KRO_CFG_FAULT("KroICfgSignedSpec::setSpecification");
    m_specification = specification;
    return S_OK;
  }
 private:
  int m_sign = Positive;
  KroICfgSimpleSpecification_var m_specification;
};

class SpecANDExpression final : public Object<KroICfgSpecANDExpression> {
 public:
  SpecANDExpression() = default;
  explicit SpecANDExpression(const KroListValKroICfgSignedSpec_var& terms) : m_terms(terms) {}

  HRESULT getSignedSpecs(KroListValKroICfgSignedSpec_var& terms) override {
    KRO_CFG_FAULT("KroICfgSpecANDExpression::getSignedSpecs");
    CopyList(m_terms, terms);
    return S_OK;
  }
  HRESULT addSignedSpec(const KroICfgSignedSpec_var& term) override {
    KRO_CFG_FAULT("KroICfgSpecANDExpression::addSignedSpec");
    if (!term) return E_INVALIDARG;
    m_terms.Append(term);
    return S_OK;
  }

 private:
  KroListValKroICfgSignedSpec_var m_terms;
};

class BasicEffectivity final : public Object<KroICfgBasicEffectivity> {
 public:
  BasicEffectivity() = default;
  BasicEffectivity(const KroListValKroICfgInterval_var& intervals, const KroICfgSpecANDExpression_var& expression)
      : m_intervals(intervals), m_expression(expression) {}

  HRESULT getIntervals(KroListValKroICfgInterval_var& intervals) override {
    KRO_CFG_FAULT("KroICfgBasicEffectivity::getIntervals");
    CopyList(m_intervals, intervals);
    return S_OK;
  }
  HRESULT getSpecExpression(KroICfgSpecANDExpression_var& expression) override {
    KRO_CFG_FAULT("KroICfgBasicEffectivity::getSpecExpression");
    expression = m_expression;
    return S_OK;
  }
  HRESULT setInterval(const KroICfgInterval_var& interval) override {
    KRO_CFG_FAULT("KroICfgBasicEffectivity::setInterval");
    if (!interval) return E_INVALIDARG;
    m_intervals.Append(interval);
    return S_OK;
  }
  HRESULT setSpecExpression(const KroICfgSpecANDExpression_var& expression) override {
    KRO_CFG_FAULT("KroICfgBasicEffectivity::setSpecExpression");
    m_expression = expression;
    return S_OK;
  }

 private:
  KroListValKroICfgInterval_var m_intervals;
  KroICfgSpecANDExpression_var m_expression;
};

class Effectivity final : public Object<KroICfgEffectivity> {
 public:
  Effectivity() = default;
  explicit Effectivity(const KroListValKroICfgBasicEffectivity_var& basics) : m_basics(basics) {}

  HRESULT addBasicEffectivity(const KroICfgBasicEffectivity_var& basic) override {
    KRO_CFG_FAULT("KroICfgEffectivity::addBasicEffectivity");
    if (!basic) return E_INVALIDARG;
    m_basics.Append(basic);
    return S_OK;
  }
  const KroListValKroICfgBasicEffectivity_var& Basics() const { return m_basics; }

 private:
  KroListValKroICfgBasicEffectivity_var m_basics;
};

class XEff final : public Object<KroICfgXEff> {
 public:
  explicit XEff(const KroUnicodeString& domain, const KroListValKroICfgBasicEffectivity_var& basics = {})
      : m_domain(domain), m_basics(basics) {}

  HRESULT getDomain(KroUnicodeString& domain) override {
    KRO_CFG_FAULT("KroICfgXEff::getDomain");
    domain = m_domain;
    return S_OK;
  }
  HRESULT getBasicEffectivities(KroListValKroICfgBasicEffectivity_var& basics) override {
    KRO_CFG_FAULT("KroICfgXEff::getBasicEffectivities");
    CopyList(m_basics, basics);
    return S_OK;
  }
  HRESULT setEffectivity(const KroICfgEffectivity_var& effectivity, int mode) override;

 private:
  KroUnicodeString m_domain;
  KroListValKroICfgBasicEffectivity_var m_basics;
};

class NamedSubscriber final : public Object<QuorISubScribeGroupMod, KroIDmxAFLAction, QuorINamedObject> {
 public:
  explicit NamedSubscriber(const KroUnicodeString& name) : m_name(name) {}
  HRESULT getName(KroUnicodeString& name) override {
    KRO_CFG_FAULT("QuorINamedObject::getName");
    name = m_name;
    return S_OK;
  }

 private:
  KroUnicodeString m_name;
};

class PlainSubscriber final : public Object<QuorISubScribeGroupMod> {};

class GroupMod final : public Object<KroICfgGroupMod> {
 public:
  explicit GroupMod(const KroListValQuorISubScribeGroupMod_var& subscribers) : m_subscribers(subscribers) {}
  HRESULT getSubscribers(KroListValQuorISubScribeGroupMod_var& subscribers) override {
    KRO_CFG_FAULT("KroICfgGroupMod::getSubscribers");
    CopyList(m_subscribers, subscribers);
    return S_OK;
  }

 private:
  KroListValQuorISubScribeGroupMod_var m_subscribers;
};

class Modification final : public Object<KroICfgModification> {
 public:
  Modification(const KroUnicodeString& name, const KroUnicodeString& first, const KroUnicodeString& second,
               const KroICfgGroupMod_var& group)
      : m_name(name), m_first(first), m_second(second), m_group(group) {}

  HRESULT getName(KroUnicodeString& name) override {
    KRO_CFG_FAULT("KroICfgModification::getName");
    name = m_name;
    return S_OK;
  }
  HRESULT getEffectivityString(KroUnicodeString& first, KroUnicodeString& second) override {
    KRO_CFG_FAULT("KroICfgModification::getEffectivityString");
    first = m_first;
    second = m_second;
    return S_OK;
  }
  HRESULT getGroupMod(KroICfgGroupMod_var& group) override {
    KRO_CFG_FAULT("KroICfgModification::getGroupMod");
    group = m_group;
    return S_OK;
  }

 private:
  KroUnicodeString m_name, m_first, m_second;
  KroICfgGroupMod_var m_group;
};

class Context final : public Object<KroICfgContext> {
 public:
  explicit Context(const KroUnicodeString& name) : m_name(name) {}
  HRESULT getName(KroUnicodeString& name) override {
    KRO_CFG_FAULT("KroICfgContext::getName");
    name = m_name;
    return S_OK;
  }

 private:
  KroUnicodeString m_name;
};

class NormalValue final : public Object<KroICfgNormalValue> {
 public:
  NormalValue(const KroICfgInterval_var& dateInterval, const KroICfgInterval_var& rangeInterval,
              const KroICfgSimpleSpecification_var& condition, const KroICfgModification_var& modification,
              const KroUnicodeString& startMilestone, const KroUnicodeString& endMilestone);

  HRESULT getValues(KroICfgInterval_var& dateInterval, KroICfgInterval_var& rangeInterval,
                    KroICfgSimpleSpecification_var& condition, KroICfgModification_var& modification) override {
    KRO_CFG_FAULT("KroICfgNormalValue::getValues");
    dateInterval = m_dateInterval;
    rangeInterval = m_rangeInterval;
    condition = m_condition;
    modification = m_modification;
    return S_OK;
  }
  HRESULT getStartMilestoneName(KroUnicodeString& name) override {
    KRO_CFG_FAULT("KroICfgNormalValue::getStartMilestoneName");
    name = m_startMilestone;
    return S_OK;
  }
  HRESULT getEndMilestoneName(KroUnicodeString& name) override {
    KRO_CFG_FAULT("KroICfgNormalValue::getEndMilestoneName");
    name = m_endMilestone;
    return S_OK;
  }

 private:
  KroICfgInterval_var m_dateInterval, m_rangeInterval;
  KroICfgSimpleSpecification_var m_condition;
  KroICfgModification_var m_modification;
  KroUnicodeString m_startMilestone, m_endMilestone;
};

class Filter final : public Object<KroICfgFilter> {
 public:
  Filter(const KroUnicodeString& id, const KroUnicodeString& domain, const KroICfgContext_var& context,
         const KroListValKroICfgNormalValue_var& values, int mode, boolean mode150)
      : m_id(id), m_domain(domain), m_context(context), m_values(values), m_mode(mode), m_mode150(mode150) {}

  HRESULT getId(KroUnicodeString& id) override {
    KRO_CFG_FAULT("KroICfgFilter::getId");
    id = m_id;
    return S_OK;
  }
  HRESULT getDomainAndContext(KroICfgContext_var& context, KroUnicodeString& domain,
                              KroListValKroICfgNormalValue_var& values) override {
    KRO_CFG_FAULT("KroICfgFilter::getDomainAndContext");
    context = m_context;
    domain = m_domain;
    CopyList(m_values, values);
    return S_OK;
  }
  HRESULT getMode(int& mode) override {
    KRO_CFG_FAULT("KroICfgFilter::getMode");
    mode = m_mode;
    return S_OK;
  }
  HRESULT getMode150(boolean& mode150) override {
    KRO_CFG_FAULT("KroICfgFilter::getMode150");
    mode150 = m_mode150;
    return S_OK;
  }

 private:
  KroUnicodeString m_id, m_domain;
  KroICfgContext_var m_context;
  KroListValKroICfgNormalValue_var m_values;
  int m_mode;
  boolean m_mode150;
};

}  // namespace KroCfgModelObjects
