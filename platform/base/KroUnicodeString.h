// The platform string. Held as 8-bit (UTF-8) text; ConvertToChar gives that text back.
#pragma once

#include "KroExport.h"

#include <ostream>
#include <string>
#include <string_view>

class KRO_PLATFORM_API KroUnicodeString {
 public:
  KroUnicodeString() = default;
  KroUnicodeString(const char* text) : m_text(text ? text : "") {}
  KroUnicodeString(std::string text) : m_text(std::move(text)) {}
  KroUnicodeString(std::string_view text) : m_text(text) {}

  const char* ConvertToChar() const { return m_text.c_str(); }
  const std::string& str() const { return m_text; }
  int GetLengthInChar() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }

  KroUnicodeString& Append(const KroUnicodeString& other) { m_text += other.m_text; return *this; }
  KroUnicodeString& Append(const char* other) { if (other) m_text += other; return *this; }
  KroUnicodeString& operator+=(const KroUnicodeString& other) { return Append(other); }
  KroUnicodeString& operator+=(const char* other) { return Append(other); }
  friend KroUnicodeString operator+(KroUnicodeString a, const KroUnicodeString& b) { return a.Append(b); }

  // Numeric formatting: integers in decimal without leading zeros; doubles in the shortest form that reads back.
  static KroUnicodeString BuildFromNum(int value);
  static KroUnicodeString BuildFromNum(long value);
  static KroUnicodeString BuildFromNum(double value);
  KroUnicodeString& AppendNum(int value) { return Append(BuildFromNum(value)); }
  KroUnicodeString& AppendNum(long value) { return Append(BuildFromNum(value)); }
  // Parses the whole text as a decimal integer; false (value untouched) when it is not one.
  bool ConvertToNum(int& value) const;

  int Compare(const KroUnicodeString& other) const { return m_text.compare(other.m_text); }
  friend bool operator==(const KroUnicodeString& a, const KroUnicodeString& b) { return a.m_text == b.m_text; }
  friend bool operator==(const KroUnicodeString& a, const char* b) { return a.m_text == (b ? b : ""); }
  friend auto operator<=>(const KroUnicodeString& a, const KroUnicodeString& b) { return a.m_text <=> b.m_text; }
  friend std::ostream& operator<<(std::ostream& os, const KroUnicodeString& s) { return os << s.m_text; }

 private:
  std::string m_text;
};
