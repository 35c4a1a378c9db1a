#include "KroDocumentFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <initializer_list>
#include <limits>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace KroDoc {

namespace {

// ---------------------------------------------------------------------------------------------
// Lexing: every statement is one line, so each line is turned into tokens on its own.

enum class Tok { Word, String, Octets, LBracket, RBracket, Comma, Equals };

struct Token {
  Tok type;
  std::string text;  // word text, decoded string bytes, or decoded octets
};

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsWordChar(unsigned char c) {
  return IsLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '+' || c == '-' || c == '@';
}

int HexValue(unsigned char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ByteText(unsigned char c) {
  static const char digits[] = "0123456789abcdef";
  if (c > 0x20 && c < 0x7f) return std::string("'") + static_cast<char>(c) + "'";
  return std::string("byte 0x") + digits[c >> 4] + digits[c & 15];
}

// `i` is at the opening quote; on success it is just past the closing one.
bool LexString(std::string_view line, std::size_t& i, std::string& out, std::string& msg) {
  ++i;
  while (i < line.size()) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == '"') {
      ++i;
      return true;
    }
    if (c == '\\') {
      if (i + 1 >= line.size()) break;
      const char e = line[i + 1];
      if (e == '"' || e == '\\') {
        out += e;
      } else if (e == 'n') {
        out += '\n';
      } else if (e == 't') {
        out += '\t';
      } else if (e == 'x') {
        const int hi = i + 2 < line.size() ? HexValue(static_cast<unsigned char>(line[i + 2])) : -1;
        const int lo = i + 3 < line.size() ? HexValue(static_cast<unsigned char>(line[i + 3])) : -1;
        if (hi < 0 || lo < 0) {
          msg = "bad escape in string: \\x needs two hex digits";
          return false;
        }
        out += static_cast<char>(hi * 16 + lo);
        i += 4;
        continue;
      } else {
        msg = "bad escape in string: \\ followed by " + ByteText(static_cast<unsigned char>(e));
        return false;
      }
      i += 2;
      continue;
    }
    if (c < 0x20 && c != '\t') {
      msg = "control character in string (" + ByteText(c) + "); write it as \\xHH";
      return false;
    }
    out += static_cast<char>(c);
    ++i;
  }
  msg = "unterminated string";
  return false;
}

// `i` is at the quote after the x.
bool LexOctets(std::string_view line, std::size_t& i, std::string& out, std::string& msg) {
  ++i;
  while (i < line.size() && line[i] != '"') {
    const int hi = HexValue(static_cast<unsigned char>(line[i]));
    if (hi < 0) {
      msg = "bad hex digit " + ByteText(static_cast<unsigned char>(line[i])) + " in octets";
      return false;
    }
    if (i + 1 >= line.size() || line[i + 1] == '"') {
      msg = "odd number of hex digits in octets";
      return false;
    }
    const int lo = HexValue(static_cast<unsigned char>(line[i + 1]));
    if (lo < 0) {
      msg = "bad hex digit " + ByteText(static_cast<unsigned char>(line[i + 1])) + " in octets";
      return false;
    }
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  if (i >= line.size()) {
    msg = "unterminated octets";
    return false;
  }
  ++i;
  return true;
}

bool Tokenize(std::string_view line, std::vector<Token>& toks, std::string& msg) {
  std::size_t i = 0;
  while (i < line.size()) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '[' || c == ']' || c == ',' || c == '=') {
      toks.push_back({c == '[' ? Tok::LBracket : c == ']' ? Tok::RBracket : c == ',' ? Tok::Comma : Tok::Equals, {}});
      ++i;
    } else if (c == '"') {
      Token t{Tok::String, {}};
      if (!LexString(line, i, t.text, msg)) return false;
      toks.push_back(std::move(t));
    } else if (c == 'x' && i + 1 < line.size() && line[i + 1] == '"') {
      ++i;
      Token t{Tok::Octets, {}};
      if (!LexOctets(line, i, t.text, msg)) return false;
      toks.push_back(std::move(t));
    } else if (IsWordChar(c)) {
      const std::size_t start = i;
      while (i < line.size() && IsWordChar(static_cast<unsigned char>(line[i]))) ++i;
      toks.push_back({Tok::Word, std::string(line.substr(start, i - start))});
    } else {
      msg = "unexpected " + ByteText(c);
      return false;
    }
  }
  return true;
}

