// An open-addressing index from attribute names to positions. It stores no names: the caller keeps
// them and answers nameOf(position). The hash is computed once by the caller, so that one lookup can
// try a layout and then an instance's own attributes without hashing twice.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

class KroNameIndex {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // Eight bytes at a time; also tells whether the name holds a NUL byte, which no attribute name may.
  static std::uint64_t Hash(std::string_view name, bool& hasNul) {
    constexpr std::uint64_t kLow = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    const char* p = name.data();
    std::size_t n = name.size();
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n, zero = 0;
    for (; n >= 8; p += 8, n -= 8) {
      std::uint64_t w;
      std::memcpy(&w, p, 8);
      zero |= (w - kLow) & ~w & kHigh;
      h = (h ^ w) * 0xff51afd7ed558ccdull;
      h ^= h >> 32;
    }
    if (n) {
      std::uint64_t w = 0;
      for (std::size_t i = 0; i < n; ++i) w |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
      const std::uint64_t filled = w | (~0ull << (8 * n));  // padding must not count as NUL
      zero |= (filled - kLow) & ~filled & kHigh;
      h = (h ^ w) * 0xc4ceb9fe1a85ec53ull;
      h ^= h >> 29;
    }
    hasNul = zero != 0;
    h *= 0xbf58476d1ce4e5b9ull;
    return h ^ (h >> 32);
  }
  static std::uint64_t Hash(std::string_view name) {
    bool hasNul;
    return Hash(name, hasNul);
  }

  template <class NameOf>
  std::uint32_t find(std::string_view name, std::uint64_t hash, NameOf&& nameOf) const {
    if (m_cells.empty()) return kNone;
    const std::uint32_t tag = Tag(hash);
    for (std::size_t i = tag & m_mask;; i = (i + 1) & m_mask) {
      const Cell& cell = m_cells[i];
      if (cell.position == kEmpty) return kNone;
      if (cell.tag == tag && cell.position != kErased && Same(nameOf(cell.position), name)) return cell.position;
    }
  }

  // The name must not be present yet.
  template <class NameOf>
  void insert(std::uint32_t position, std::uint64_t hash, NameOf&&) {
    if ((m_used + 1) * 4 > m_cells.size() * 3) grow();
    place(position, Tag(hash));
  }

  // Points the entry of `name` at another position (the name stays the same).
  template <class NameOf>
  void repoint(std::string_view name, std::uint64_t hash, std::uint32_t position, NameOf&& nameOf) {
    Cell* cell = locate(name, hash, nameOf);
    if (cell) cell->position = position;
  }

  template <class NameOf>
  void erase(std::string_view name, std::uint64_t hash, NameOf&& nameOf) {
    Cell* cell = locate(name, hash, nameOf);
    if (cell) {
      cell->position = kErased;
      --m_live;
    }
  }

  // Rebuilds from scratch, for positions that moved.
  template <class NameOf>
  void rebuild(std::uint32_t count, NameOf&& nameOf, std::uint32_t skip = kNone) {
    m_cells.assign(Capacity(count), Cell{});
    m_mask = m_cells.size() - 1;
    m_used = m_live = 0;
    for (std::uint32_t p = 0; p < count; ++p) {
      if (p == skip) continue;
      place(p, Tag(Hash(nameOf(p))));
    }
  }

  void clear() {
    m_cells.clear();
    m_mask = 0;
    m_used = m_live = 0;
  }
  std::size_t size() const { return m_live; }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  static constexpr std::uint32_t kErased = 0xFFFFFFFEu;
  struct Cell {
    std::uint32_t tag = 0;
    std::uint32_t position = kEmpty;
  };

  // Names are short: eight bytes at a time, the last word overlapping, beats a call to memcmp.
  static bool Same(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    const char* p = a.data();
    const char* q = b.data();
    if (n < 8) {
      for (std::size_t i = 0; i < n; ++i)
        if (p[i] != q[i]) return false;
      return true;
    }
    for (std::size_t i = 0; i + 8 < n; i += 8)
      if (Word(p + i) != Word(q + i)) return false;
    return Word(p + n - 8) == Word(q + n - 8);
  }
  static std::uint64_t Word(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
  }
  static std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }
  static std::size_t Capacity(std::size_t count) {
    std::size_t capacity = 8;
    while (capacity * 3 < count * 4 + 4) capacity *= 2;
    return capacity;
  }

  // The tag picks the bucket too, so that growing never reads the names again.
  void place(std::uint32_t position, std::uint32_t tag) {
    std::size_t i = tag & m_mask;
    while (m_cells[i].position != kEmpty && m_cells[i].position != kErased) i = (i + 1) & m_mask;
    if (m_cells[i].position == kEmpty) ++m_used;
    m_cells[i] = Cell{tag, position};
    ++m_live;
  }

  template <class NameOf>
  Cell* locate(std::string_view name, std::uint64_t hash, NameOf&& nameOf) {
    if (m_cells.empty()) return nullptr;
    const std::uint32_t tag = Tag(hash);
    for (std::size_t i = tag & m_mask;; i = (i + 1) & m_mask) {
      Cell& cell = m_cells[i];
      if (cell.position == kEmpty) return nullptr;
      if (cell.tag == tag && cell.position != kErased && Same(nameOf(cell.position), name)) return &cell;
    }
  }

  // Doubles when live entries fill it, else sweeps out erased cells at the same size.
  void grow() {
    std::vector<Cell> old = std::move(m_cells);
    m_cells.assign(Capacity(m_live + 1 > old.size() / 2 ? old.size() + 1 : m_live + 1), Cell{});
    m_mask = m_cells.size() - 1;
    m_used = m_live = 0;
    for (const Cell& cell : old)
      if (cell.position != kEmpty && cell.position != kErased) place(cell.position, cell.tag);
  }

  std::vector<Cell> m_cells;
  std::size_t m_mask = 0;
  std::size_t m_used = 0;  // cells not empty (live or erased)
  std::size_t m_live = 0;
};
