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

// The format version that Write puts in its header line. Version 1 writes every object as a block of
// named attribute lines; version 2 writes each object on one line, its values in its startup's order.
constexpr int kFormatVersion = 2;

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


// An object line of version 2 as the reader hands it over. The reader keeps one and refills it line
// after line, so that reading allocates nothing per value once its strings have grown.
struct Record {
  int id = 0;
  int line = 0;
  // The numbered form: the startup block (and its index in file order) whose attributes `values`
  // follow, one value each; `absent[i]` when the object does not have attribute i.
  const StartUp* startUp = nullptr;
  std::size_t startUpIndex = 0;
  // The named form ("of" a startup the values do not follow): every attribute is in `extras`.
  std::string startUpName;
  std::string name;
  std::string lateType;
  bool hasLateType = false;
  std::vector<Value> values;
  std::vector<char> absent;
  // Attributes beyond the startup's, with their names and kinds.
  std::vector<Attribute> extras;
};

// Receives a document block by block as it is read, so that a large file is never held whole.
class Sink {
 public:
  virtual ~Sink() = default;
  // False stops reading; the sink then fills err's line and message (the reader adds the file).
  virtual bool OnStartUp(StartUp&& startUp, ParseError& err) = 0;
  virtual bool OnObject(Object&& object, ParseError& err) = 0;
  // A version 2 object line; by default turned into an Object (the startup's attributes in order,
  // then the extras) and given to OnObject.
  virtual bool OnRecord(Record& record, ParseError& err);
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

// Writes the current version. Parse(Write(d)) gives back d's startups, objects, values and roots,
// with the objects numbered 1, 2, ... in order (references follow), each object's attributes in its
// startup's order followed by the others, and an object's empty late type as its startup's type.
// Write(Parse(Write(d))) is Write(d). The text starts with the header line and ends with the trailer.
std::string Write(const Document& doc);

// The pieces of the text, for writers that produce it without a Document. Each appends to `out`.
namespace Text {
void Header(std::string& out, const std::vector<Ref>& roots);
// A startup block of version 2; `number` counts the blocks from 1.
void StartUpBlock(std::string& out, std::size_t number, const StartUp& startUp);
void String(std::string& out, std::string_view text);
void Integer(std::string& out, std::int32_t value);
void Number(std::string& out, double value);
void Octets(std::string& out, const unsigned char* data, std::size_t size);
// @id, or null for 0.
void Reference(std::string& out, int id);
// Any value but an unset one.
void Value(std::string& out, const KroDoc::Value& value);
// An object line: `number` is its startup's block number, or 0 with no block (the "of" form). The
// object's references must already be ids of the document being written.
void ObjectLine(std::string& out, const Object& object, const StartUp* startUp, std::size_t number);
// The trailer line, for `crc` the CRC-32 of everything before it.
void Trailer(std::string& out, std::size_t objects, std::uint32_t crc);
}  // namespace Text

// CRC-32 (the polynomial of zip and PNG), continued from `crc` (0 to start).
std::uint32_t Crc32(std::uint32_t crc, std::string_view bytes);
// The same, always by tables: what the faster path must agree with.
std::uint32_t Crc32ByTables(std::uint32_t crc, std::string_view bytes);

// The words the format writes for an attribute's kind: "integer", "double", "boolean", "string",
// "specobject", "octets", "list integer" and the like; "?" for a pair the modeler does not store.
// Every program that shows kinds (cfgso's listings) uses these.
std::string KindWords(TCKind kind, TCKind elementKind);
// A text as the format writes it: in double quotes, with \", \\, \n, \t, valid UTF-8 kept and any
// other byte as \xHH.
std::string Quoted(std::string_view text);

}  // namespace KroDoc