std::string Describe(const Token* t) {
  if (!t) return "end of line";
  switch (t->type) {
    case Tok::Word:
      return "'" + (t->text.size() > 40 ? t->text.substr(0, 40) + "..." : t->text) + "'";
    case Tok::String:
      return "a string";
    case Tok::Octets:
      return "octets";
    case Tok::LBracket:
      return "'['";
    case Tok::RBracket:
      return "']'";
    case Tok::Comma:
      return "','";
    case Tok::Equals:
      return "'='";
  }
  return "?";
}

// Quoted form of a name for messages.
std::string Q(const std::string& s) {
  std::string r = "\"";
  for (unsigned char c : s.size() > 60 ? s.substr(0, 60) + "..." : s) r += c < 0x20 ? '?' : static_cast<char>(c);
  return r + "\"";
}

// Whole-token conversions; false with `msg` set when the token is not entirely a number.
bool ToInt(const std::string& text, std::int32_t& v, std::string& msg) {
  const char* b = text.data();
  const char* e = b + text.size();
  const auto r = std::from_chars(b, e, v);
  if (r.ec == std::errc::result_out_of_range) {
    msg = "integer " + text.substr(0, 40) + " out of range (32-bit)";
    return false;
  }
  if (r.ec != std::errc() || r.ptr != e || text.empty()) {
    msg = "expected an integer, found '" + text.substr(0, 40) + "'";
    return false;
  }
  return true;
}

