// The component model: the base of every component, reference counting and interface query.
#pragma once

#include "KroExport.h"

#include <new>

#include "KroTypes.h"

class KroMetaClass;
class KroVariant;
struct KroDispParams;
struct KroExcepInfo;

// The base interface id answered by every component.
inline constexpr IID IID_KroBaseUnknown = KroMakeGUID("KroBaseUnknown");

// Interfaces derive virtually from KroBaseUnknown, so that a component implementing several of them
// still has one identity and one reference count.
class KRO_PLATFORM_API KroBaseUnknown {
 public:
  static const IID& ClassIID() { return IID_KroBaseUnknown; }
  static constexpr const char* InterfaceName() { return "KroBaseUnknown"; }

  KroBaseUnknown();
  KroBaseUnknown(const KroBaseUnknown&) = delete;
  KroBaseUnknown& operator=(const KroBaseUnknown&) = delete;

  // A successful query returns in *out the interface pointer carrying one reference.
  virtual HRESULT QueryInterface(const IID& iid, void** out);
  // Inline, so that a call on a known final class costs an increment.
  virtual ULONG AddRef() { return ++m_refCount; }
  virtual ULONG Release() {
    const ULONG remaining = --m_refCount;
    if (remaining == 0) delete this;
    return remaining;
  }
  // Dispatch for scripting clients (KroDispatch.h): by default through the interface riid names, whose
  // dispatch table is called on this component's answer to a query for riid. Ties serve their own.
  virtual HRESULT GetTypeInfoCount(unsigned int* count);
  virtual HRESULT GetTypeInfo(unsigned int index, unsigned long locale, void** info);
  virtual HRESULT GetIDsOfNames(const IID& riid, const char** names, unsigned int count, unsigned long locale,
                                long* dispIds);
  // params may be null for a method without parameters; result and exception may be null when the
  // caller does not want them (KroDispatch.h).
  virtual HRESULT Invoke(long dispId, const IID& riid, unsigned long locale, unsigned short flags,
                         const KroDispParams* params, KroVariant* result, KroExcepInfo* exception,
                         unsigned int* argError);
  virtual ~KroBaseUnknown();
  virtual KroMetaClass* GetMetaObject() const;
  virtual const char* IsA() const;
  virtual int IsAKindOf(const char* className) const;
  // The component that this one extends (set by the component model for extension objects), or null.
  virtual KroBaseUnknown* GetImpl() const;
  virtual void SetImpl(KroBaseUnknown* extended);
  virtual int IsNull() const;
  // True when both pointers reach the same component identity.
  virtual int IsEqual(KroBaseUnknown* other);
  // Query by interface name; returns the interface carrying one reference, or null.
  virtual KroBaseUnknown* QueryInterface(const char* interfaceName);
  virtual HRESULT ChangeComponentState(int state);

  static KroMetaClass* MetaObject();
  ULONG GetRefCount() const { return m_refCount; }

  // Components are allocated through the component model's allocator, which counts them.
  static void* operator new(std::size_t size);
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void operator delete(void* p) noexcept;
  static void operator delete(void* p, const std::nothrow_t&) noexcept;
  // Components alive in the process; a test that releases everything it made sees it return to its start.
  static long LiveObjects();

 private:
  // Plain counts: components are used from one thread, as the library's callers are, and an atomic
  // update on every handle copy would cost more than the work most calls do.
  ULONG m_refCount = 1;
  KroBaseUnknown* m_extended = nullptr;
  int m_state = 0;
};

// Converts an interface pointer, passed untyped as QueryInterface hands it out, to its component base.
using KroToBaseFn = KroBaseUnknown* (*)(void*);

// Declares the members every interface class carries: its id, its name, its meta object, and its
// registration by name (so that QueryInterface(const char*) finds it).
#define KRO_INTERFACE_MEMBERS(Name)                                                      \
 public:                                                                                 \
  static const IID& ClassIID() { return IID_##Name; }                                   \
  static constexpr const char* InterfaceName() { return #Name; }                       \
  static KroBaseUnknown* KroToBase(void* p) { return static_cast<Name*>(p); }           \
  static KroMetaClass* MetaObject() { return KroInterfaceMeta(IID_##Name, #Name, &KroToBase); } \
                                                                                         \
 private:                                                                                \
  static inline KroMetaClass* const kro_interface_meta = MetaObject();                  \
                                                                                         \
 public:

// Meta object of an interface, built and registered once per name.
KRO_PLATFORM_API KroMetaClass* KroInterfaceMeta(const IID& iid, const char* name, KroToBaseFn toBase);
// The interface id registered under a name, or null when no interface of that name was declared.
KRO_PLATFORM_API const IID* KroFindInterfaceId(const char* name);
// The converter of a registered interface id, or null.
KRO_PLATFORM_API KroToBaseFn KroFindInterfaceToBase(const IID& iid);

#define KRO_DECLARE_IID(Name) inline constexpr IID IID_##Name = KroMakeGUID(#Name)
