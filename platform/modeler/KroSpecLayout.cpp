#include "KroSpecLayout.h"

#include "KroSpecAttrRef.h"

std::uint32_t KroSpecLayout::append(std::string_view name, TCKind kind, TCKind elementKind) {
  const std::uint64_t hash = KroNameIndex::Hash(name);
  const std::uint32_t previous = find(name, hash);
  const auto index = static_cast<std::uint32_t>(m_entries.size());
  m_memo.forget();
  m_entries.push_back(KroLayoutEntry{std::string(name), kind, elementKind, KroValueKindOf(kind, elementKind), previous});
  auto nameOf = [this](std::uint32_t p) -> std::string_view { return m_entries[p].name; };
  if (previous != KroNameIndex::kNone)
    m_index.repoint(name, hash, index, nameOf);
  else
    m_index.insert(index, hash, nameOf);
  return index;
}

KroSpecLayout::~KroSpecLayout() {
  for (KroSpecAttrRef* key : m_keys)
    if (key) {
      key->orphan();
      key->Release();
    }
}

KroSpecAttrRef* KroSpecLayout::key(std::uint32_t index) {
  if (index < m_keys.size() && m_keys[index]) {
    m_keys[index]->AddRef();
    return m_keys[index];
  }
  return makeKey(index);
}

KroSpecAttrRef* KroSpecLayout::makeKey(std::uint32_t index) {
  if (index >= m_entries.size()) return nullptr;
  if (m_keys.size() < m_entries.size()) m_keys.resize(m_entries.size(), nullptr);
  auto* made = new KroSpecAttrRef(this, index);
  m_keys[index] = made;
  made->AddRef();
  return made;
}
