#include "KroSpecReach.h"

#include <memory>
#include <unordered_map>

std::vector<KroISpecObject_var> KroSpecReach::Targets(const KroISpecObject_var& so) {
  std::vector<KroISpecObject_var> out;
  if (!so) return out;
  KroISpecAttrAccess_var access = so;
  std::unique_ptr<KroListValKroISpecAttribute_var> attributes(so->ListAttributes());
  for (int i = 1; access && attributes && i <= attributes->Size(); ++i) {
    KroISpecAttribute_var attribute = (*attributes)[i];
    KroISpecAttrKey_var key = attribute;
    if (attribute->GetKind() == tk_specobject) {
      if (KroISpecObject_var target = KroISpecObject_var::Adopt(access->GetSpecObject(key))) out.push_back(target);
    } else if (attribute->GetKind() == tk_list && attribute->GetElementKind() == tk_specobject) {
      std::unique_ptr<KroListValKroBaseUnknown_var> list(access->GetListSpecObject(key, IID_KroISpecObject));
      for (int k = 1; list && k <= list->Size(); ++k)
        if (KroISpecObject_var target = (*list)[k]) out.push_back(target);
    }
  }
  return out;
}

KroSpecReach::Graph KroSpecReach::Walk(const KroListValKroISpecObject_var& roots) {
  Graph graph;
  std::unordered_map<KroISpecObject*, std::uint32_t> position;
  auto place = [&](const KroISpecObject_var& so) {
    auto [it, added] = position.try_emplace(so.ptr(), static_cast<std::uint32_t>(graph.objects.size()));
    if (added) graph.objects.push_back(so);
    return std::pair{it->second, added};
  };
  for (const KroISpecObject_var& root : roots)
    if (root) place(root);
  const std::size_t listed = graph.objects.size();
  graph.targets.resize(listed);
  for (std::size_t i = 0; i < listed; ++i) {
    std::vector<std::uint32_t> stack{static_cast<std::uint32_t>(i)};
    while (!stack.empty()) {
      const std::uint32_t at = stack.back();
      stack.pop_back();
      // Every object is pushed once, when first found, so its attributes are read once.
      for (KroISpecObject_var& target : Targets(graph.objects[at])) {
        auto [to, added] = place(target);
        if (added) {
          graph.targets.emplace_back();
          stack.push_back(to);
        }
        graph.targets[at].push_back(to);
      }
    }
  }
  return graph;
}

std::vector<KroISpecObject_var> KroSpecReach::Closure(const KroListValKroISpecObject_var& roots) {
  return Walk(roots).objects;
}
