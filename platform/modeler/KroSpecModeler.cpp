#include "KroSpecModeler.h"

KroBaseUnknown* FindStartUp(const char* /*interfaceName*/, const KroUnicodeString& name, const KroUnicodeString& type,
                            const KroIContainer_var& container) {
  KroContainer* concrete = container ? container->GetModelerContainer() : nullptr;
  if (!concrete) return nullptr;
  KroSpecObject* startUp = concrete->findStartUpRemembered(name);
  if (!startUp || (!type.IsEmpty() && startUp->lateType() != type.view())) return nullptr;
  startUp->AddRef();
  return static_cast<KroISpecObject*>(startUp);
}

KroISpecObject* CreateStartUp(const KroUnicodeString& name, const KroUnicodeString& type,
                              const char* /*interfaceClassName*/, const KroIContainer_var& container,
                              const KroUnicodeString& /*text*/, const KroISpecObject_var& base) {
  KroContainer* concrete = container ? container->GetModelerContainer() : nullptr;
  if (!concrete || name.IsEmpty() || concrete->findStartUp(name.view())) return nullptr;
  KroSpecObject* startUp = KroSpecObject::NewStartUp(name.view(), std::string(type.IsEmpty() ? name.view() : type.view()));
  if (KroSpecObject* baseObject = base ? base->GetModelerObject() : nullptr)
    baseObject->forEachAttribute([&](const KroAttrPlace& from) {
      KroAttrPlace to = startUp->add(from.name, from.kind, from.elementKind);
      if (to) to.slot->copyFrom(*from.slot);
    });
  concrete->addStartUp(startUp);
  return startUp;
}

bool KroContainerTransientFromEnvironment() { return KroContainer::TransientFromEnvironment(); }
