#include "CfgServerUuidTable.h"

#include <cstring>

std::size_t CfgServerUuidTable::Home(const Key& key) const {
  // Clients choose uuids too, not always at random: both halves are mixed.
  std::uint64_t a, b;
  std::memcpy(&a, key.data(), 8);
  std::memcpy(&b, key.data() + 8, 8);
  std::uint64_t h = (a ^ (b * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
  h ^= h >> 31;
  return static_cast<std::size_t>(h) & (m_slots.size() - 1);
}

std::int64_t CfgServerUuidTable::Find(const Key& key) const {
  if (m_slots.empty()) return 0;
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t i = Home(key);; i = (i + 1) & mask) {
    const Slot& slot = m_slots[i];
    if (slot.seq == 0) return 0;
    if (slot.key == key) return slot.seq;
  }
}

bool CfgServerUuidTable::Insert(const Key& key, std::int64_t seq) {
  // At most half full: a create looks for a uuid that is not there, and such a probe runs on to the
  // next empty slot, about 2.5 slots at half full against 8.5 at three quarters.
  if ((m_count + 1) * 2 > m_slots.size()) Grow();
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t i = Home(key);; i = (i + 1) & mask) {
    Slot& slot = m_slots[i];
    if (slot.seq == 0) {
      slot = {key, seq};
      ++m_count;
      return true;
    }
    if (slot.key == key) return false;
  }
}

bool CfgServerUuidTable::Erase(const Key& key) {
  if (m_slots.empty()) return false;
  const std::size_t mask = m_slots.size() - 1;
  std::size_t hole = Home(key);
  for (;; hole = (hole + 1) & mask) {
    if (m_slots[hole].seq == 0) return false;
    if (m_slots[hole].key == key) break;
  }
  // Slots after the hole whose probe passed through it move back into it, so that no probe stops
  // short of its key.
  for (std::size_t next = (hole + 1) & mask; m_slots[next].seq != 0; next = (next + 1) & mask) {
    const std::size_t home = Home(m_slots[next].key);
    const bool passes = hole <= next ? (home <= hole || home > next) : (home <= hole && home > next);
    if (passes) {
      m_slots[hole] = m_slots[next];
      hole = next;
    }
  }
  m_slots[hole].seq = 0;
  --m_count;
  return true;
}

void CfgServerUuidTable::Grow() {
  std::vector<Slot> old(m_slots.empty() ? 1024 : m_slots.size() * 2, Slot{{}, 0});
  old.swap(m_slots);
  m_count = 0;
  for (const Slot& slot : old)
    if (slot.seq != 0) Insert(slot.key, slot.seq);
}
