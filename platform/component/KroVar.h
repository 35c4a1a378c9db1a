// Smart interface handles. A handle holds one counted pointer to its interface. Assigning any component
// pointer or any other handle queries for the handle's interface (adding one reference) and leaves the
// handle null when the object lacks it. The caller keeps, and later releases, the reference it had.
#pragma once

#include "KroExport.h"

#include <stdexcept>
#include <type_traits>
#include <utility>

#include "KroBaseUnknown.h"

// The null-handle error: raised when a null handle is dereferenced.
class KRO_PLATFORM_API KroNullVarError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};
[[noreturn]] KRO_PLATFORM_API void ThrowErrorNullVar(const char* interfaceName);

template <class I>
class KRO_PLATFORM_API KroVar {
 public:
  KroVar() = default;
  KroVar(std::nullptr_t) {}
  KroVar(const KroVar& other) : m_ptr(other.m_ptr) { if (m_ptr) m_ptr->AddRef(); }
  KroVar(KroVar&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
  template <class P, class = std::enable_if_t<std::is_base_of_v<KroBaseUnknown, P>>>
  KroVar(P* p) { query(p); }
  template <class J, class = std::enable_if_t<!std::is_same_v<I, J>>>
  KroVar(const KroVar<J>& other) { query(other.ptr()); }
  ~KroVar() { reset(); }

  KroVar& operator=(const KroVar& other) {
    if (other.m_ptr) other.m_ptr->AddRef();
    reset();
    m_ptr = other.m_ptr;
    return *this;
  }
  KroVar& operator=(KroVar&& other) noexcept {
    if (this != &other) {
      reset();
      m_ptr = std::exchange(other.m_ptr, nullptr);
    }
    return *this;
  }
  KroVar& operator=(std::nullptr_t) { reset(); return *this; }
  template <class P, class = std::enable_if_t<std::is_base_of_v<KroBaseUnknown, P>>>
  KroVar& operator=(P* p) {
    I* previous = std::exchange(m_ptr, nullptr);
    query(p);
    if (previous) previous->Release();
    return *this;
  }
  template <class J, class = std::enable_if_t<!std::is_same_v<I, J>>>
  KroVar& operator=(const KroVar<J>& other) { return *this = other.ptr(); }

  // Takes over a pointer that already carries a reference for this handle (no query, no AddRef).
  static KroVar Adopt(I* p) { KroVar v; v.m_ptr = p; return v; }
  // Gives the reference up to the caller; the handle becomes null.
  I* Detach() { return std::exchange(m_ptr, nullptr); }

  I* operator->() const {
    if (!m_ptr) ThrowErrorNullVar(I::InterfaceName());
    return m_ptr;
  }
  I& operator*() const { return *operator->(); }
  bool operator!() const { return m_ptr == nullptr; }
  explicit operator bool() const { return m_ptr != nullptr; }
  I* ptr() const { return m_ptr; }
  operator I*() const { return m_ptr; }

  friend bool operator==(const KroVar& a, const KroVar& b) { return a.m_ptr == b.m_ptr; }

 private:
  void reset() {
    if (I* p = std::exchange(m_ptr, nullptr)) p->Release();
  }
  template <class P>
  void query(P* p) {
    if (!p) return;
    void* out = nullptr;
    if (SUCCEEDED(static_cast<KroBaseUnknown*>(p)->QueryInterface(I::ClassIID(), &out)) && out)
      m_ptr = static_cast<I*>(out);
  }
  I* m_ptr = nullptr;
};

using KroBaseUnknown_var = KroVar<KroBaseUnknown>;

// Declares an interface's id and its handle type. Use before the interface class.
#define KRO_DECLARE_INTERFACE(Name) \
  KRO_DECLARE_IID(Name);            \
  class Name;                       \
  using Name##_var = KroVar<Name>

// Answers a query for KroBaseUnknown or any of the listed interfaces of self, adding one reference;
// E_NOINTERFACE (with *out null) for any other id, so a caller can fall back to further lookups.
template <class... Interfaces, class Self>
HRESULT KroQueryInterfaces(Self* self, const IID& iid, void** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (iid == IID_KroBaseUnknown) {
    *out = static_cast<KroBaseUnknown*>(self);
  } else {
    ((iid == Interfaces::ClassIID() ? (void)(*out = static_cast<Interfaces*>(self)) : (void)0), ...);
  }
  if (!*out) return E_NOINTERFACE;
  self->AddRef();
  return S_OK;
}
