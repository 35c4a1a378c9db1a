// A spec object: a startup or an instance. Its attributes are the entries of its layout, shared with
// the startup and its other instances, each valued in one slot of its own, plus any attributes added to
// this object alone. An instance's slots are allocated with the object itself.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KroExtensionHost.h"
#include "KroNameIndex.h"
#include "KroSlot.h"
#include "KroSpecAttrRef.h"
#include "KroSpecLayout.h"

class KroContainer;

// An attribute added to one instance only.
struct KroOwnAttribute {
  std::string name;
  TCKind kind = tk_null;
  TCKind elementKind = tk_null;
  KroValueKind valueKind = KroValue_Unset;
  bool removed = false;
  KroSlot slot;
  KroSpecAttrRef* key = nullptr;  // not owned; detached when the attribute or the object goes
};

// Where an attribute lives: a slot, with the kinds it takes.
struct KroAttrPlace {
  KroSlot* slot = nullptr;
  TCKind kind = tk_null;
  TCKind elementKind = tk_null;
  KroValueKind valueKind = KroValue_Unset;
  std::string_view name;
  std::uint32_t index = 0;  // in the layout, or among the object's own attributes
  bool own = false;
  explicit operator bool() const { return slot != nullptr; }
};

class KroSpecObject final : public KroISpecObject, public KroISpecAttrAccess, public KroExtensionHost {
 public:
  // A new startup with an empty layout of its own; one reference, owned by the caller.
  static KroSpecObject* NewStartUp(std::string_view name, std::string lateType);
  // A new instance of the startup, with the startup's values; one reference, owned by the caller.
  static KroSpecObject* NewInstance(KroSpecObject* startUp, std::string_view name);
  // A new instance without a startup; all its attributes are its own.
  static KroSpecObject* NewLoose(std::string_view name, std::string lateType);

  HRESULT QueryInterface(const IID& iid, void** out) override;
  KroSpecObject* GetModelerObject() override { return this; }

  // KroISpecObject
  KroISpecObject* Instanciate(const KroUnicodeString& name, const KroIContainer_var& container,
                              int flags = 0) override;
  KroISpecAttribute* AddAttribute(const KroUnicodeString& name, TCKind kind, int flags = 0) override;
  KroISpecAttribute* AddAttribute(const KroUnicodeString& name, TCKind kind, TCKind secondKind,
                                  int flags = 0) override;
  KroISpecAttribute* AddAttribute(const KroUnicodeString& name, TCKind kind, const KroUnicodeString& text,
                                  int flags = 0) override;
  KroISpecAttribute* GetAttribute(const KroUnicodeString& name) override;
  HRESULT RemoveAttribute(KroISpecAttribute* attribute) override;
  KroListValKroISpecAttribute_var* ListAttributes() override;
  int CountAttributes() const override;
  KroUnicodeString GetName() const override { return KroUnicodeString(name()); }
  KroUnicodeString GetLateType() const override { return KroUnicodeString(lateType()); }
  int IsStartUp() const override { return isStartUp() ? 1 : 0; }
  KroISpecObject* GetStartUp() override;
  KroIContainer* GetContainer() override;

