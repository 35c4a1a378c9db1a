#include "KroCfgModelBuilder.h"

#include "KroCfgModelObjects.h"

namespace KroCfgModelBuilder {

namespace M = KroCfgModelObjects;

namespace {

template <class I>
KroVar<I> Own(I* object) {
  return KroVar<I>::Adopt(object);
}

template <class T>
KroList<T> ToList(const std::vector<T>& items) {
  KroList<T> list;
  for (const T& item : items) list.Append(item);
  return list;
}

}  // namespace

KroICfgInterval_var DateInterval(const KroTime& start, const KroTime& end) {
  return Own<KroICfgInterval>(new M::Interval(start, end));
}

KroICfgInterval_var InfiniteDateInterval(const KroTime& start) { return DateInterval(start, KroTime(0)); }

KroICfgInterval_var RangeInterval(int start, int end) { return Own<KroICfgInterval>(new M::Interval(start, end)); }

KroICfgInterval_var InfiniteRangeInterval(int start) { return RangeInterval(start, -1); }

KroICfgInterval_var IntervalOfKind(int kind) { return Own<KroICfgInterval>(new M::Interval(kind)); }

KroICfgValue_var DateValue(const KroTime& date) { return Own<KroICfgValue>(new M::Value(date)); }

KroICfgValue_var RangeValue(int rank) { return Own<KroICfgValue>(new M::Value(rank)); }

KroICfgMileStone_var Milestone(const KroUnicodeString& name, const KroICfgValue_var& value) {
  return Own<KroICfgMileStone>(new M::MileStone(name, value));
}

KroICfgMileStone_var DateMilestone(const KroUnicodeString& name, const KroTime& date) {
  return Milestone(name, DateValue(date));
}

KroICfgMileStone_var RangeMilestone(const KroUnicodeString& name, int rank) {
  return Milestone(name, RangeValue(rank));
}

KroICfgSpecCategory_var Category(const KroUnicodeString& name, const KroUnicodeString& description) {
  return Own<KroICfgSpecCategory>(new M::SpecCategory(name, description));
}

KroICfgSimpleSpecification_var Specification(const SpecificationData& data) {
  KroICfgSpecCategory_var category;
  if (data.withCategory) category = Category(data.categoryName, data.categoryDescription);
  return Own<KroICfgSimpleSpecification>(
      new M::SimpleSpecification(data.name, data.description, data.alias, data.condition, category));
}

KroICfgSignedSpec_var SignedSpec(int sign, const KroICfgSimpleSpecification_var& specification) {
  return Own<KroICfgSignedSpec>(new M::SignedSpec(sign, specification));
}

KroICfgSpecANDExpression_var ANDExpression(const std::vector<KroICfgSignedSpec_var>& terms) {
  return Own<KroICfgSpecANDExpression>(new M::SpecANDExpression(ToList(terms)));
}

KroICfgBasicEffectivity_var BasicEffectivity(const std::vector<KroICfgInterval_var>& intervals,
                                             const KroICfgSpecANDExpression_var& expression) {
  return Own<KroICfgBasicEffectivity>(new M::BasicEffectivity(ToList(intervals), expression));
}

KroICfgEffectivity_var Effectivity(const std::vector<KroICfgBasicEffectivity_var>& basics) {
  return Own<KroICfgEffectivity>(new M::Effectivity(ToList(basics)));
}

KroICfgXEff_var XEff(const KroUnicodeString& domain, const std::vector<KroICfgBasicEffectivity_var>& basics) {
  return Own<KroICfgXEff>(new M::XEff(domain, ToList(basics)));
}

QuorISubScribeGroupMod_var ActionSubscriber(const KroUnicodeString& name) {
  return Own<QuorISubScribeGroupMod>(new M::NamedSubscriber(name));
}

QuorISubScribeGroupMod_var PlainSubscriber() { return Own<QuorISubScribeGroupMod>(new M::PlainSubscriber()); }

KroICfgGroupMod_var GroupMod(const std::vector<QuorISubScribeGroupMod_var>& subscribers) {
  return Own<KroICfgGroupMod>(new M::GroupMod(ToList(subscribers)));
}

KroICfgModification_var Modification(const KroUnicodeString& name, const KroUnicodeString& firstEffectivity,
                                     const KroUnicodeString& secondEffectivity, const KroICfgGroupMod_var& group) {
  return Own<KroICfgModification>(new M::Modification(name, firstEffectivity, secondEffectivity, group));
}

KroICfgContext_var Context(const KroUnicodeString& name) { return Own<KroICfgContext>(new M::Context(name)); }

KroICfgNormalValue_var NormalValue(const NormalValueData& data) {
  return Own<KroICfgNormalValue>(new M::NormalValue(data.dateInterval, data.rangeInterval, data.condition,
                                                    data.modification, data.startMilestone, data.endMilestone));
}

KroICfgFilter_var Filter(const FilterData& data) {
  return Own<KroICfgFilter>(
      new M::Filter(data.id, data.domain, data.context, ToList(data.values), data.mode, data.mode150));
}

}  // namespace KroCfgModelBuilder
