#include "KroCfgModelObjects.h"

namespace KroCfgModelObjects {

namespace {

// Stands for an absent interval, so that a normal value never hands out a null one: its kind is
// neither Date nor Range, and it has no bounds.
KroICfgInterval_var OrAbsent(const KroICfgInterval_var& interval) {
  return interval ? interval : KroICfgInterval_var::Adopt(new Interval(0));
}

}  // namespace

NormalValue::NormalValue(const KroICfgInterval_var& dateInterval, const KroICfgInterval_var& rangeInterval,
                         const KroICfgSimpleSpecification_var& condition,
                         const KroICfgModification_var& modification, const KroUnicodeString& startMilestone,
                         const KroUnicodeString& endMilestone)
    : m_dateInterval(OrAbsent(dateInterval)),
      m_rangeInterval(OrAbsent(rangeInterval)),
      m_condition(condition),
      m_modification(modification),
      m_startMilestone(startMilestone),
      m_endMilestone(endMilestone) {}

HRESULT XEff::setEffectivity(const KroICfgEffectivity_var& effectivity, int mode) {
  KRO_CFG_FAULT("KroICfgXEff::setEffectivity");
  // The basic effectivities are only reachable on the model's own effectivities.
  auto* own = dynamic_cast<Effectivity*>(effectivity.ptr());
  if (!own || (mode != Add && mode != Replace)) return E_INVALIDARG;
  if (mode == Replace) m_basics.RemoveAll();
  m_basics.Append(own->Basics());
  return S_OK;
}

}  // namespace KroCfgModelObjects