  // KroISpecAttrAccess
  KroISpecAttrKey* GetAttrKey(const char* name) override;
  KroISpecAttrKey* GetAttrKey(const KroUnicodeString& name) override;
  HRESULT ListAttrKeys(KroListValKroISpecAttrKey_var& keys) override;
  boolean TestAttribute(const char* name) override;
  HRESULT SetDouble(KroISpecAttrKey* key, double value, int flags = 0) override;
  HRESULT SetInteger(KroISpecAttrKey* key, int value, int flags = 0) override;
  HRESULT SetBoolean(KroISpecAttrKey* key, boolean value, int flags = 0) override;
  HRESULT SetString(KroISpecAttrKey* key, const KroUnicodeString& value, int flags = 0) override;
  HRESULT SetSpecObject(KroISpecAttrKey* key, KroISpecObject* value, int flags = 0, int flags2 = 0,
                        int flags3 = 0) override;
  double GetDouble(KroISpecAttrKey* key, int flags = 0) override;
  int GetInteger(KroISpecAttrKey* key, int flags = 0) override;
  boolean GetBoolean(KroISpecAttrKey* key, int flags = 0) override;
  KroUnicodeString GetString(KroISpecAttrKey* key, int flags = 0) override;
  KroISpecObject* GetSpecObject(KroISpecAttrKey* key, int flags = 0) override;
  HRESULT SetListInteger(KroISpecAttrKey* key, const KroRawCollint& values) override;
  HRESULT SetListDouble(KroISpecAttrKey* key, const KroRawColldouble& values) override;
  HRESULT SetListString(KroISpecAttrKey* key, const KroListValKroUnicodeString& values) override;
  HRESULT SetOctets(KroISpecAttrKey* key, const SEQUENCE_octet& value) override;
  KroRawCollint* GetListInteger(KroISpecAttrKey* key) override;
  KroRawColldouble* GetListDouble(KroISpecAttrKey* key) override;
  KroListValKroUnicodeString* GetListString(KroISpecAttrKey* key) override;
  SEQUENCE_octet* GetOctets(KroISpecAttrKey* key) override;
  HRESULT UnsetAttribute(KroISpecAttrKey* key) override;
  KroListValKroBaseUnknown_var* GetListSpecObject(KroISpecAttrKey* key, const IID& iid) override;
  HRESULT ReadInteger(KroISpecAttrKey* key, int& out) override;
  HRESULT ReadDouble(KroISpecAttrKey* key, double& out) override;
  HRESULT ReadBoolean(KroISpecAttrKey* key, boolean& out) override;
  HRESULT ReadString(KroISpecAttrKey* key, KroUnicodeString& out) override;
  HRESULT ReadSpecObject(KroISpecAttrKey* key, KroISpecObject_var& out) override;

  // ---- modeler internals, for containers, documents and tools ----
  std::string_view name() const { return m_name.view(); }
  const std::string& lateType() const;
  bool isStartUp() const { return m_flags & kStartUp; }
  KroSpecObject* startUp() const { return (m_flags & kOwnLayout) ? nullptr : m_startUp; }
  KroContainer* container() const { return (m_flags & kListed) ? m_container : nullptr; }
  // Gives the object a late type other than its startup's (documents that say so).
  void setLateType(std::string lateType);

  // The attribute of that name, or an empty place. Names with a NUL byte are never found.
  KroAttrPlace find(std::string_view name);
  // The same, remembering in the layout where a short name's string object was found.
  KroAttrPlace findRemembered(const KroUnicodeString& name);
  // A new attribute (on a startup, a new layout entry); an empty place when the name is empty or
  // taken, or the kinds are not valid.
  KroAttrPlace add(std::string_view name, TCKind kind, TCKind elementKind);
  // The slot of layout entry `index`, which the object has when index < slotCount(): for readers that
  // know the layout's order and need no lookup by name.
  KroSlot& slotAt(std::uint32_t index) { return slots()[index]; }
  std::uint32_t slotCount() const { return m_slotCount; }
  // True when attributes were added to this object alone (and not all removed again).
  bool hasOwnAttributes() const {
    const Side* s = own();
    return s && s->live > 0;
  }
  // The place a key names on this object, or an empty place.
  KroAttrPlace resolve(KroISpecAttrKey* key);
  // Calls f(place) for every attribute, in order.
  template <class F>
  void forEachAttribute(F&& f) {
    for (std::uint32_t i = 0; i < m_slotCount; ++i)
      if (!slots()[i].isAbsent()) f(layoutPlace(i));
    if (Side* own = this->own())
      for (std::uint32_t i = 0; i < own->attributes.size(); ++i)
        if (!own->attributes[i].removed) f(ownPlace(i));
  }
  // Calls f(object) for each spec-object reference the attributes hold, duplicates included.
  template <class F>
  void forEachReference(F&& f) const {
    for (std::uint32_t i = 0; i < m_slotCount; ++i) slots()[i].forEachObject(f);
    if (Side* own = this->own())
      for (const KroOwnAttribute& a : own->attributes) a.slot.forEachObject(f);
  }
  // Unsets every spec-object-valued attribute (breaks reference cycles).
  void dropReferences();
  // The modeler object that `value` is, or null for anything else (a client's object wrapping one).
  static KroSpecObject* Real(KroISpecObject* value);
  // Called by the key of an own attribute when it dies.
  void forgetOwnKey(std::uint32_t index, const KroSpecAttrRef* key);

 private:
  friend class KroContainer;
  friend class KroSpecAttrHandle;

