#include "KroCfgEffectivityQuery.h"

#include <unordered_set>

#include "KroCfgEffectivityReader.h"
#include "KroSpecReach.h"

HRESULT KroCfgEffectivityQuery::RecordHolds(const KroISpecObject_var& record, const KroCfgEffectivityPoint& point,
                                            int& basic) {
  basic = 0;
  KroCfgEffectivityRecord read;
  const HRESULT hr = KroCfgEffectivityReader::Read(record, read);
  if (FAILED(hr)) return hr;
  const int holding = read.holds(point);
  if (holding == 0) return S_FALSE;
  basic = read.isExpression() ? 0 : holding;
  return S_OK;
}

std::vector<std::pair<int, KroISpecObject_var>> KroCfgEffectivityQuery::Records(
    const KroListValKroISpecObject_var& roots) {
  // Every object searched, the list's first, each once.
  const std::vector<KroISpecObject_var> objects = KroSpecReach::Closure(roots);
  // What a record reaches belongs to it. Walking from each record marks every record below it; a record
  // reached from itself alone (a cycle) still counts.
  std::unordered_set<KroISpecObject*> nested;
  for (const KroISpecObject_var& so : objects) {
    if (!KroCfgEffectivityReader::IsRecord(so)) continue;
    std::unordered_set<KroISpecObject*> seen{so.ptr()};
    std::vector<KroISpecObject_var> stack{so};
    while (!stack.empty()) {
      KroISpecObject_var at = stack.back();
      stack.pop_back();
      for (KroISpecObject_var& target : KroSpecReach::Targets(at))
        if (seen.insert(target.ptr()).second) {
          nested.insert(target.ptr());
          stack.push_back(target);
        }
    }
  }
  std::vector<std::pair<int, KroISpecObject_var>> records;
  for (std::size_t i = 0; i < objects.size(); ++i)
    if (KroCfgEffectivityReader::IsRecord(objects[i]) && !nested.count(objects[i].ptr()))
      records.emplace_back(static_cast<int>(i) + 1, objects[i]);
  return records;
}

HRESULT KroCfgEffectivityQuery::Select(const KroListValKroISpecObject_var& roots, const KroCfgEffectivityPoint& point,
                                       std::vector<Match>& matches, std::vector<Problem>* problems) {
  matches.clear();
  if (problems) problems->clear();
  HRESULT result = S_OK;
  for (auto& [object, record] : Records(roots)) {
    int basic = 0;
    const HRESULT hr = RecordHolds(record, point, basic);
    if (FAILED(hr)) {
      result = KRO_E_DAMAGED_EFFECTIVITY;
      if (problems) problems->push_back({object, record->GetLateType().str(), hr});
    } else if (hr == S_OK) {
      matches.push_back({object, record, record->GetLateType().str(), basic});
    }
  }
  return result;
}

HRESULT KroCfgEffectivityQuery::Select(const KroIContainer_var& container, const KroCfgEffectivityPoint& point,
                                       std::vector<Match>& matches, std::vector<Problem>* problems) {
  if (!container) {
    matches.clear();
    if (problems) problems->clear();
    return E_INVALIDARG;
  }
  return Select(container->ListObjects(), point, matches, problems);
}
