// One attribute value of a spec object, in 24 bytes. Numbers, booleans, spec-object references and
// strings or octet sequences of up to 22 bytes live in the slot itself; longer texts and lists go to
// the heap. A slot can also be absent: the attribute was removed from this one instance.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "KroModelerInterfaces.h"
#include "KroValue.h"

class KroSpecObject;

// A value in exchange form, used where values are copied wholesale (documents, initial values).
using KroAttrValue = KroValueOf<KroISpecObject_var>;

// True for the (kind, element kind) pairs the modeler stores.
bool KroIsValidKind(TCKind kind, TCKind elementKind);
// The value kind that an attribute of this kind holds (KroValue_Unset when the pair is not valid).
KroValueKind KroValueKindOf(TCKind kind, TCKind elementKind);

class KroSlot {
 public:
  static constexpr std::size_t kInline = 22;

  KroSlot() { clearBits(); }
  ~KroSlot() { reset(); }
  KroSlot(const KroSlot&) = delete;
  KroSlot& operator=(const KroSlot&) = delete;
  // Slots are relocatable: what they point to does not point back.
  KroSlot(KroSlot&& other) noexcept {
    std::memcpy(static_cast<void*>(this), &other, sizeof(KroSlot));
    other.clearBits();
  }
  KroSlot& operator=(KroSlot&& other) noexcept {
    if (this != &other) {
      reset();
      std::memcpy(static_cast<void*>(this), &other, sizeof(KroSlot));
      other.clearBits();
    }
    return *this;
  }

  KroValueKind kind() const {
    return m_state == kAbsent ? KroValue_Unset : static_cast<KroValueKind>(m_state & kKindMask);
  }
  bool isSet() const { return kind() != KroValue_Unset; }
  bool isAbsent() const { return m_state == kAbsent; }
  // Removes the attribute from its instance; the value goes.
  void setAbsent() { reset(); m_state = kAbsent; }
  // Back to present and unset.
  void unset() { reset(); }

  // Writers; each replaces what the slot held.
  void setLong(std::int32_t v) { reset(); put(v); m_state = KroValue_Long; }
  void setDouble(double v) { reset(); put(v); m_state = KroValue_Double; }
  void setBool(bool v) { reset(); put(v); m_state = KroValue_Boolean; }
  void setString(std::string_view v) { setBytes(KroValue_String, v.data(), v.size()); }
  void setOctets(const unsigned char* data, std::size_t n) { setBytes(KroValue_Octets, data, n); }
  // Takes its own reference on the object.
  void setObject(KroISpecObject* object);
  void setLongList(std::vector<std::int32_t> v) { setList(KroValue_LongList, std::move(v)); }
  void setDoubleList(std::vector<double> v) { setList(KroValue_DoubleList, std::move(v)); }
  void setStringList(std::vector<std::string> v) { setList(KroValue_StringList, std::move(v)); }
  // The list, created empty when the slot does not hold one yet.
  std::vector<std::int32_t>& longList() { return list<std::int32_t>(KroValue_LongList); }
  std::vector<double>& doubleList() { return list<double>(KroValue_DoubleList); }
  std::vector<std::string>& stringList() { return list<std::string>(KroValue_StringList); }
  // One reference per element.
  std::vector<KroISpecObject*>& objectList() { return list<KroISpecObject*>(KroValue_ObjectList); }
  void appendObject(KroISpecObject* object);

  // Readers; each expects the slot to hold that kind.
  std::int32_t getLong() const { return get<std::int32_t>(); }
  double getDouble() const { return get<double>(); }
  bool getBool() const { return get<bool>(); }
  std::string_view bytes() const {
    if (m_state & kHeap) return *get<std::string*>();
    return std::string_view(reinterpret_cast<const char*>(m_raw), m_len);
  }
  KroISpecObject* object() const { return get<KroISpecObject*>(); }
  template <class T>
  const std::vector<T>& listOf() const {
    return *get<std::vector<T>*>();
  }

  // A deep copy (objects gain a reference each); absence is copied too.
  void copyFrom(const KroSlot& other) {
    if (other.ownsNothing()) {
      reset();
      std::memcpy(static_cast<void*>(this), &other, sizeof(KroSlot));
    } else {
      deepCopyFrom(other);
    }
  }
  // Builds a copy in raw storage.
  static void CopyConstruct(void* where, const KroSlot& other) {
    if (other.ownsNothing())
      std::memcpy(where, &other, sizeof(KroSlot));
    else
      (::new (where) KroSlot())->deepCopyFrom(other);
  }
  // Exchange form; an absent slot reads as unset.
  KroAttrValue toValue() const;
  // False (nothing changed) when the value's alternative is not `expected` (unset always fits).
  bool assign(const KroAttrValue& value, KroValueKind expected);
  // Calls f for every spec object referred to, once per reference held.
  template <class F>
  void forEachObject(F&& f) const {
    if (kind() == KroValue_Object) {
      if (KroISpecObject* o = object()) f(o);
    } else if (kind() == KroValue_ObjectList) {
      for (KroISpecObject* o : listOf<KroISpecObject*>())
        if (o) f(o);  // a list may hold null elements
    }
  }
  bool holdsObjects() const { return kind() == KroValue_Object || kind() == KroValue_ObjectList; }
  // Empties the slot, handing its references on spec objects over to `out` instead of releasing them.
  void takeObjects(std::vector<KroISpecObject*>& out);

 private:
  static constexpr std::uint8_t kKindMask = 0x0F;
  static constexpr std::uint8_t kHeap = 0x10;  // string or octets on the heap
  static constexpr std::uint8_t kAbsent = 0xFF;

  bool ownsNothing() const { return m_state <= KroValue_Octets || m_state == kAbsent; }
  void deepCopyFrom(const KroSlot& other);
  void clearBits() {
    std::memset(m_raw, 0, sizeof m_raw);
    m_len = 0;
    m_state = KroValue_Unset;
  }
  void reset() {
    // Numbers, inline bytes and absence own nothing.
    if (m_state > KroValue_Octets && m_state != kAbsent) release();
    m_state = KroValue_Unset;
  }
  void release();
  void setBytes(KroValueKind kind, const void* data, std::size_t n);
  template <class T>
  void setList(KroValueKind kind, std::vector<T> v) {
    reset();
    put(new std::vector<T>(std::move(v)));
    m_state = kind;
  }
  template <class T>
  std::vector<T>& list(KroValueKind kind) {
    if (m_state != kind) {
      reset();
      put(new std::vector<T>());
      m_state = kind;
    }
    return *get<std::vector<T>*>();
  }
  template <class T>
  void put(T v) {
    std::memcpy(m_raw, &v, sizeof v);
  }
  template <class T>
  T get() const {
    T v;
    std::memcpy(&v, m_raw, sizeof v);
    return v;
  }

  alignas(8) unsigned char m_raw[kInline];
  std::uint8_t m_len;    // inline length of a string or octet sequence
  std::uint8_t m_state;  // KroValueKind, kHeap, or kAbsent
};

static_assert(sizeof(KroSlot) == 24, "a slot is three words");
