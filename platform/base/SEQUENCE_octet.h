// A counted octet sequence; the library keeps uuids in it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

class SEQUENCE_octet {
 public:
  SEQUENCE_octet() = default;
  SEQUENCE_octet(std::initializer_list<unsigned char> init) : m_data(init) {}
  explicit SEQUENCE_octet(std::vector<unsigned char> data) : m_data(std::move(data)) {}
  SEQUENCE_octet(const unsigned char* data, std::size_t length) : m_data(data, data + length) {}

  unsigned long length() const { return static_cast<unsigned long>(m_data.size()); }
  void length(unsigned long n) { m_data.resize(n); }
  unsigned char& operator[](unsigned long i) { return at(i); }
  const unsigned char& operator[](unsigned long i) const { return const_cast<SEQUENCE_octet*>(this)->at(i); }
  const unsigned char* data() const { return m_data.data(); }
  const std::vector<unsigned char>& bytes() const { return m_data; }

  // Lower-case hexadecimal, two digits per octet.
  std::string ToHex() const;

  friend bool operator==(const SEQUENCE_octet& a, const SEQUENCE_octet& b) { return a.m_data == b.m_data; }

 private:
  unsigned char& at(unsigned long i) {
    if (i >= m_data.size()) throw std::out_of_range("SEQUENCE_octet index " + std::to_string(i));
    return m_data[i];
  }
  std::vector<unsigned char> m_data;
};
