#include "KroMetaClass.h"

#include <memory>
#include <unordered_map>

#include "KroBaseUnknown.h"

namespace {

struct MetaRegistry {
  std::unordered_map<std::string, std::unique_ptr<KroMetaClass>> byName;
  std::unordered_map<std::string, IID> interfaceIds;
  std::unordered_map<IID, KroToBaseFn, KroGUIDHash> toBase;
};

// Meta objects live until the process ends; leaked on purpose so no static destructor can see one gone.
MetaRegistry& Registry() {
  static auto* registry = new MetaRegistry();
  return *registry;
}

}  // namespace

KroMetaClass::KroMetaClass(const char* className, int typeOfClass, KroMetaClass* base, const char* lateType,
                           const char* framework, std::size_t instanceSize)
    : m_classId(KroMakeGUID(className ? className : "")),
      m_className(className ? className : ""),
      m_typeOfClass(typeOfClass),
      m_base(base),
      m_lateType(lateType ? lateType : ""),
      m_framework(framework ? framework : ""),
      m_size(instanceSize) {}

KroMetaClass::KroMetaClass(const IID& iid, const char* interfaceName, KroMetaClass* interfaceMeta,
                           KroMetaClass* implMeta, int typeOfClass)
    : m_classId(iid),
      m_className(std::string("TIE") + (interfaceName ? interfaceName : "") + (implMeta ? implMeta->ClassName() : "")),
      m_typeOfClass(typeOfClass),
      m_base(interfaceMeta),
      m_lateType(implMeta ? implMeta->GetLateType() : ""),
      m_framework(implMeta ? implMeta->GetFramework() : ""),
      m_iid(iid),
      m_interfaceMeta(interfaceMeta),
      m_implMeta(implMeta) {}

int KroMetaClass::IsAKindOf(const char* className) const {
  if (!className) return 0;
  for (const KroMetaClass* m = this; m; m = m->m_base)
    if (m->m_className == className) return 1;
  return 0;
}

KroMetaClass* fct_RetrieveMetaObject(const char* className, int typeOfClass, KroMetaClass* base,
                                     const char* lateType, const char* framework, std::size_t instanceSize) {
  auto& slot = Registry().byName[className ? className : ""];
  if (!slot) slot = std::make_unique<KroMetaClass>(className, typeOfClass, base, lateType, framework, instanceSize);
  return slot.get();
}

KroMetaClass* KroFindMetaObject(const char* className) {
  auto it = Registry().byName.find(className ? className : "");
  return it == Registry().byName.end() ? nullptr : it->second.get();
}

KroMetaClass* KroInterfaceMeta(const IID& iid, const char* name, KroToBaseFn toBase) {
  KroMetaClass* meta =
      fct_RetrieveMetaObject(name, KroTypeOfClass_Interface, name && std::string(name) == "KroBaseUnknown"
                                                                 ? nullptr
                                                                 : KroBaseUnknown::MetaObject(),
                             "", "", 0);
  if (!(meta->GetIID() == iid)) {
    meta->SetIID(iid);
    Registry().interfaceIds[name] = iid;
    Registry().toBase[iid] = toBase;
  }
  return meta;
}

const IID* KroFindInterfaceId(const char* name) {
  auto it = Registry().interfaceIds.find(name ? name : "");
  return it == Registry().interfaceIds.end() ? nullptr : &it->second;
}

KroToBaseFn KroFindInterfaceToBase(const IID& iid) {
  if (iid == IID_KroBaseUnknown) return [](void* p) { return static_cast<KroBaseUnknown*>(p); };
  auto it = Registry().toBase.find(iid);
  return it == Registry().toBase.end() ? nullptr : it->second;
}
