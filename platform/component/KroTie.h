// Declaring extension classes and their ties.
//
// An extension class extends the spec objects of one late type. Its tie presents it through one
// interface; a tie is written once per (interface, class) pair, its forwarders made from the
// interface's method list (see KroDispatch.h):
//
//   class TIEKroIFooKroFoo : public KroTie<KroIFoo, KroFoo> {
//     KRO_TIE_FORWARDERS(KroIFoo_METHODS)
//   };
//   KRO_REGISTER_EXTENSION(KroFoo, KroIFoo, TIEKroIFooKroFoo)
#pragma once

#include "KroExport.h"

#include <new>

#include "KroDispatch.h"
#include "KroMetaClass.h"
#include "KroTieServices.h"
#include "KroVar.h"

template <class I, class Impl>
class KRO_PLATFORM_API KroTie : public I {
 public:
  KroTie(KroBaseUnknown* implementation, KroBaseUnknown* second) {
    MetaObject();
    ptstat = Tie_Construct(this, meta_object, &m_impl, 1, implementation, Impl::ClassId(),
                           Impl::MetaObject()->GetTypeOfClass(), ptstat, &Impl::CreateItself, second, &m_link);
  }
  ~KroTie() override { Tie_Destruct(this, &m_impl, meta_object->GetTypeOfClass(), m_count); }

  HRESULT QueryInterface(const IID& iid, void** out) override {
    if (out && iid == I::ClassIID()) {
      AddRef();
      *out = static_cast<I*>(this);
      return S_OK;
    }
    return Tie_Query(this, m_impl, m_link, MetaObject(), 1, iid, out);
  }
  ULONG AddRef() override { return Tie_AddRef(m_impl, MetaObject()->GetTypeOfClass(), &m_count); }
  ULONG Release() override {
    int deleteFlag = 0;
    ULONG remaining = Tie_Release(&deleteFlag, &m_impl, m_link, MetaObject()->GetTypeOfClass(), &m_count);
    if (deleteFlag) delete this;
    return remaining;
  }
  HRESULT GetTypeInfoCount(unsigned int* count) override { return Tie_GetTypeInfoCount(MetaObject(), count); }
  HRESULT GetTypeInfo(unsigned int index, unsigned long locale, void** info) override {
    return Tie_GetTypeInfo(MetaObject(), index, locale, info);
  }
  // A tie answers for its own interface (asked for by id, or by the null id); any other id is
  // answered by the object it presents.
  HRESULT GetIDsOfNames(const IID& riid, const char** names, unsigned int count, unsigned long locale,
                        long* dispIds) override {
    if (!IsOwnInterface(riid)) return KroBaseUnknown::GetIDsOfNames(riid, names, count, locale, dispIds);
    return Tie_GetIDsOfNames(MetaObject(), names, count, dispIds);
  }
  HRESULT Invoke(long dispId, const IID& riid, unsigned long locale, unsigned short flags, const KroDispParams* params,
                 KroVariant* result, KroExcepInfo* exception, unsigned int* argErr) override {
    if (!IsOwnInterface(riid))
      return KroBaseUnknown::Invoke(dispId, riid, locale, flags, params, result, exception, argErr);
    return Tie_Invoke(MetaObject(), static_cast<I*>(this), dispId, params, result, exception, argErr);
  }
  KroMetaClass* GetMetaObject() const override { return MetaObject(); }

  static KroMetaClass* MetaObject() {
    if (!meta_object) {
      meta_object = new KroMetaClass(I::ClassIID(), I::InterfaceName(), I::MetaObject(), Impl::MetaObject(),
                                     KroTypeOfClass_Tie);
    }
    return meta_object;
  }

  // The tie factory: the existing tie of the pair, else a new one (null when allocation fails).
  template <class Derived>
  static KroBaseUnknown* Create(KroBaseUnknown* implementation, KroBaseUnknown* second) {
    if (KroBaseUnknown* existing = Tie_Link(implementation, second, I::ClassIID())) return existing;
    Derived* tie = new (std::nothrow) Derived(implementation, second);
    if (tie && !static_cast<KroTie*>(tie)->m_impl) {  // no implementation object could be made
      tie->AddRef();
      tie->Release();
      return nullptr;
    }
    return static_cast<I*>(tie);
  }

 protected:
  using KroTieImpl = Impl;

  // Calls f on the implementation object inside a call context; returns f's result unchanged.
  template <class F>
  decltype(auto) Forward(F&& f) const {
    Tie_StackCtx context;
    Impl* implementation = static_cast<Impl*>(Tie_StackCtx::Run(context, ptstat, m_impl));
    return f(*implementation);
  }

 private:
  static bool IsOwnInterface(const IID& riid) { return riid == IID{} || riid == I::ClassIID(); }

  KroBaseUnknown* m_impl = nullptr;
  long m_count = 0;
  void* m_link = nullptr;
  static inline KroMetaClass* meta_object = nullptr;
  static inline void* ptstat = nullptr;
};

#define KRO_IMPLEMENT_EXTENSION_META(Class, BaseClass, LateType, Framework)                                  \
  KroMetaClass* Class::meta_object = nullptr;                                                                \
  KroMetaClass* Class::MetaObject() {                                                                        \
    if (!meta_object)                                                                                        \
      meta_object = fct_RetrieveMetaObject(#Class, KroTypeOfClass_Extension, BaseClass::MetaObject(), LateType, \
                                           Framework, sizeof(Class));                                        \
    return meta_object;                                                                                      \
  }                                                                                                          \
  KroMetaClass* Class::GetMetaObject() const { return meta_object ? meta_object : MetaObject(); }           \
  const char* Class::IsA() const { return GetMetaObject()->ClassName(); }                                    \
  int Class::IsAKindOf(const char* className) const { return GetMetaObject()->IsAKindOf(className); }       \
  const CLSID& Class::ClassId() { return MetaObject()->ClassId(); }                                          \
  const char* Class::ClassName() { return MetaObject()->ClassName(); }

// A concrete extension class: meta object plus CreateItself.
#define KRO_IMPLEMENT_EXTENSION_CLASS(Class, BaseClass, LateType, Framework) \
  KRO_IMPLEMENT_EXTENSION_META(Class, BaseClass, LateType, Framework)         \
  KroBaseUnknown* Class::CreateItself() { return new (std::nothrow) Class(); }

// Defines the tie factory CreateTIE<Interface><Class> and registers it in the dictionary at load.
#define KRO_REGISTER_EXTENSION(Class, Interface, Tie)                                                    \
  KroBaseUnknown* CreateTIE##Interface##Class(KroBaseUnknown* implementation, KroBaseUnknown* second) { \
    return Tie::template Create<Tie>(implementation, second);                                           \
  }                                                                                                     \
  static KroFillDictionary kro_dictionary_##Interface##Class(Class::MetaObject(), Interface::MetaObject(), \
                                                             &CreateTIE##Interface##Class, 0, 1)
