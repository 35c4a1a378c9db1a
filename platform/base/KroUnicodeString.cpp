#include "KroUnicodeString.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>
#include <ostream>

namespace {

std::uint64_t Load8(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

// Bytes [from, n) of p, n - from < 8, in the low bytes of a word: the top bytes of the 8 that end at n.
std::uint64_t Tail(const char* p, std::size_t from, std::size_t n) {
  return n == from ? 0 : Load8(p + n - 8) >> (8 * (8 - (n - from)));
}

}  // namespace

void KroUnicodeString::init(std::string_view text) {
  const std::size_t n = text.size();
  if (n <= kInlineCapacity) {
    // The three words are built in registers and stored whole: a move right after construction
    // (a getter's result assigned to a variable) then reads back what single stores wrote.
    const char* p = text.data();
    std::uint64_t w[3] = {0, 0, 0};
    if (n >= 16) {
      w[0] = Load8(p);
      w[1] = Load8(p + 8);
      w[2] = Tail(p, 16, n);
    } else if (n >= 8) {
      w[0] = Load8(p);
      w[1] = Tail(p, 8, n);
    } else if (n >= 4) {
      std::uint32_t head, tail;
      std::memcpy(&head, p, 4);
      std::memcpy(&tail, p + n - 4, 4);
      w[0] = head | (std::uint64_t{tail} << (8 * (n - 4)));
    } else {
      for (std::size_t i = 0; i < n; ++i) w[0] |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    }
    w[2] |= std::uint64_t{kInlineCapacity - n} << 56;
    std::memcpy(static_cast<void*>(this), w, sizeof w);
    return;
  }
  clearRepresentation();
  m_ptr = static_cast<char*>(::operator new(text.size() + 1));
  std::memcpy(m_ptr, text.data(), text.size());
  m_ptr[text.size()] = '\0';
  m_size = text.size();
  m_cap = text.size() | kHeapTag;
}

void KroUnicodeString::freeHeap() noexcept { ::operator delete(m_ptr); }

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
static_assert(sizeof(KroUnicodeString) == 24, "three words, the inline text included");

std::ostream& operator<<(std::ostream& os, const KroUnicodeString& s) { return os << s.view(); }