bool ToDouble(const std::string& text, double& v, std::string& msg) {
  const char* b = text.data();
  const char* e = b + text.size();
  const auto r = std::from_chars(b, e, v, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    msg = "number " + text.substr(0, 40) + " out of range for double";
    return false;
  }
  if (r.ec != std::errc() || r.ptr != e || text.empty()) {
    msg = "expected a number, found '" + text.substr(0, 40) + "'";
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------

struct KindName {
  const char* text;
  TCKind kind;
};
constexpr KindName kScalarKinds[] = {{"integer", tk_long},
                                     {"double", tk_double},
                                     {"boolean", tk_boolean},
                                     {"string", tk_string},
                                     {"specobject", tk_specobject}};
constexpr KindName kElementKinds[] = {{"octet", tk_octet},
                                      {"integer", tk_long},
                                      {"double", tk_double},
                                      {"string", tk_string},
                                      {"specobject", tk_specobject}};

const char* ElementName(TCKind k) {
  for (const auto& e : kElementKinds)
    if (e.kind == k) return e.text;
  return "?";
}

}  // namespace

class Parser {
 public:
  Parser(const std::string& file, Sink& sink, ParseError& err) : file_(file), sink_(sink), err_(err) {}

  // One line without its terminator; `crcBefore` is the CRC-32 of every byte before it.
  bool Line(std::string_view line, std::uint32_t crcBefore) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line_ == std::numeric_limits<int>::max()) return Fail("too many lines");
    ++line_;
    if (trailerLine_) return Fail("text after the trailer line (line " + std::to_string(trailerLine_) + ")");
    toks_.clear();
    at_ = 0;
    std::string msg;
    if (!Tokenize(line, toks_, msg)) return Fail(msg);
    if (toks_.empty()) return true;
    const bool first = !statementSeen_;
    statementSeen_ = true;
    return Statement(first, crcBefore);
  }

  bool Finish() {
    if (block_ == Block::Startup) return FailAt(blockLine_, "startup " + Q(startUp_.name) + " has no 'end'");
    if (block_ == Block::Object) return FailAt(blockLine_, "object " + std::to_string(object_.id) + " has no 'end'");
    if (version_ && !trailerLine_)
      return FailAt(std::max(line_, 1),
                    "the document ends without its trailer line: the file is truncated");
    for (const auto& [id, line] : refs_)
      if (!objectLines_.count(id))
        return FailAt(line, "reference @" + std::to_string(id) + " to an object not defined in this document");
    return true;
  }

  int version() const { return version_; }
  const std::vector<Ref>& roots() const { return roots_; }

 private:
  enum class Block { None, Startup, Object };

  bool FailAt(int line, std::string msg) {
    err_.file = file_;
    err_.line = line;
    err_.message = std::move(msg);
    return false;
  }
  bool Fail(std::string msg) { return FailAt(line_, std::move(msg)); }

  const Token* Peek() const { return at_ < toks_.size() ? &toks_[at_] : nullptr; }
  const Token* Next() { return at_ < toks_.size() ? &toks_[at_++] : nullptr; }
  bool PeekIs(Tok type) const { return Peek() && Peek()->type == type; }

  bool ExpectString(const std::string& what, std::string& out) {
    const Token* t = Next();
    if (!t || t->type != Tok::String) return Fail("expected " + what + " string, found " + Describe(t));
    out = t->text;
    return true;
  }
  bool ExpectEnd() {
    if (Peek()) return Fail("unexpected " + Describe(Peek()));
    return true;
  }

  bool Statement(bool first, std::uint32_t crcBefore) {
    const Token* t = Next();
    if (t->type != Tok::Word) return Fail("expected a keyword, found " + Describe(t));
    const std::string& kw = t->text;
    if (kw == "attribute") {
      if (block_ == Block::None) return Fail("'attribute' outside startup or object");
      return AttributeLine(block_ == Block::Startup ? startUp_.attributes : object_.attributes);
    }
    if (kw == "end") {
      if (block_ == Block::None) return Fail("'end' without startup or object");
      if (!ExpectEnd()) return false;
      return Close();
    }
    if (kw == "startup" || kw == "object" || kw == "trailer") {
      if (block_ != Block::None)
        return Fail("'" + kw + "' inside the block opened on line " + std::to_string(blockLine_) + " (missing 'end')");
      if (kw == "trailer") return TrailerLine(crcBefore);
      return kw == "startup" ? StartUpLine() : ObjectLine();
    }
    if (kw == "document") {
      if (!first) return Fail("the 'document' header line must be the first statement");
      return HeaderLine();
    }
    return Fail("unknown keyword " + Describe(t));
  }

  // Hands the finished block to the sink.
  bool Close() {
    const Block closing = block_;
    block_ = Block::None;
    ParseError sinkErr;
    const bool ok = closing == Block::Startup ? sink_.OnStartUp(std::move(startUp_), sinkErr)
                                              : sink_.OnObject(std::move(object_), sinkErr);
    startUp_ = StartUp{};
    object_ = Object{};
    if (!ok) return FailAt(sinkErr.line ? sinkErr.line : blockLine_, std::move(sinkErr.message));
    return true;
  }

  // document version N [roots [@a, @b, ...]]
  bool HeaderLine() {
    const Token* t = Next();
    if (!t || t->type != Tok::Word || t->text != "version")
      return Fail("expected 'version' after 'document', found " + Describe(t));
    t = Next();
    std::string msg;
    std::int32_t version = 0;
    if (!t || t->type != Tok::Word) return Fail("expected a format version, found " + Describe(t));
    if (!ToInt(t->text, version, msg)) return Fail(msg);
    if (version < 1) return Fail("format version must be positive, found " + t->text);
    if (version > kFormatVersion)
      return Fail("format version " + t->text + " is newer than this reader's (" + std::to_string(kFormatVersion) +
                  ")");
    if (const Token* r = Next()) {
      if (r->type != Tok::Word || r->text != "roots") return Fail("unexpected " + Describe(r));
      Attribute holder;
      holder.name = "roots";
      if (!List<Ref>(holder)) return false;
      roots_ = std::move(std::get<std::vector<Ref>>(holder.value));
      if (!ExpectEnd()) return false;
    }
    version_ = version;
    return true;
  }

  // trailer objects N checksum XXXXXXXX
  bool TrailerLine(std::uint32_t crcBefore) {
    if (!version_) return Fail("trailer line without a 'document' header line");
    const Token* t = Next();
    if (!t || t->type != Tok::Word || t->text != "objects")
      return Fail("expected 'objects' after 'trailer', found " + Describe(t));
    t = Next();
    std::string msg;
    std::int32_t count = 0;
    if (!t || t->type != Tok::Word) return Fail("expected an object count, found " + Describe(t));
    if (!ToInt(t->text, count, msg)) return Fail(msg);
    t = Next();
    if (!t || t->type != Tok::Word || t->text != "checksum")
      return Fail("expected 'checksum' after the object count, found " + Describe(t));
    t = Next();
    if (!t || t->type != Tok::Word || t->text.size() != 8 ||
        t->text.find_first_not_of("0123456789abcdef") != std::string::npos)
      return Fail("expected a checksum of 8 lower-case hex digits, found " + Describe(t));
    if (!ExpectEnd()) return false;
    const std::uint32_t checksum = static_cast<std::uint32_t>(std::stoul(t->text, nullptr, 16));
    if (checksum != crcBefore) return Fail("checksum mismatch: the document was altered or damaged");
    if (static_cast<std::size_t>(count) != objectLines_.size() || count < 0)
      return Fail("the trailer counts " + std::to_string(count) + " objects, the document has " +
                  std::to_string(objectLines_.size()));
    trailerLine_ = line_;
    return true;
  }

  // Optional `keyword "text"` clauses, in any order, each at most once.
  bool Clauses(std::initializer_list<std::pair<const char*, std::string*>> clauses,
               std::unordered_set<std::string>& seen) {
    while (const Token* t = Next()) {
      std::string* target = nullptr;
      if (t->type == Tok::Word)
        for (const auto& [kw, dest] : clauses)
          if (t->text == kw) target = dest;
      if (!target) return Fail("unexpected " + Describe(t));
      if (!seen.insert(t->text).second) return Fail("'" + t->text + "' given twice");
      if (!ExpectString("a", *target)) return false;
    }
    return true;
  }

  bool StartUpLine() {
    StartUp s;
    s.line = line_;
    if (!ExpectString("a startup name", s.name)) return false;
    if (s.name.empty()) return Fail("startup name is empty");
    std::unordered_set<std::string> seen;
    if (!Clauses({{"type", &s.type}, {"base", &s.base}}, seen)) return false;
    if (auto it = startupLines_.find(s.name); it != startupLines_.end())
      return Fail("duplicate startup " + Q(s.name) + " (first defined on line " + std::to_string(it->second) + ")");
    if (!s.base.empty() && !startupLines_.count(s.base))
      return Fail("base " + Q(s.base) + " is not a startup defined earlier in this document");
    startupLines_.emplace(s.name, line_);
    startUp_ = std::move(s);
    Open(Block::Startup);
    return true;
  }

  bool ObjectLine() {
    Object o;
    o.line = line_;
    const Token* t = Next();
    if (!t || t->type != Tok::Word) return Fail("expected an object id, found " + Describe(t));
    std::string msg;
    std::int32_t id = 0;
    if (!ToInt(t->text, id, msg)) return Fail(msg);
    if (id <= 0) return Fail("object id must be positive, found " + t->text);
    o.id = id;
    std::unordered_set<std::string> seen;
    if (!Clauses({{"of", &o.startup}, {"name", &o.name}, {"type", &o.lateType}}, seen)) return false;
    if (!seen.count("of")) return Fail("object " + std::to_string(id) + " needs 'of \"startup\"'");
    if (o.startup.empty()) return Fail("object " + std::to_string(id) + ": startup name after 'of' is empty");
    if (auto it = objectLines_.find(id); it != objectLines_.end())
      return Fail("duplicate object id " + std::to_string(id) + " (first defined on line " +
                  std::to_string(it->second) + ")");
    objectLines_.emplace(id, line_);
    object_ = std::move(o);
    Open(Block::Object);
    return true;
  }

  void Open(Block b) {
    block_ = b;
    blockLine_ = line_;
    attrNames_.clear();
  }

  bool AttributeLine(std::vector<Attribute>& attrs) {
    Attribute a;
    a.line = line_;
    if (!ExpectString("an attribute name", a.name)) return false;
    if (a.name.empty()) return Fail("attribute name is empty");
    if (a.name.find('\0') != std::string::npos) return Fail("attribute name " + Q(a.name) + " contains a NUL byte");
    if (!attrNames_.insert(a.name).second) return Fail("duplicate attribute " + Q(a.name));
    if (!Kind(a)) return false;
    if (Peek()) {
      if (!PeekIs(Tok::Equals)) return Fail("expected '=' or end of line after the kind, found " + Describe(Peek()));
      ++at_;
      if (!Peek()) return Fail("missing value after '='");
      if (!ParseValue(a)) return false;
      if (!ExpectEnd()) return false;
    }
    attrs.push_back(std::move(a));
    return true;
  }

  bool Kind(Attribute& a) {
    const Token* t = Next();
    if (!t || t->type != Tok::Word) return Fail("expected a kind, found " + Describe(t));
    if (t->text == "octets") {
      a.kind = tk_list;
      a.elementKind = tk_octet;
      return true;
    }
    if (t->text == "list") {
      const Token* e = Next();
      if (!e || e->type != Tok::Word) return Fail("'list' needs an element kind, found " + Describe(e));
      for (const auto& k : kElementKinds)
        if (e->text == k.text) {
          a.kind = tk_list;
          a.elementKind = k.kind;
          return true;
        }
      return Fail("unknown list element kind " + Describe(e));
    }
    for (const auto& k : kScalarKinds)
      if (t->text == k.text) {
        a.kind = k.kind;
        return true;
      }
    return Fail("unknown kind " + Describe(t));
  }

  // One element of kind `k`, from the next token.
  template <typename T>
  bool Element(const std::string& attr, T& out) {
    const Token* t = Next();
    std::string msg;
    auto expected = [&](const char* what) {
      return Fail("attribute " + Q(attr) + ": expected " + what + ", found " + Describe(t));
    };
    if constexpr (std::is_same_v<T, std::int32_t>) {
      if (!t || t->type != Tok::Word) return expected("an integer");
      if (!ToInt(t->text, out, msg)) return Fail("attribute " + Q(attr) + ": " + msg);
    } else if constexpr (std::is_same_v<T, double>) {
      if (!t || t->type != Tok::Word) return expected("a number");
      if (!ToDouble(t->text, out, msg)) return Fail("attribute " + Q(attr) + ": " + msg);
    } else if constexpr (std::is_same_v<T, bool>) {
      if (!t || t->type != Tok::Word || (t->text != "true" && t->text != "false")) return expected("true or false");
      out = t->text == "true";
    } else if constexpr (std::is_same_v<T, std::string>) {
      if (!t || t->type != Tok::String) return expected("a string");
      out = t->text;
    } else if constexpr (std::is_same_v<T, std::vector<unsigned char>>) {
      if (!t || t->type != Tok::Octets) return expected("octets x\"...\"");
      out.assign(t->text.begin(), t->text.end());
    } else {
      static_assert(std::is_same_v<T, Ref>);
      if (!t || t->type != Tok::Word || t->text.size() < 2 || t->text[0] != '@' ||
          !IsDigit(static_cast<unsigned char>(t->text[1])))
        return expected("a reference @id");
      if (block_ == Block::Startup)
        return Fail("startup attribute " + Q(attr) + " cannot hold a reference; startups hold only plain values");
      std::int32_t id = 0;
      if (!ToInt(t->text.substr(1), id, msg)) return Fail("attribute " + Q(attr) + ": bad reference: " + msg);
      out.id = id;
      refs_.emplace_back(id, line_);
    }
    return true;
  }

  template <typename T>
  bool Scalar(Attribute& a) {
    T v{};
    if (!Element(a.name, v)) return false;
    a.value = std::move(v);
    return true;
  }

  template <typename T>
  bool List(Attribute& a) {
    const Token* t = Next();
    if (!t || t->type != Tok::LBracket)
      return Fail("attribute " + Q(a.name) + ": expected '[' to start a list, found " + Describe(t));
    std::vector<T> items;
    if (PeekIs(Tok::RBracket)) {
      ++at_;
    } else {
      for (;;) {
        T v{};
        if (!Element(a.name, v)) return false;
        items.push_back(std::move(v));
        const Token* sep = Next();
        if (sep && sep->type == Tok::RBracket) break;
        if (!sep || sep->type != Tok::Comma)
          return Fail("attribute " + Q(a.name) + ": expected ',' or ']' in list, found " + Describe(sep));
      }
    }
    a.value = std::move(items);
    return true;
  }

  bool ParseValue(Attribute& a) {
    if (a.kind == tk_list) {
      switch (a.elementKind) {
        case tk_octet:
          return Scalar<std::vector<unsigned char>>(a);
        case tk_long:
          return List<std::int32_t>(a);
        case tk_double:
          return List<double>(a);
        case tk_string:
          return List<std::string>(a);
        default:
          return List<Ref>(a);
      }
    }
    switch (a.kind) {
      case tk_long:
        return Scalar<std::int32_t>(a);
      case tk_double:
        return Scalar<double>(a);
      case tk_boolean:
        return Scalar<bool>(a);
      case tk_string:
        return Scalar<std::string>(a);
      default:
        return Scalar<Ref>(a);
    }
  }

  const std::string& file_;
  Sink& sink_;
  ParseError& err_;
  StartUp startUp_;  // the block being read
  Object object_;
  bool statementSeen_ = false;
  int version_ = 0;
  int trailerLine_ = 0;
  std::vector<Ref> roots_;
  std::vector<Token> toks_;
  std::size_t at_ = 0;
  int line_ = 0;
  Block block_ = Block::None;
  int blockLine_ = 0;
  std::unordered_set<std::string> attrNames_;
  std::unordered_map<std::string, int> startupLines_;
  std::unordered_map<int, int> objectLines_;
  std::vector<std::pair<int, int>> refs_;  // (id, line), in file order
};

