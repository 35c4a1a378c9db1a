// A value that travels through the dispatch services: a string, an integer (32 or 64 bits), a double,
// a boolean, an octet sequence, a time, a counted interface pointer, an array of values, or a
// reference to a caller-owned value that an output is written into.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

#include "KroBaseUnknown.h"
#include "KroTime.h"
#include "KroUnicodeString.h"
#include "SEQUENCE_octet.h"

// The order matches the alternatives of KroVariant's storage.
enum KroVarType : unsigned short {
  KroVT_EMPTY = 0,
  KroVT_BOOL,
  KroVT_I4,
  KroVT_I8,
  KroVT_R8,
  KroVT_STRING,
  KroVT_OCTETS,
  KroVT_TIME,
  KroVT_UNKNOWN,
  KroVT_ARRAY,
  KroVT_BYREF,
};

// "EMPTY", "BOOL", "I4", ...
KRO_PLATFORM_API const char* KroVarTypeName(KroVarType type);

// One counted interface pointer, and the interface it was handed out as. The pointer is the interface's
// component base, so AddRef, Release and the dispatch methods reach the object that implements it.
class KRO_PLATFORM_API KroUnknownRef {
 public:
  KroUnknownRef() = default;
  KroUnknownRef(KroBaseUnknown* ptr, const IID& iid, bool adopt) : m_ptr(ptr), m_iid(iid) {
    if (m_ptr && !adopt) m_ptr->AddRef();
  }
  KroUnknownRef(const KroUnknownRef& other) : m_ptr(other.m_ptr), m_iid(other.m_iid) {
    if (m_ptr) m_ptr->AddRef();
  }
  KroUnknownRef(KroUnknownRef&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)), m_iid(other.m_iid) {}
  KroUnknownRef& operator=(KroUnknownRef other) noexcept {
    std::swap(m_ptr, other.m_ptr);
    std::swap(m_iid, other.m_iid);
    return *this;
  }
  ~KroUnknownRef() {
    if (m_ptr) m_ptr->Release();
  }
  KroBaseUnknown* get() const { return m_ptr; }
  const IID& iid() const { return m_iid; }

 private:
  KroBaseUnknown* m_ptr = nullptr;
  IID m_iid{};
};

class KRO_PLATFORM_API KroVariant {
 public:
  KroVariant() = default;

  static KroVariant Bool(bool v) { return KroVariant(Storage(std::in_place_index<KroVT_BOOL>, v)); }
  static KroVariant Int(std::int32_t v) { return KroVariant(Storage(std::in_place_index<KroVT_I4>, v)); }
  static KroVariant Long(std::int64_t v) { return KroVariant(Storage(std::in_place_index<KroVT_I8>, v)); }
  static KroVariant Double(double v) { return KroVariant(Storage(std::in_place_index<KroVT_R8>, v)); }
  static KroVariant String(KroUnicodeString v) {
    return KroVariant(Storage(std::in_place_index<KroVT_STRING>, std::move(v)));
  }
  static KroVariant Octets(SEQUENCE_octet v) {
    return KroVariant(Storage(std::in_place_index<KroVT_OCTETS>, std::move(v)));
  }
  static KroVariant Time(KroTime v) { return KroVariant(Storage(std::in_place_index<KroVT_TIME>, v)); }
  // An interface pointer (null allowed) handed out as interface iid; the variant adds its own reference.
  static KroVariant Interface(KroBaseUnknown* p, const IID& iid) {
    return KroVariant(Storage(std::in_place_index<KroVT_UNKNOWN>, KroUnknownRef(p, iid, false)));
  }
  // The same, taking over a reference the pointer already carries.
  static KroVariant AdoptInterface(KroBaseUnknown* p, const IID& iid) {
    return KroVariant(Storage(std::in_place_index<KroVT_UNKNOWN>, KroUnknownRef(p, iid, true)));
  }
  static KroVariant Array(std::vector<KroVariant> items) {
    return KroVariant(Storage(std::in_place_index<KroVT_ARRAY>, std::move(items)));
  }
  // Where an output goes: target stays the caller's, and must outlive the call.
  static KroVariant ByRef(KroVariant* target) { return KroVariant(Storage(std::in_place_index<KroVT_BYREF>, target)); }

  KroVarType Type() const { return static_cast<KroVarType>(m_value.index()); }
  bool IsEmpty() const { return Type() == KroVT_EMPTY; }

  // The value of that alternative, or null when the variant holds another one.
  template <KroVarType T>
  const auto* If() const { return std::get_if<T>(&m_value); }
  const bool* IfBool() const { return If<KroVT_BOOL>(); }
  const std::int32_t* IfInt() const { return If<KroVT_I4>(); }
  const std::int64_t* IfLong() const { return If<KroVT_I8>(); }
  const double* IfDouble() const { return If<KroVT_R8>(); }
  const KroUnicodeString* IfString() const { return If<KroVT_STRING>(); }
  const SEQUENCE_octet* IfOctets() const { return If<KroVT_OCTETS>(); }
  const KroTime* IfTime() const { return If<KroVT_TIME>(); }
  const KroUnknownRef* IfInterface() const { return If<KroVT_UNKNOWN>(); }
  const std::vector<KroVariant>* IfArray() const { return If<KroVT_ARRAY>(); }
  // The target of a by-reference variant, else null.
  KroVariant* Target() const {
    auto* p = If<KroVT_BYREF>();
    return p ? *p : nullptr;
  }
  // The value itself: the target of a by-reference variant, else this one.
  const KroVariant& Deref() const {
    KroVariant* target = Target();
    return target ? *target : *this;
  }
  // An integer of either width, widened.
  bool GetInteger(std::int64_t& out) const;

 private:
  using Storage = std::variant<std::monostate, bool, std::int32_t, std::int64_t, double, KroUnicodeString,
                               SEQUENCE_octet, KroTime, KroUnknownRef, std::vector<KroVariant>, KroVariant*>;
  explicit KroVariant(Storage value) : m_value(std::move(value)) {}
  Storage m_value;
};
