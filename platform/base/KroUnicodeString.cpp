#include "KroUnicodeString.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>

void KroUnicodeString::init(std::string_view text) {
  clearRepresentation();
  if (text.size() <= kInlineCapacity) {
    if (!text.empty()) std::memcpy(inlineData(), text.data(), text.size());
    setInlineSize(text.size());
    return;
  }
  m_ptr = static_cast<char*>(::operator new(text.size() + 1));
  std::memcpy(m_ptr, text.data(), text.size());
  m_ptr[text.size()] = '\0';
  m_size = text.size();
  m_cap = text.size() | kHeapTag;
}

void KroUnicodeString::release() noexcept {
  if (isHeap()) ::operator delete(m_ptr);
}

void KroUnicodeString::reserve(std::size_t wanted) {
  if (wanted <= capacity()) return;
  const std::size_t grown = std::max(wanted, 2 * capacity());
  char* fresh = static_cast<char*>(::operator new(grown + 1));
  const std::size_t length = size();
  std::memcpy(fresh, data(), length + 1);
  release();
  m_ptr = fresh;
  m_size = length;
  m_cap = grown | kHeapTag;
}

KroUnicodeString& KroUnicodeString::assign(std::string_view text) {
  if (text.size() > capacity()) {
    // The text may lie inside this string; copy it before letting the old storage go.
    KroUnicodeString fresh(text);
    *this = std::move(fresh);
    return *this;
  }
  if (!text.empty()) std::memmove(mutableData(), text.data(), text.size());
  setSize(text.size());
  return *this;
}

KroUnicodeString& KroUnicodeString::Append(std::string_view other) {
  if (other.empty()) return *this;
  const std::size_t length = size();
  if (length + other.size() > capacity()) {
    // other may lie inside this string, which reserve would free.
    KroUnicodeString joined;
    joined.reserve(length + other.size());
    std::memcpy(joined.mutableData(), data(), length);
    std::memcpy(joined.mutableData() + length, other.data(), other.size());
    joined.setSize(length + other.size());
    return *this = std::move(joined);
  }
  std::memmove(mutableData() + length, other.data(), other.size());
  setSize(length + other.size());
  return *this;
}

KroUnicodeString KroUnicodeString::BuildFromNum(int value) { return BuildFromNum(static_cast<long>(value)); }

KroUnicodeString KroUnicodeString::BuildFromNum(long value) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  return KroUnicodeString(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
}

KroUnicodeString KroUnicodeString::BuildFromNum(double value) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  return KroUnicodeString(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
}

bool KroUnicodeString::ConvertToNum(int& value) const {
  int parsed = 0;
  const char* first = data();
  const char* last = first + size();
  auto res = std::from_chars(first, last, parsed);
  if (res.ec != std::errc() || res.ptr != last || IsEmpty()) return false;
  value = parsed;
  return true;
}
