#include "KroEffectivityScripting.h"

#include <string>
#include <vector>

#include "KroCfgEffectivityQuery.h"

KRO_STATIC_DISPATCH_DEFINE(KroEffectivityScripting, KroEffectivityScripting_METHODS)

namespace {

// The point of the arguments; false when the date is not a time or the rank not an integer.
bool Point(const KroUnicodeString& domain, const KroVariant& date, const KroVariant& rank,
           const KroListValKroUnicodeString& specs, boolean mode150, KroCfgEffectivityPoint& point) {
  point.setDomain(std::string(domain.view()));
  if (const KroTime* time = date.IfTime())
    point.setDate(*time);
  else if (!date.IsEmpty())
    return false;
  if (const auto* small = rank.IfInt())
    point.setRank(*small);
  else if (const auto* large = rank.IfLong())
    point.setRank(*large);
  else if (!rank.IsEmpty())
    return false;
  std::vector<std::string> chosen;
  chosen.reserve(static_cast<std::size_t>(specs.Size()));
  for (const KroUnicodeString& name : specs) chosen.emplace_back(name.view());
  point.setChosen(chosen);
  point.setMode150(mode150 != 0);
  return true;
}

HRESULT Answer(HRESULT hr, const std::vector<KroCfgEffectivityQuery::Match>& found,
               const std::vector<KroCfgEffectivityQuery::Problem>& problems, KroVariant& matches, KroVariant& damaged) {
  std::vector<KroVariant> rows;
  rows.reserve(found.size());
  for (const auto& match : found)
    rows.push_back(KroVariant::Array({KroVariant::Int(match.object),
                                      KroVariant::Interface(match.record.ptr(), KroISpecObject::ClassIID()),
                                      KroVariant::String(KroUnicodeString(match.lateType)), KroVariant::Int(match.basic)}));
  matches = KroVariant::Array(std::move(rows));
  rows.clear();
  for (const auto& problem : problems)
    rows.push_back(KroVariant::Array({KroVariant::Int(problem.object), KroVariant::String(KroUnicodeString(problem.lateType))}));
  damaged = KroVariant::Array(std::move(rows));
  // Damaged records are in the output; only a failure of the search itself fails the call.
  return hr == KRO_E_DAMAGED_EFFECTIVITY && !problems.empty() ? S_OK : hr;
}

// A container's records or the records roots reach: the same point, the same answer.
template <class Where>
HRESULT Select(const Where& where, const KroUnicodeString& domain, const KroVariant& date, const KroVariant& rank,
               const KroListValKroUnicodeString& specs, boolean mode150, KroVariant& matches, KroVariant& damaged) {
  KroCfgEffectivityPoint point;
  if (!Point(domain, date, rank, specs, mode150, point)) return DISP_E_TYPEMISMATCH;
  std::vector<KroCfgEffectivityQuery::Match> found;
  std::vector<KroCfgEffectivityQuery::Problem> problems;
  const HRESULT hr = KroCfgEffectivityQuery::Select(where, point, found, &problems);
  return Answer(hr, found, problems, matches, damaged);
}

}  // namespace

HRESULT KroEffectivityScripting::SelectInContainer(const KroIContainer_var& container, const KroUnicodeString& domain,
                                                   const KroVariant& date, const KroVariant& rank,
                                                   const KroListValKroUnicodeString& specs, boolean mode150,
                                                   KroVariant& matches, KroVariant& damaged) {
  return Select(container, domain, date, rank, specs, mode150, matches, damaged);
}

HRESULT KroEffectivityScripting::SelectFromRoots(const KroListValKroISpecObject_var& roots, const KroUnicodeString& domain,
                                                 const KroVariant& date, const KroVariant& rank,
                                                 const KroListValKroUnicodeString& specs, boolean mode150,
                                                 KroVariant& matches, KroVariant& damaged) {
  return Select(roots, domain, date, rank, specs, mode150, matches, damaged);
}

HRESULT KroEffectivityScripting::RecordHolds(const KroISpecObject_var& record, const KroUnicodeString& domain,
                                             const KroVariant& date, const KroVariant& rank,
                                             const KroListValKroUnicodeString& specs, boolean mode150, int& basic) {
  basic = 0;
  KroCfgEffectivityPoint point;
  if (!Point(domain, date, rank, specs, mode150, point)) return DISP_E_TYPEMISMATCH;
  return KroCfgEffectivityQuery::RecordHolds(record, point, basic);
}
