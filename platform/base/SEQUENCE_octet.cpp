#include "SEQUENCE_octet.h"

std::string SEQUENCE_octet::ToHex() const {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(m_data.size() * 2);
  for (unsigned char c : m_data) {
    out += digits[c >> 4];
    out += digits[c & 0xF];
  }
  return out;
}
