#include "KroCfgEffectivityRecord.h"

bool KroCfgEffectivityRecord::Basic::expressionHolds(const KroCfgEffectivityPoint& point) const {
  if (point.mode150()) return true;
  for (const Term& term : terms)
    if (point.isChosen(term.name) == (term.sign < 0)) return false;
  return true;
}

bool KroCfgEffectivityRecord::Basic::holds(const KroCfgEffectivityPoint& point) const {
  for (const Interval& interval : dates)
    if (!point.hasDate() || !interval.holds(point.date())) return false;
  for (const Interval& interval : ranks)
    if (!point.hasRank() || !interval.holds(point.rank())) return false;
  return expressionHolds(point);
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
