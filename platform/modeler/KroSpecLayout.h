// The shape of a startup's instances: attribute names and kinds, in order, and the name index. A
// layout is shared by the startup and every instance made from it; each of them keeps only its values,
// one slot per entry. Layouts only grow: an attribute added to the startup is appended, and instances
// made earlier simply have fewer slots. The layout keeps the key of each entry once one is asked for;
// a key that outlives its layout becomes valid nowhere.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "KroNameIndex.h"
#include "KroSlot.h"
#include "KroStringMemo.h"

class KroSpecAttrRef;

struct KroLayoutEntry {
  std::string name;
  TCKind kind = tk_null;
  TCKind elementKind = tk_null;
  KroValueKind valueKind = KroValue_Unset;
  // An earlier entry of the same name, when the startup removed and re-added it.
  std::uint32_t previous = KroNameIndex::kNone;
};

class KroSpecLayout {
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
  // A memo of find by string object; any change to the layout forgets it.
  bool recall(const KroUnicodeString& name, std::uint32_t& head) const { return m_memo.recall(name, head); }
  void remember(const KroUnicodeString& name, std::uint32_t head) { m_memo.remember(name, head); }
  // Appends an entry; a name already present now resolves to the new entry.
  std::uint32_t append(std::string_view name, TCKind kind, TCKind elementKind);

  // The key of an entry, carrying one reference; made on first demand, then shared.
  KroSpecAttrRef* key(std::uint32_t index);

 private:
  ~KroSpecLayout();
  KroSpecAttrRef* makeKey(std::uint32_t index);

  KroStringMemo<std::uint32_t, 16> m_memo;
  int m_refs = 1;
  std::string m_lateType;
  std::vector<KroLayoutEntry> m_entries;
  KroNameIndex m_index;
  std::vector<KroSpecAttrRef*> m_keys;  // one reference each; keys do not hold the layout
};