namespace {

// ---------------------------------------------------------------------------------------------
// Writing

// Length of the well-formed UTF-8 sequence at s[i], or 0. Valid sequences are kept as they are so
// that non-ASCII text stays readable; anything else is escaped byte by byte.
std::size_t Utf8Length(const std::string& s, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = at(i);
  std::size_t n = 0;
  unsigned char lo = 0x80, hi = 0xbf;
  if (c >= 0xc2 && c <= 0xdf) {
    n = 2;
  } else if (c >= 0xe0 && c <= 0xef) {
    n = 3;
    if (c == 0xe0) lo = 0xa0;
    if (c == 0xed) hi = 0x9f;
  } else if (c >= 0xf0 && c <= 0xf4) {
    n = 4;
    if (c == 0xf0) lo = 0x90;
    if (c == 0xf4) hi = 0x8f;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  if (at(i + 1) < lo || at(i + 1) > hi) return 0;
  for (std::size_t k = 2; k < n; ++k)
    if (at(i + k) < 0x80 || at(i + k) > 0xbf) return 0;
  return n;
}

void PutString(std::string& out, const std::string& s) {
  static const char digits[] = "0123456789abcdef";
  out += '"';
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else if (const std::size_t n = c >= 0x80 ? Utf8Length(s, i) : 0) {
      out.append(s, i, n);
      i += n;
      continue;
    } else {
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    }
    ++i;
  }
  out += '"';
}

void PutElement(std::string& out, std::int32_t v) { out += std::to_string(v); }
void PutElement(std::string& out, bool v) { out += v ? "true" : "false"; }
void PutElement(std::string& out, const std::string& v) { PutString(out, v); }
void PutElement(std::string& out, const Ref& v) {
  out += '@';
  out += std::to_string(v.id);
}
void PutElement(std::string& out, double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}
void PutElement(std::string& out, const std::vector<unsigned char>& v) {
  static const char digits[] = "0123456789abcdef";
  out += "x\"";
  for (unsigned char c : v) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  out += '"';
}
template <typename T>
void PutElement(std::string& out, const std::vector<T>& v) {
  out += '[';
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i) out += ", ";
    PutElement(out, v[i]);
  }
  out += ']';
}

