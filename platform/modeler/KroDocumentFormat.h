// Text form of feature catalogs and saved containers: parsing into plain structures and writing them
// back. The format is described in docs/catalog-format.md.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "KroTypes.h"

namespace KroDoc {

struct KRO_PLATFORM_API Ref {
  int id = 0;
  friend bool operator==(const Ref&, const Ref&) = default;
};

using Value = std::variant<std::monostate,              // no value (unset)
                           std::int32_t,                // tk_long
                           double,                      // tk_double
                           bool,                        // tk_boolean
                           std::string,                 // tk_string
                           std::vector<unsigned char>,  // (tk_list, tk_octet): octet sequence
                           Ref,                         // tk_specobject: reference to an object of the same document
                           std::vector<std::int32_t>,   // (tk_list, tk_long)
                           std::vector<double>,         // (tk_list, tk_double)
                           std::vector<std::string>,    // (tk_list, tk_string)
                           std::vector<Ref>>;           // (tk_list, tk_specobject)

struct KRO_PLATFORM_API Attribute {
  std::string name;
  TCKind kind = tk_null;
  TCKind elementKind = tk_null;
  Value value;
  int line = 0;
};

struct KRO_PLATFORM_API StartUp {
  std::string name;
  std::string type;
  std::string base;
  std::vector<Attribute> attributes;
  int line = 0;
};

struct KRO_PLATFORM_API Object {
  int id = 0;
  std::string startup;
  std::string name;
  std::string lateType;
  std::vector<Attribute> attributes;
  int line = 0;
};

struct KRO_PLATFORM_API Document {
  std::vector<StartUp> startups;
  std::vector<Object> objects;
};

struct KRO_PLATFORM_API ParseError {
  std::string file;
  int line = 0;
  std::string message;
  // "file:line: message", or "file: message" when the error is not tied to a line.
  std::string what() const;
};

// On failure `out` is left untouched and `err` describes the first problem found.
KRO_PLATFORM_API bool Parse(std::string_view text, const std::string& fileName, Document& out, ParseError& err);
KRO_PLATFORM_API bool ParseFile(const std::string& path, Document& out, ParseError& err);

// Parse(Write(d)) gives back d (apart from the line fields) for every valid document.
KRO_PLATFORM_API std::string Write(const Document& doc);

}  // namespace KroDoc