  enum : std::uint8_t {
    kStartUp = 1,
    kListed = 2,   // listed by its container, which holds one reference
    kTracked = 4,  // known to its container's collector
    kPinned = 8,   // read from a document: a root while listed, in either mode
    kMarked = 16,     // reached during a collection
    kCandidate = 32,  // examined by the running collection
    kDetached = 64,   // its container has closed
    kOwnLayout = 128,  // a startup or a loose instance: m_ownLayout, not m_startUp
  };

  // What only some objects need: own attributes, a late type of their own, a startup's growable slots.
  struct Side : KroHostExtra {
    std::deque<KroOwnAttribute> attributes;  // grows without moving what it holds
    KroNameIndex index;
    std::uint32_t live = 0;
    std::string lateType;
    bool hasLateType = false;
    std::vector<KroSlot> startUpSlots;
  };

  KroSpecObject(KroSpecLayout* layout, KroSpecObject* startUp, bool isStartUp, std::string_view name,
                std::uint32_t slotCount);
  ~KroSpecObject() override;
  static void* Allocate(std::uint32_t slotCount);

  Side& side();
  // The side record, kept in the extension host's (one word for both), or null.
  Side* own() const { return static_cast<Side*>(Extra()); }
  KroSpecLayout* layout() const { return (m_flags & kOwnLayout) ? m_ownLayout : m_startUp->m_ownLayout; }
  // An instance's slots follow it in its allocation; a startup's grow in its side record.
  KroSlot* slots() const {
    if (!(m_flags & kStartUp))
      return reinterpret_cast<KroSlot*>(reinterpret_cast<char*>(const_cast<KroSpecObject*>(this)) + sizeof(KroSpecObject));
    const Side* s = own();
    return s ? const_cast<KroSlot*>(s->startUpSlots.data()) : nullptr;
  }
  KroAttrPlace layoutPlace(std::uint32_t index) const {
    const KroLayoutEntry& e = layout()->entry(index);
    return KroAttrPlace{&slots()[index], e.kind, e.elementKind, e.valueKind, e.name, index, false};
  }
  KroAttrPlace ownPlace(std::uint32_t index) const;
  std::uint32_t findOwn(std::string_view name, std::uint64_t hash) const;
  // The present layout entry of a name, from its newest entry down, else the instance's own attribute
  // of that name; the name's hash is computed here only if the own attributes need it.
  KroAttrPlace placeOf(std::string_view name, std::uint32_t head, const std::uint64_t* hash) const;
  KroSpecAttrRef* keyOf(const KroAttrPlace& place);
  KroISpecAttribute* handleOf(const KroAttrPlace& place);
  void removeOwn(std::uint32_t index);
  void compactOwn();
  template <class T>
  HRESULT setScalar(KroISpecAttrKey* key, T value);

  // A name costs one word when empty, as the names of records made by the factory are.
  class Name {
   public:
    explicit Name(std::string_view text) {
      if (text.empty()) return;
      const auto size = static_cast<std::uint32_t>(text.size());
      m_text = new char[sizeof size + size];
      std::memcpy(m_text, &size, sizeof size);
      std::memcpy(m_text + sizeof size, text.data(), size);
    }
    ~Name() { delete[] m_text; }
    Name(const Name&) = delete;
    Name& operator=(const Name&) = delete;
    std::string_view view() const {
      if (!m_text) return {};
      std::uint32_t size;
      std::memcpy(&size, m_text, sizeof size);
      return {m_text + sizeof size, size};
    }

   private:
    char* m_text = nullptr;  // the length, then the bytes
  };

  Name m_name;
  // Startups and loose instances own a layout; an instance uses its startup's, which it holds.
  union {
    KroSpecLayout* m_ownLayout;  // one reference
    KroSpecObject* m_startUp;    // one reference
  };
  KroContainer* m_container = nullptr;
  // The slot count and the flags share a word; a layout takes fewer than kMaxSlots attributes.
  static constexpr std::uint32_t kMaxSlots = (1u << 24) - 1;
  std::uint32_t m_slotCount : 24;
  std::uint32_t m_flags : 8 = 0;
  // The position in the container's tracking list; while a collection marks, the count of references
  // from outside the candidates (the collection keeps the positions aside meanwhile).
  std::uint32_t m_position = 0;
};
