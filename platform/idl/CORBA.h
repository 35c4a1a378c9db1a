// The CORBA base types that the configuration server's generated structures use: fixed-width
// integers and the managed string held in structure fields.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace CORBA {

using Short = std::int16_t;
using Long = std::int32_t;
using ULong = std::uint32_t;
using Octet = unsigned char;

// A string field of a generated structure. It owns its text; a null character pointer given to it
// is taken as the empty string, so the field never hands out a null pointer.
class KRO_PLATFORM_API String_mgr {
 public:
  String_mgr() = default;
  String_mgr(const char* text) : m_text(text ? text : "") {}
  String_mgr(std::string text) : m_text(std::move(text)) {}
  String_mgr(std::string_view text) : m_text(text) {}

  String_mgr& operator=(const char* text) {
    m_text = text ? text : "";
    return *this;
  }
  String_mgr& operator=(std::string text) {
    m_text = std::move(text);
    return *this;
  }
  // Copies into the storage the field already has, when it is large enough.
  String_mgr& operator=(std::string_view text) {
    m_text.assign(text);
    return *this;
  }

  // The character pointer, valid until the field is next assigned or destroyed.
  const char* in() const { return m_text.c_str(); }
  operator const char*() const { return m_text.c_str(); }
  const std::string& str() const { return m_text; }

  friend bool operator==(const String_mgr& a, const String_mgr& b) { return a.m_text == b.m_text; }
  friend std::ostream& operator<<(std::ostream& os, const String_mgr& s) { return os << s.m_text; }

 private:
  std::string m_text;
};

}  // namespace CORBA
