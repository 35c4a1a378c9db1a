// Builds model objects with given values, for clients and tests. Every function returns a new live
// object (one reference, held by the returned handle) with a uuid of its own. Building consults no
// fault, and lists are taken as given (null elements included).
#pragma once

#include <vector>

#include "KroCfgModel.h"

namespace KroCfgModelBuilder {

// Intervals. A date interval whose end is 0 or less, and a range interval whose end is negative, are
// infinite. IntervalOfKind gives an interval of any kind, without bounds.
KroICfgInterval_var DateInterval(const KroTime& start, const KroTime& end);
KroICfgInterval_var InfiniteDateInterval(const KroTime& start);
KroICfgInterval_var RangeInterval(int start, int end);
KroICfgInterval_var InfiniteRangeInterval(int start);
KroICfgInterval_var IntervalOfKind(int kind);

// Milestones and their values. Milestone takes any value, null included.
KroICfgValue_var DateValue(const KroTime& date);
KroICfgValue_var RangeValue(int rank);
KroICfgMileStone_var Milestone(const KroUnicodeString& name, const KroICfgValue_var& value);
KroICfgMileStone_var DateMilestone(const KroUnicodeString& name, const KroTime& date);
KroICfgMileStone_var RangeMilestone(const KroUnicodeString& name, int rank);

struct SpecificationData {
  KroUnicodeString name{}, description{}, alias{}, condition{};
  KroUnicodeString categoryName{}, categoryDescription{};
  bool withCategory = true;  // false: getCategory gives null
};
KroICfgSpecCategory_var Category(const KroUnicodeString& name, const KroUnicodeString& description);
KroICfgSimpleSpecification_var Specification(const SpecificationData& data);
KroICfgSignedSpec_var SignedSpec(int sign, const KroICfgSimpleSpecification_var& specification);
KroICfgSpecANDExpression_var ANDExpression(const std::vector<KroICfgSignedSpec_var>& terms);

KroICfgBasicEffectivity_var BasicEffectivity(const std::vector<KroICfgInterval_var>& intervals,
                                             const KroICfgSpecANDExpression_var& expression = nullptr);
KroICfgEffectivity_var Effectivity(const std::vector<KroICfgBasicEffectivity_var>& basics);
KroICfgXEff_var XEff(const KroUnicodeString& domain, const std::vector<KroICfgBasicEffectivity_var>& basics);

// Group-modification subscribers: an action answers KroIDmxAFLAction and QuorINamedObject; a plain
// subscriber answers neither.
QuorISubScribeGroupMod_var ActionSubscriber(const KroUnicodeString& name);
QuorISubScribeGroupMod_var PlainSubscriber();
KroICfgGroupMod_var GroupMod(const std::vector<QuorISubScribeGroupMod_var>& subscribers);
KroICfgModification_var Modification(const KroUnicodeString& name, const KroUnicodeString& firstEffectivity,
                                     const KroUnicodeString& secondEffectivity,
                                     const KroICfgGroupMod_var& group = nullptr);

KroICfgContext_var Context(const KroUnicodeString& name);

struct NormalValueData {
  KroICfgInterval_var dateInterval{};   // null: an interval of kind 0 stands in
  KroICfgInterval_var rangeInterval{};  // null: an interval of kind 0 stands in
  KroICfgSimpleSpecification_var condition{};
  KroICfgModification_var modification{};
  KroUnicodeString startMilestone{}, endMilestone{};
};
KroICfgNormalValue_var NormalValue(const NormalValueData& data);

struct FilterData {
  KroUnicodeString id{}, domain{};
  KroICfgContext_var context{};
  std::vector<KroICfgNormalValue_var> values{};
  int mode = 0;
  boolean mode150 = 0;
};
KroICfgFilter_var Filter(const FilterData& data);

}  // namespace KroCfgModelBuilder
