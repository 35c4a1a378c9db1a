// The platform string. Held as 8-bit (UTF-8) text; ConvertToChar gives that text back.
//
// Texts of up to 23 bytes live inside the 24-byte object, without an allocation of their own: most
// names, types and values of configuration records are that short, and handing them out by value
// (as the modeler's getters do) then costs a copy of three words.
#pragma once

#include "KroExport.h"

#include <bit>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

class KRO_PLATFORM_API KroUnicodeString {
 public:
  static constexpr std::size_t kInlineCapacity = 23;

  constexpr KroUnicodeString() noexcept : m_ptr(nullptr), m_size(0), m_cap(std::uint64_t{kInlineCapacity} << 56) {}
  KroUnicodeString(const char* text) { init(text ? std::string_view(text) : std::string_view()); }
  KroUnicodeString(const std::string& text) { init(text); }
  KroUnicodeString(std::string_view text) { init(text); }
  KroUnicodeString(const KroUnicodeString& other) { init(other.view()); }
  KroUnicodeString(KroUnicodeString&& other) noexcept {
    copyRepresentation(other);
    other.clearRepresentation();
  }
  KroUnicodeString& operator=(const KroUnicodeString& other) {
    if (this != &other) assign(other.view());
    return *this;
  }
  KroUnicodeString& operator=(KroUnicodeString&& other) noexcept {
    if (this != &other) {
      release();
      copyRepresentation(other);
      other.clearRepresentation();
    }
    return *this;
  }
  ~KroUnicodeString() { release(); }

  // Replaces the text, reusing the storage already held when it is large enough.
  KroUnicodeString& assign(std::string_view text);

  const char* ConvertToChar() const noexcept { return data(); }
  const char* data() const noexcept { return isHeap() ? m_ptr : inlineData(); }
  std::size_t size() const noexcept { return isHeap() ? m_size : kInlineCapacity - inlineTag(); }
  std::string_view view() const noexcept { return {data(), size()}; }
  operator std::string_view() const noexcept { return view(); }
  // A copy of the text as a standard string.
  std::string str() const { return std::string(view()); }
  int GetLengthInChar() const noexcept { return static_cast<int>(size()); }
  bool IsEmpty() const noexcept { return size() == 0; }
  // True while the text lives inside the object: then the object's 24 bytes determine the text.
  bool IsInline() const noexcept { return !isHeap(); }

  KroUnicodeString& Append(std::string_view other);
  KroUnicodeString& Append(const KroUnicodeString& other) { return Append(other.view()); }
  KroUnicodeString& Append(const char* other) { return other ? Append(std::string_view(other)) : *this; }
  KroUnicodeString& operator+=(const KroUnicodeString& other) { return Append(other); }
  KroUnicodeString& operator+=(const char* other) { return Append(other); }
  friend KroUnicodeString operator+(KroUnicodeString a, const KroUnicodeString& b) { return std::move(a.Append(b)); }

  // Numeric formatting: integers in decimal without leading zeros; doubles in the shortest form that reads back.
  static KroUnicodeString BuildFromNum(int value);
  static KroUnicodeString BuildFromNum(long value);
  static KroUnicodeString BuildFromNum(double value);
  KroUnicodeString& AppendNum(int value) { return Append(BuildFromNum(value)); }
  KroUnicodeString& AppendNum(long value) { return Append(BuildFromNum(value)); }
  // Parses the whole text as a decimal integer; false (value untouched) when it is not one.
  bool ConvertToNum(int& value) const;

  int Compare(const KroUnicodeString& other) const noexcept { return view().compare(other.view()); }
  friend bool operator==(const KroUnicodeString& a, const KroUnicodeString& b) noexcept { return a.view() == b.view(); }
  friend bool operator==(const KroUnicodeString& a, const char* b) noexcept {
    return a.view() == (b ? std::string_view(b) : std::string_view());
  }
  friend std::strong_ordering operator<=>(const KroUnicodeString& a, const KroUnicodeString& b) noexcept {
    return a.view() <=> b.view();
  }

 private:
  static_assert(std::endian::native == std::endian::little, "the inline tag is the capacity word's top byte");
  static_assert(sizeof(char*) == 8 && sizeof(std::size_t) == 8, "three 8-byte words");
  // The top byte of m_cap: 0x80 for text on the heap; otherwise 23 minus the inline length, so that
  // a full inline text ends in the NUL that the tag then is.
  static constexpr std::uint64_t kHeapTag = std::uint64_t{0x80} << 56;

  bool isHeap() const noexcept { return (m_cap & kHeapTag) != 0; }
  std::uint8_t inlineTag() const noexcept { return static_cast<std::uint8_t>(m_cap >> 56); }
  std::size_t capacity() const noexcept { return isHeap() ? (m_cap & ~kHeapTag) : kInlineCapacity; }
  char* inlineData() noexcept { return reinterpret_cast<char*>(this); }
  const char* inlineData() const noexcept { return reinterpret_cast<const char*>(this); }
  char* mutableData() noexcept { return isHeap() ? m_ptr : inlineData(); }
  void setInlineSize(std::size_t size) noexcept {
    inlineData()[size] = '\0';
    inlineData()[kInlineCapacity] = static_cast<char>(kInlineCapacity - size);
  }
  void setSize(std::size_t size) noexcept {
    if (isHeap()) {
      m_size = size;
      m_ptr[size] = '\0';
    } else {
      setInlineSize(size);
    }
  }
  // One block copy, read as init writes it (sixteen bytes, then eight): a move right after a getter
  // then reads back whole stores instead of stalling on a load that spans two of them.
  void copyRepresentation(const KroUnicodeString& other) noexcept {
    __builtin_memcpy(static_cast<void*>(this), static_cast<const void*>(&other), sizeof(KroUnicodeString));
  }
  void clearRepresentation() noexcept {
    m_ptr = nullptr;
    m_size = 0;
    m_cap = std::uint64_t{kInlineCapacity} << 56;
  }
  void init(std::string_view text);
  void release() noexcept {
    if (isHeap()) freeHeap();
  }
  void freeHeap() noexcept;
  // Room for at least capacity bytes and a NUL, keeping the text.
  void reserve(std::size_t capacity);

  char* m_ptr;
  std::size_t m_size;
  std::uint64_t m_cap;
};

// Writes the text as it is stored (UTF-8 by convention).
KRO_PLATFORM_API std::ostream& operator<<(std::ostream& os, const KroUnicodeString& s);
