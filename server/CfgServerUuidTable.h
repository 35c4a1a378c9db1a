// The server's stored uuids, each with the seq of its row: one flat table in memory, open addressing
// with linear probing. The database keeps no index on uuids; this is it, built when the server starts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CfgServerUuidTable {
 public:
  using Key = std::array<unsigned char, 16>;

  // The seq of key, 0 when it is not there (seqs start at 1).
  std::int64_t Find(const Key& key) const;
  // Adds key with seq (> 0); false, and nothing changed, when key is there already.
  bool Insert(const Key& key, std::int64_t seq);
  // Removes key; false when it was not there.
  bool Erase(const Key& key);
  std::size_t Size() const { return m_count; }
  // Starts loading the slot where key's probe begins: a batch's lookups then wait for memory together
  // rather than one after another.
  void Prefetch(const Key& key) const {
    if (!m_slots.empty()) __builtin_prefetch(&m_slots[Home(key)]);
  }

 private:
  struct Slot {
    Key key;
    std::int64_t seq;  // 0: empty
  };
  std::size_t Home(const Key& key) const;
  void Grow();

  std::vector<Slot> m_slots;
  std::size_t m_count = 0;
};
