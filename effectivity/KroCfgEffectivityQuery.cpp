#include "KroCfgEffectivityQuery.h"

#include <algorithm>
#include <cstdint>

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

namespace {

// Strongly connected components (Tarjan's, without recursion): component[i] for every object, and
// whether each component is a cycle (more than one object, or an object that refers to itself).
void Components(const KroSpecReach::Graph& graph, std::vector<std::uint32_t>& component, std::vector<char>& cyclic) {
  constexpr std::uint32_t kUnseen = 0xFFFFFFFFu;
  const std::size_t n = graph.objects.size();
  std::vector<std::uint32_t> order(n, kUnseen), low(n, 0), stack;
  std::vector<char> onStack(n, 0);
  component.assign(n, kUnseen);
  cyclic.clear();
  std::uint32_t next = 0;
  std::vector<std::pair<std::uint32_t, std::size_t>> calls;  // object, next target to follow
  for (std::uint32_t root = 0; root < n; ++root) {
    if (order[root] != kUnseen) continue;
    calls.push_back({root, 0});
    order[root] = low[root] = next++;
    stack.push_back(root);
    onStack[root] = 1;
    while (!calls.empty()) {
      auto& [at, edge] = calls.back();
      if (edge < graph.targets[at].size()) {
        const std::uint32_t to = graph.targets[at][edge++];
        if (order[to] == kUnseen) {
          order[to] = low[to] = next++;
          stack.push_back(to);
          onStack[to] = 1;
          calls.push_back({to, 0});
        } else if (onStack[to]) {
          low[at] = std::min(low[at], order[to]);
        }
        continue;
      }
      const std::uint32_t done = at;
      calls.pop_back();
      if (!calls.empty()) low[calls.back().first] = std::min(low[calls.back().first], low[done]);
      if (low[done] != order[done]) continue;
      const auto id = static_cast<std::uint32_t>(cyclic.size());
      std::size_t members = 0;
      std::uint32_t member = 0;
      do {
        member = stack.back();
        stack.pop_back();
        onStack[member] = 0;
        component[member] = id;
        ++members;
      } while (member != done);
      bool selfLoop = false;
      for (std::uint32_t to : graph.targets[done]) selfLoop = selfLoop || to == done;
      cyclic.push_back(members > 1 || selfLoop);
    }
  }
}

}  // namespace

std::vector<KroCfgEffectivityQuery::Candidate> KroCfgEffectivityQuery::Records(const KroListValKroISpecObject_var& roots) {
  const KroSpecReach::Graph graph = KroSpecReach::Walk(roots);
  const std::size_t n = graph.objects.size();
  std::vector<char> isRecord(n);
  for (std::size_t i = 0; i < n; ++i) isRecord[i] = KroCfgEffectivityReader::IsRecord(graph.objects[i]);

  // What a record reaches belongs to it: one walk from every record at once marks each object once.
  std::vector<char> nested(n, 0);
  std::vector<std::uint32_t> stack;
  for (std::size_t i = 0; i < n; ++i)
    if (isRecord[i])
      for (std::uint32_t to : graph.targets[i])
        if (!nested[to]) nested[to] = 1, stack.push_back(to);
  while (!stack.empty()) {
    const std::uint32_t at = stack.back();
    stack.pop_back();
    for (std::uint32_t to : graph.targets[at])
      if (!nested[to]) nested[to] = 1, stack.push_back(to);
  }

  // Cycles through records: a record on one, or one that reaches one, cannot be read as a whole.
  std::vector<std::uint32_t> component;
  std::vector<char> cyclic;
  Components(graph, component, cyclic);
  std::vector<char> recordCycle(cyclic.size(), 0);
  for (std::size_t i = 0; i < n; ++i)
    if (isRecord[i] && cyclic[component[i]]) recordCycle[component[i]] = 1;
  std::vector<std::vector<std::uint32_t>> sources(n);
  for (std::size_t i = 0; i < n; ++i)
    for (std::uint32_t to : graph.targets[i]) sources[to].push_back(static_cast<std::uint32_t>(i));
  std::vector<char> damaged(n, 0);
  for (std::size_t i = 0; i < n; ++i)
    if (recordCycle[component[i]] && !damaged[i]) damaged[i] = 1, stack.push_back(static_cast<std::uint32_t>(i));
  while (!stack.empty()) {
    const std::uint32_t at = stack.back();
    stack.pop_back();
    for (std::uint32_t from : sources[at])
      if (!damaged[from]) damaged[from] = 1, stack.push_back(from);
  }
  // A cycle of records reached from no record outside it has no owner: its first record stands for it.
  std::vector<char> owned(cyclic.size(), 0), represented(cyclic.size(), 0);
  for (std::size_t i = 0; i < n; ++i)
    if (isRecord[i])
      for (std::uint32_t to : graph.targets[i])
        if (component[to] != component[i]) owned[component[to]] = 1;
  // Ownership passes down through objects that are not records.
  for (std::size_t i = 0; i < n; ++i)
    if (!isRecord[i] && nested[i])
      for (std::uint32_t to : graph.targets[i])
        if (component[to] != component[i]) owned[component[to]] = 1;

  std::vector<Candidate> records;
  for (std::size_t i = 0; i < n; ++i) {
    if (!isRecord[i]) continue;
    const std::uint32_t c = component[i];
    const bool heads = recordCycle[c] && !owned[c] && !represented[c];
    if (nested[i] && !heads) continue;
    if (heads) represented[c] = 1;
    records.push_back({static_cast<int>(i) + 1, graph.objects[i], damaged[i] ? KRO_E_DAMAGED_EFFECTIVITY : S_OK});
  }
  return records;
}

HRESULT KroCfgEffectivityQuery::Select(const KroListValKroISpecObject_var& roots, const KroCfgEffectivityPoint& point,
                                       std::vector<Match>& matches, std::vector<Problem>* problems) {
  matches.clear();
  if (problems) problems->clear();
  HRESULT result = S_OK;
  for (auto& [object, record, damage] : Records(roots)) {
    int basic = 0;
    const HRESULT hr = FAILED(damage) ? damage : RecordHolds(record, point, basic);
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
