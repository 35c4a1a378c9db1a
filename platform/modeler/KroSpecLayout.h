// The shape of a startup's instances: attribute names and kinds, in order, and the name index. A
// layout is shared by the startup and every instance made from it; each of them keeps only its values,
// one slot per entry. Layouts only grow: an attribute added to the startup is appended, and instances
// made earlier simply have fewer slots. The layout keeps the key of each entry once one is asked for;
// a key that outlives its layout becomes valid nowhere.
#pragma once

#include "KroExport.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "KroNameIndex.h"
#include "KroSlot.h"
#include "KroUnicodeString.h"

class KroSpecAttrRef;

struct KRO_PLATFORM_API KroLayoutEntry {
  std::string name;
  TCKind kind = tk_null;
  TCKind elementKind = tk_null;
  KroValueKind valueKind = KroValue_Unset;
  // An earlier entry of the same name, when the startup removed and re-added it.
  std::uint32_t previous = KroNameIndex::kNone;
};

class KRO_PLATFORM_API KroSpecLayout {
 public:
  explicit KroSpecLayout(std::string lateType) : m_lateType(std::move(lateType)) {}
  KroSpecLayout(const KroSpecLayout&) = delete;
  KroSpecLayout& operator=(const KroSpecLayout&) = delete;

  void AddRef() { ++m_refs; }
  void Release() {
    if (--m_refs == 0) delete this;
  }

  const std::string& lateType() const { return m_lateType; }
  std::uint32_t size() const { return static_cast<std::uint32_t>(m_entries.size()); }
  const KroLayoutEntry& entry(std::uint32_t index) const { return m_entries[index]; }

  // The newest entry of that name, or kNone.
  std::uint32_t find(std::string_view name, std::uint64_t hash) const {
    return m_index.find(name, hash, [this](std::uint32_t p) -> std::string_view { return m_entries[p].name; });
  }
  // A small memo of find, keyed by the address of a short name's string object and checked against
  // the whole object: callers ask for the same few names again and again, each through one constant,
  // and the memo spares them the hashing and the probing. Any change to the layout forgets it.
  bool recall(const KroUnicodeString& name, std::uint32_t& head) const {
    const Memo& m = m_memo[MemoSlot(name)];
    if (m.name != &name || !name.IsInline() || !SameWords(m.words, name)) return false;
    head = m.head;
    return true;
  }
  void remember(const KroUnicodeString& name, std::uint32_t head) {
    if (!name.IsInline()) return;
    Memo& m = m_memo[MemoSlot(name)];
    m.name = &name;
    std::memcpy(m.words, static_cast<const void*>(&name), sizeof m.words);
    m.head = head;
  }
  // Appends an entry; a name already present now resolves to the new entry.
  std::uint32_t append(std::string_view name, TCKind kind, TCKind elementKind);

  // The key of an entry, carrying one reference; made on first demand, then shared.
  KroSpecAttrRef* key(std::uint32_t index) {
    KroSpecAttrRef* cached = index < m_keys.size() ? m_keys[index] : nullptr;
    return cached ? share(cached) : makeKey(index);
  }

 private:
  ~KroSpecLayout();
  static KroSpecAttrRef* share(KroSpecAttrRef* key);
  KroSpecAttrRef* makeKey(std::uint32_t index);

  struct Memo {
    const KroUnicodeString* name = nullptr;
    std::uint64_t words[3] = {};
    std::uint32_t head = KroNameIndex::kNone;
  };
  static constexpr std::size_t kMemoSlots = 16;
  // Mixed: constants of one table sit at a fixed stride, which plain low bits would fold together.
  static std::size_t MemoSlot(const KroUnicodeString& name) {
    std::uint64_t x = (static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&name)) >> 3) * 0xff51afd7ed558ccdull;
    return static_cast<std::size_t>((x ^ (x >> 32)) % kMemoSlots);
  }
  static bool SameWords(const std::uint64_t (&words)[3], const KroUnicodeString& name) {
    std::uint64_t now[3];
    std::memcpy(now, static_cast<const void*>(&name), sizeof now);
    return ((now[0] ^ words[0]) | (now[1] ^ words[1]) | (now[2] ^ words[2])) == 0;
  }
  void forget() { std::fill(std::begin(m_memo), std::end(m_memo), Memo{}); }

  Memo m_memo[kMemoSlots];
  int m_refs = 1;
  std::string m_lateType;
  std::vector<KroLayoutEntry> m_entries;
  KroNameIndex m_index;
  std::vector<KroSpecAttrRef*> m_keys;  // one reference each; keys do not hold the layout
};