void PutAttributes(std::string& out, const std::vector<Attribute>& attrs) {
  for (const auto& a : attrs) {
    out += "  attribute ";
    PutString(out, a.name);
    out += ' ';
    out += KindWords(a.kind, a.elementKind);
    if (!std::holds_alternative<std::monostate>(a.value)) {
      out += " = ";
      std::visit(
          [&](const auto& v) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(v)>, std::monostate>) PutElement(out, v);
          },
          a.value);
    }
    out += '\n';
  }
}

}  // namespace

std::string ParseError::what() const {
  if (line == 0) return file + ": " + message;
  return file + ":" + std::to_string(line) + ": " + message;
}

std::uint32_t Crc32(std::uint32_t crc, std::string_view bytes) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

Reader::Reader(std::string fileName, Sink& sink, ParseError& err)
    : m_file(std::move(fileName)), m_err(err), m_parser(std::make_unique<Parser>(m_file, sink, err)) {}

Reader::~Reader() = default;

bool Reader::Feed(std::string_view bytes) {
  if (m_failed) return false;
  try {
    while (!bytes.empty()) {
      const std::size_t nl = bytes.find('\n');
      if (nl == std::string_view::npos) {
        m_partial.append(bytes);
        return true;
      }
      std::string_view line = bytes.substr(0, nl);
      if (!m_partial.empty()) {
        m_partial.append(line);
        line = m_partial;
      }
      const std::uint32_t before = m_crc;
      if (!m_parser->Line(line, before)) return m_failed = true, false;
      m_crc = Crc32(m_crc, line);
      m_crc = Crc32(m_crc, "\n");
      m_partial.clear();
      bytes.remove_prefix(nl + 1);
    }
    return true;
  } catch (const std::exception& e) {
    m_err = ParseError{m_file, 0, std::string("cannot parse: ") + e.what()};
    return m_failed = true, false;
  }
}

