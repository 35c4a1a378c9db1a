// Text form of feature catalogs and saved containers: parsing into plain structures and writing them
// back. The format is described in docs/catalog-format.md.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "KroTypes.h"
#include "KroValue.h"

namespace KroDoc {

struct Ref {
  int id = 0;
  friend bool operator==(const Ref&, const Ref&) = default;
};

// References are object numbers of the same document.
using Value = KroValueOf<Ref>;

struct Attribute {
  std::string name;
  TCKind kind = tk_null;
  TCKind elementKind = tk_null;
  Value value;
  int line = 0;
};

struct StartUp {
  std::string name;
  std::string type;
  std::string base;
  std::vector<Attribute> attributes;
  int line = 0;
};

struct Object {
  int id = 0;
  std::string startup;
  std::string name;
  std::string lateType;
  std::vector<Attribute> attributes;
  int line = 0;
};

// The format version that Write puts in its header line.
constexpr int kFormatVersion = 1;

struct Document {
  std::vector<StartUp> startups;
  std::vector<Object> objects;
  // From the header line: 0 when the text has none (a hand-written catalog), else its version.
  int version = 0;
  // The roots of a save of chosen objects, in order (may repeat); empty when none were named.
  std::vector<Ref> roots;
};

struct ParseError {
  std::string file;
  int line = 0;
  std::string message;
  // "file:line: message", or "file: message" when the error is not tied to a line.
  std::string what() const;
};

// The kind words of the format, for reading and writing alike.
struct KindName {
  const char* text;
  TCKind kind;
};
inline constexpr KindName kScalarKinds[] = {{"integer", tk_long},
                                     {"double", tk_double},
                                     {"boolean", tk_boolean},
                                     {"string", tk_string},
                                     {"specobject", tk_specobject}};
inline constexpr KindName kElementKinds[] = {{"octet", tk_octet},
                                      {"integer", tk_long},
                                      {"double", tk_double},
                                      {"string", tk_string},
                                      {"specobject", tk_specobject}};


// Receives a document block by block as it is read, so that a large file is never held whole.
class Sink {
 public:
  virtual ~Sink() = default;
  // False stops reading; the sink then fills err's line and message (the reader adds the file).
  virtual bool OnStartUp(StartUp&& startUp, ParseError& err) = 0;
  virtual bool OnObject(Object&& object, ParseError& err) = 0;
};

// Keeps every block: the whole document in memory.
class Collector final : public Sink {
 public:
  explicit Collector(Document& doc) : m_doc(doc) {}
  bool OnStartUp(StartUp&& startUp, ParseError&) override {
    m_doc.startups.push_back(std::move(startUp));
    return true;
  }
  bool OnObject(Object&& object, ParseError&) override {
    m_doc.objects.push_back(std::move(object));
    return true;
  }

 private:
  Document& m_doc;
};


// On failure `out` is left untouched and `err` describes the first problem found.
bool Parse(std::string_view text, const std::string& fileName, Document& out, ParseError& err);

// Parse(Write(d)) gives back d for every valid document, apart from the line fields and the version
// (always kFormatVersion). The text starts with the header line and ends with the trailer line.
std::string Write(const Document& doc);

// CRC-32 (the polynomial of zip and PNG), continued from `crc` (0 to start).
std::uint32_t Crc32(std::uint32_t crc, std::string_view bytes);

// The words the format writes for an attribute's kind: "integer", "double", "boolean", "string",
// "specobject", "octets", "list integer" and the like; "?" for a pair the modeler does not store.
// Every program that shows kinds (cfgso's listings) uses these.
std::string KindWords(TCKind kind, TCKind elementKind);
// A text as the format writes it: in double quotes, with \", \\, \n, \t, valid UTF-8 kept and any
// other byte as \xHH.
std::string Quoted(std::string_view text);

}  // namespace KroDoc
