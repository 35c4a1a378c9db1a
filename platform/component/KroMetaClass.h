// Meta classes: the class-level description of components, extensions, interfaces and ties.
#pragma once

#include "KroExport.h"

#include <string>

#include "KroTypes.h"

class KRO_PLATFORM_API KroMetaClass {
 public:
  // A component or extension class.
  KroMetaClass(const char* className, int typeOfClass, KroMetaClass* base, const char* lateType,
               const char* framework, std::size_t instanceSize);
  // A tie: presents the implementation class described by implMeta through one interface.
  KroMetaClass(const IID& iid, const char* interfaceName, KroMetaClass* interfaceMeta, KroMetaClass* implMeta,
               int typeOfClass);

  const CLSID& ClassId() const { return m_classId; }
  const char* ClassName() const { return m_className.c_str(); }
  int GetTypeOfClass() const { return m_typeOfClass; }
  KroMetaClass* GetBase() const { return m_base; }
  const char* GetLateType() const { return m_lateType.c_str(); }
  const char* GetFramework() const { return m_framework.c_str(); }
  std::size_t GetInstanceSize() const { return m_size; }
  // Interface metas and ties: the interface id; for ties also the two classes they join.
  const IID& GetIID() const { return m_iid; }
  void SetIID(const IID& iid) { m_iid = iid; }
  KroMetaClass* GetInterfaceMeta() const { return m_interfaceMeta; }
  KroMetaClass* GetImplementationMeta() const { return m_implMeta; }

  // True when this class or one of its bases has the given name.
  int IsAKindOf(const char* className) const;

 private:
  CLSID m_classId;
  std::string m_className;
  int m_typeOfClass;
  KroMetaClass* m_base = nullptr;
  std::string m_lateType;
  std::string m_framework;
  std::size_t m_size = 0;
  IID m_iid{};
  KroMetaClass* m_interfaceMeta = nullptr;
  KroMetaClass* m_implMeta = nullptr;
};

// The meta object of a class, built at its first request and kept for the life of the process.
KRO_PLATFORM_API KroMetaClass* fct_RetrieveMetaObject(const char* className, int typeOfClass, KroMetaClass* base,
                                     const char* lateType, const char* framework, std::size_t instanceSize);
// The meta object registered under a class name, or null.
KRO_PLATFORM_API KroMetaClass* KroFindMetaObject(const char* className);

// Members of an extension class: its meta object and the class-level queries.
#define KRO_DECLARE_EXTENSION_CLASS(Class)                    \
 public:                                                       \
  static KroMetaClass* MetaObject();                           \
  KroMetaClass* GetMetaObject() const override;                \
  const char* IsA() const override;                            \
  int IsAKindOf(const char* className) const override;         \
  static const CLSID& ClassId();                               \
  static const char* ClassName();                              \
  static KroBaseUnknown* CreateItself();                       \
                                                               \
 private:                                                      \
  static KroMetaClass* meta_object;                            \
                                                               \
 public:
