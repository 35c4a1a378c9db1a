#include "KroSpecReach.h"

#include <memory>
#include <unordered_set>

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

std::vector<KroISpecObject_var> KroSpecReach::Closure(const KroListValKroISpecObject_var& roots) {
  std::vector<KroISpecObject_var> objects;
  std::unordered_set<KroISpecObject*> seen;
  for (const KroISpecObject_var& root : roots)
    if (root && seen.insert(root.ptr()).second) objects.push_back(root);
  const std::size_t listed = objects.size();
  for (std::size_t i = 0; i < listed; ++i) {
    std::vector<KroISpecObject_var> stack{objects[i]};
    while (!stack.empty()) {
      KroISpecObject_var at = stack.back();
      stack.pop_back();
      for (KroISpecObject_var& target : Targets(at))
        if (seen.insert(target.ptr()).second) {
          objects.push_back(target);
          stack.push_back(target);
        }
    }
  }
  return objects;
}
