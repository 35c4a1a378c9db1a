#include "KroUnicodeString.h"

#include <charconv>
#include <cstdio>

KroUnicodeString KroUnicodeString::BuildFromNum(int value) { return KroUnicodeString(std::to_string(value)); }

KroUnicodeString KroUnicodeString::BuildFromNum(long value) { return KroUnicodeString(std::to_string(value)); }

KroUnicodeString KroUnicodeString::BuildFromNum(double value) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  return KroUnicodeString(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
}

bool KroUnicodeString::ConvertToNum(int& value) const {
  int parsed = 0;
  const char* first = m_text.data();
  const char* last = first + m_text.size();
  auto res = std::from_chars(first, last, parsed);
  if (res.ec != std::errc() || res.ptr != last || m_text.empty()) return false;
  value = parsed;
  return true;
}
