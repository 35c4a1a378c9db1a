// A counted octet sequence; the library keeps uuids in it. Up to 16 octets (a uuid) live inside the
// object, so that passing uuids around by value allocates nothing.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

class KRO_PLATFORM_API SEQUENCE_octet {
 public:
  static constexpr std::size_t kInline = 16;

  SEQUENCE_octet() = default;
  SEQUENCE_octet(std::initializer_list<unsigned char> init) { assign(init.begin(), init.size()); }
  explicit SEQUENCE_octet(const std::vector<unsigned char>& data) { assign(data.data(), data.size()); }
  SEQUENCE_octet(const unsigned char* data, std::size_t length) { assign(data, length); }
  SEQUENCE_octet(const SEQUENCE_octet& other) { assign(other.data(), other.m_size); }
  SEQUENCE_octet(SEQUENCE_octet&& other) noexcept { take(other); }
  SEQUENCE_octet& operator=(const SEQUENCE_octet& other) {
    if (this != &other) assign(other.data(), other.m_size);
    return *this;
  }
  SEQUENCE_octet& operator=(SEQUENCE_octet&& other) noexcept {
    if (this != &other) {
      release();
      take(other);
    }
    return *this;
  }
  ~SEQUENCE_octet() { release(); }

  unsigned long length() const { return m_size; }
  // New octets are zero.
  void length(unsigned long n);
  unsigned char& operator[](unsigned long i) { return at(i); }
  const unsigned char& operator[](unsigned long i) const { return const_cast<SEQUENCE_octet*>(this)->at(i); }
  const unsigned char* data() const { return onHeap() ? m_heap : m_inline; }
  const unsigned char* begin() const { return data(); }
  const unsigned char* end() const { return data() + m_size; }
  std::vector<unsigned char> bytes() const { return std::vector<unsigned char>(begin(), end()); }

  // Lower-case hexadecimal, two digits per octet.
  std::string ToHex() const;

  friend bool operator==(const SEQUENCE_octet& a, const SEQUENCE_octet& b) {
    return a.m_size == b.m_size && (a.m_size == 0 || std::memcmp(a.data(), b.data(), a.m_size) == 0);
  }

 private:
  bool onHeap() const { return m_capacity > kInline; }
  unsigned char* mutableData() { return onHeap() ? m_heap : m_inline; }
  void assign(const unsigned char* data, std::size_t n);
  void take(SEQUENCE_octet& other) {
    m_size = other.m_size;
    m_capacity = other.m_capacity;
    if (other.onHeap())
      m_heap = other.m_heap;
    else
      std::memcpy(m_inline, other.m_inline, kInline);
    other.m_size = 0;
    other.m_capacity = kInline;
  }
  void release() {
    if (onHeap()) delete[] m_heap;
    m_capacity = kInline;
    m_size = 0;
  }
  unsigned char& at(unsigned long i) {
    if (i >= m_size) throw std::out_of_range("SEQUENCE_octet index " + std::to_string(i));
    return mutableData()[i];
  }

  std::uint32_t m_size = 0;
  std::uint32_t m_capacity = kInline;
  union {
    unsigned char m_inline[kInline] = {};
    unsigned char* m_heap;
  };
};