bool Reader::Finish() {
  if (m_failed) return false;
  try {
    if (!m_partial.empty()) {
      if (!m_parser->Line(m_partial, m_crc)) return m_failed = true, false;
      m_partial.clear();
    }
    if (!m_parser->Finish()) return m_failed = true, false;
    return true;
  } catch (const std::exception& e) {
    m_err = ParseError{m_file, 0, std::string("cannot parse: ") + e.what()};
    return m_failed = true, false;
  }
}

int Reader::Version() const { return m_parser->version(); }
const std::vector<Ref>& Reader::Roots() const { return m_parser->roots(); }

bool Parse(std::string_view text, const std::string& fileName, Document& out, ParseError& err) {
  try {
    Document doc;
    Collector collector(doc);
    Reader reader(fileName, collector, err);
    if (!reader.Feed(text) || !reader.Finish()) return false;
    doc.version = reader.Version();
    doc.roots = reader.Roots();
    out = std::move(doc);
    return true;
  } catch (const std::exception& e) {
    err = ParseError{fileName, 0, std::string("cannot parse: ") + e.what()};
    return false;
  }
}

std::string Write(const Document& doc) {
  std::string out = "document version " + std::to_string(kFormatVersion);
  if (!doc.roots.empty()) {
    out += " roots ";
    PutElement(out, doc.roots);
  }
  out += '\n';
  // Blank line between blocks.
  auto open = [&out](const char* keyword) {
    out += '\n';
    out += keyword;
  };
  for (const auto& s : doc.startups) {
    open("startup ");
    PutString(out, s.name);
    out += " type ";
    PutString(out, s.type);
    if (!s.base.empty()) {
      out += " base ";
      PutString(out, s.base);
    }
    out += '\n';
    PutAttributes(out, s.attributes);
    out += "end\n";
  }
  for (const auto& o : doc.objects) {
    open("object ");
    out += std::to_string(o.id) + " of ";
    PutString(out, o.startup);
    out += " name ";
    PutString(out, o.name);
    out += " type ";
    PutString(out, o.lateType);
    out += '\n';
    PutAttributes(out, o.attributes);
    out += "end\n";
  }
  out += '\n';
  // The checksum covers every byte before the trailer line.
  const std::uint32_t crc = Crc32(0, out);
  out += "trailer objects " + std::to_string(doc.objects.size()) + " checksum ";
  static const char digits[] = "0123456789abcdef";
  for (int shift = 28; shift >= 0; shift -= 4) out += digits[(crc >> shift) & 15];
  out += '\n';
  return out;
}

std::string KindWords(TCKind kind, TCKind elementKind) {
  if (kind == tk_list) {
    return elementKind == tk_octet ? std::string("octets") : std::string("list ") + ElementName(elementKind);
  }
  for (const auto& k : kScalarKinds)
    if (k.kind == kind) return k.text;
  return "?";
}

std::string Quoted(std::string_view text) {
  std::string out;
  PutString(out, std::string(text));
  return out;
}

}  // namespace KroDoc
