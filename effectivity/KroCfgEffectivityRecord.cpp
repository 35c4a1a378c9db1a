#include "KroCfgEffectivityRecord.h"

const char* KroCfgEffectivityResultName(HRESULT hr) {
  switch (hr) {
    case KRO_E_NOT_AN_EFFECTIVITY: return "KRO_E_NOT_AN_EFFECTIVITY";
    case KRO_E_DAMAGED_EFFECTIVITY: return "KRO_E_DAMAGED_EFFECTIVITY";
    default: return nullptr;
  }
}

bool KroCfgEffectivityRecord::Basic::expressionHolds(const KroCfgEffectivityPoint& point) const {
  if (!ConsultsExpressions(point)) return true;
  for (const Term& term : terms)
    if (!Term::Holds(term.sign, point.isChosen(term.name))) return false;
  return true;
}

bool KroCfgEffectivityRecord::Basic::intervalsHold(const KroCfgEffectivityPoint& point) const {
  const std::optional<std::int64_t> date = point.date(), rank = point.rank();
  for (const Interval& interval : dates)
    if (!date || !interval.holds(*date)) return false;
  for (const Interval& interval : ranks)
    if (!rank || !interval.holds(*rank)) return false;
  return true;
}

std::string KroCfgEffectivityRecord::Basic::expressionText() const {
  if (!hasExpression) return std::string();
  if (terms.empty()) return "(no term)";
  std::string text;
  for (const Term& term : terms) {
    if (!text.empty()) text += " AND ";
    if (term.sign < 0) text += "NOT ";
    text += term.name;
  }
  return text;
}

int KroCfgEffectivityRecord::holds(const KroCfgEffectivityPoint& point) const {
  if (hasDomain && domain != point.domain()) return 0;
  for (std::size_t i = 0; i < basics.size(); ++i)
    if (basics[i].holds(point)) return static_cast<int>(i) + 1;
  return 0;
}
