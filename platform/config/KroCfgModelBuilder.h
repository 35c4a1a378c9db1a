// Builds model objects with given values, for clients and tests. Every function returns a new live
// object (one reference, held by the returned handle) with a uuid of its own. Building consults no
// fault, and lists are taken as given (null elements included).
#pragma once

#include "KroExport.h"

#include <vector>

#include "KroCfgModel.h"

namespace KroCfgModelBuilder {

// Intervals. A date interval whose end is 0 or less, and a range interval whose end is negative, are
// infinite. IntervalOfKind gives an interval of any kind, without bounds.
KRO_PLATFORM_API KroICfgInterval_var DateInterval(const KroTime& start, const KroTime& end);
KRO_PLATFORM_API KroICfgInterval_var InfiniteDateInterval(const KroTime& start);
KRO_PLATFORM_API KroICfgInterval_var RangeInterval(int start, int end);
KRO_PLATFORM_API KroICfgInterval_var InfiniteRangeInterval(int start);
KRO_PLATFORM_API KroICfgInterval_var IntervalOfKind(int kind);

// Milestones and their values. Milestone takes any value, null included.
KRO_PLATFORM_API KroICfgValue_var DateValue(const KroTime& date);
KRO_PLATFORM_API KroICfgValue_var RangeValue(int rank);
KRO_PLATFORM_API KroICfgMileStone_var Milestone(const KroUnicodeString& name, const KroICfgValue_var& value);
KRO_PLATFORM_API KroICfgMileStone_var DateMilestone(const KroUnicodeString& name, const KroTime& date);
KRO_PLATFORM_API KroICfgMileStone_var RangeMilestone(const KroUnicodeString& name, int rank);

struct KRO_PLATFORM_API SpecificationData {
  KroUnicodeString name{}, description{}, alias{}, condition{};
  KroUnicodeString categoryName{}, categoryDescription{};
  bool withCategory = true;  // false: getCategory gives null
};
KRO_PLATFORM_API KroICfgSpecCategory_var Category(const KroUnicodeString& name, const KroUnicodeString& description);
KRO_PLATFORM_API KroICfgSimpleSpecification_var Specification(const SpecificationData& data);
KRO_PLATFORM_API KroICfgSignedSpec_var SignedSpec(int sign, const KroICfgSimpleSpecification_var& specification);
KRO_PLATFORM_API KroICfgSpecANDExpression_var ANDExpression(const std::vector<KroICfgSignedSpec_var>& terms);

KRO_PLATFORM_API KroICfgBasicEffectivity_var BasicEffectivity(const std::vector<KroICfgInterval_var>& intervals,
                                             const KroICfgSpecANDExpression_var& expression = nullptr);
KRO_PLATFORM_API KroICfgEffectivity_var Effectivity(const std::vector<KroICfgBasicEffectivity_var>& basics);
KRO_PLATFORM_API KroICfgXEff_var XEff(const KroUnicodeString& domain, const std::vector<KroICfgBasicEffectivity_var>& basics);

// Group-modification subscribers: an action answers KroIDmxAFLAction and QuorINamedObject; a plain
// subscriber answers neither.
KRO_PLATFORM_API QuorISubScribeGroupMod_var ActionSubscriber(const KroUnicodeString& name);
KRO_PLATFORM_API QuorISubScribeGroupMod_var PlainSubscriber();
KRO_PLATFORM_API KroICfgGroupMod_var GroupMod(const std::vector<QuorISubScribeGroupMod_var>& subscribers);
KRO_PLATFORM_API KroICfgModification_var Modification(const KroUnicodeString& name, const KroUnicodeString& firstEffectivity,
                                     const KroUnicodeString& secondEffectivity,
                                     const KroICfgGroupMod_var& group = nullptr);

KRO_PLATFORM_API KroICfgContext_var Context(const KroUnicodeString& name);

struct KRO_PLATFORM_API NormalValueData {
  KroICfgInterval_var dateInterval{};   // null: an interval of kind 0 stands in
  KroICfgInterval_var rangeInterval{};  // null: an interval of kind 0 stands in
  KroICfgSimpleSpecification_var condition{};
  KroICfgModification_var modification{};
  KroUnicodeString startMilestone{}, endMilestone{};
};
KRO_PLATFORM_API KroICfgNormalValue_var NormalValue(const NormalValueData& data);

struct KRO_PLATFORM_API FilterData {
  KroUnicodeString id{}, domain{};
  KroICfgContext_var context{};
  std::vector<KroICfgNormalValue_var> values{};
  int mode = 0;
  boolean mode150 = 0;
};
KRO_PLATFORM_API KroICfgFilter_var Filter(const FilterData& data);

}  // namespace KroCfgModelBuilder
