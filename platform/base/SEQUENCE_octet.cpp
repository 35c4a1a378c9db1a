#include "SEQUENCE_octet.h"

void SEQUENCE_octet::assign(const unsigned char* data, std::size_t n) {
  if (n > m_capacity) {
    // Copied before the old storage goes, in case data points into it.
    auto* grown = new unsigned char[n];
    std::memcpy(grown, data, n);
    release();
    m_heap = grown;
    m_capacity = static_cast<std::uint32_t>(n);
  } else if (n) {
    std::memmove(mutableData(), data, n);
  }
  m_size = static_cast<std::uint32_t>(n);
}

void SEQUENCE_octet::length(unsigned long n) {
  if (n > m_capacity) {
    auto* grown = new unsigned char[n];
    std::memcpy(grown, data(), m_size);
    const std::uint32_t size = m_size;
    release();
    m_heap = grown;
    m_capacity = static_cast<std::uint32_t>(n);
    m_size = size;
  }
  if (n > m_size) std::memset(mutableData() + m_size, 0, n - m_size);
  m_size = static_cast<std::uint32_t>(n);
}

std::string SEQUENCE_octet::ToHex() const {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(m_size * 2);
  for (unsigned char c : *this) {
    out += digits[c >> 4];
    out += digits[c & 0xF];
  }
  return out;
}
