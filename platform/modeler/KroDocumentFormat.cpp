#include "KroDocumentFormat.h"

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

class Parser {
 public:
  Parser(const std::string& file, ParseError& err) : file_(file), err_(err) {}

  bool Run(std::string_view text, Document& doc) {
    std::size_t pos = 0;
    int lineNo = 0;
    while (pos < text.size()) {
      std::size_t nl = text.find('\n', pos);
      if (nl == std::string_view::npos) nl = text.size();
      std::string_view line = text.substr(pos, nl - pos);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      pos = nl + 1;
      if (lineNo == std::numeric_limits<int>::max()) return Fail("too many lines");
      line_ = ++lineNo;
      toks_.clear();
      at_ = 0;
      std::string msg;
      if (!Tokenize(line, toks_, msg)) return Fail(msg);
      if (!toks_.empty() && !Statement(doc)) return false;
    }
    if (block_ == Block::Startup) return FailAt(blockLine_, "startup " + Q(doc.startups.back().name) + " has no 'end'");
    if (block_ == Block::Object)
      return FailAt(blockLine_, "object " + std::to_string(doc.objects.back().id) + " has no 'end'");
    for (const auto& [id, line] : refs_)
      if (!objectLines_.count(id))
        return FailAt(line, "reference @" + std::to_string(id) + " to an object not defined in this document");
    return true;
  }

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

  bool Statement(Document& doc) {
    const Token* t = Next();
    if (t->type != Tok::Word) return Fail("expected a keyword, found " + Describe(t));
    const std::string& kw = t->text;
    if (kw == "attribute") {
      if (block_ == Block::None) return Fail("'attribute' outside startup or object");
      auto& attrs = block_ == Block::Startup ? doc.startups.back().attributes : doc.objects.back().attributes;
      return AttributeLine(attrs);
    }
    if (kw == "end") {
      if (block_ == Block::None) return Fail("'end' without startup or object");
      block_ = Block::None;
      return ExpectEnd();
    }
    if (kw == "startup" || kw == "object") {
      if (block_ != Block::None)
        return Fail("'" + kw + "' inside the block opened on line " + std::to_string(blockLine_) + " (missing 'end')");
      return kw == "startup" ? StartUpLine(doc) : ObjectLine(doc);
    }
    return Fail("unknown keyword " + Describe(t));
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

  bool StartUpLine(Document& doc) {
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
    doc.startups.push_back(std::move(s));
    Open(Block::Startup);
    return true;
  }

  bool ObjectLine(Document& doc) {
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
    doc.objects.push_back(std::move(o));
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
  ParseError& err_;
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
    if (a.kind == tk_list) {
      out += a.elementKind == tk_octet ? std::string("octets") : std::string("list ") + ElementName(a.elementKind);
    } else {
      const char* name = "?";
      for (const auto& k : kScalarKinds)
        if (k.kind == a.kind) name = k.text;
      out += name;
    }
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

bool Parse(std::string_view text, const std::string& fileName, Document& out, ParseError& err) {
  try {
    Document doc;
    Parser p(fileName, err);
    if (!p.Run(text, doc)) return false;
    out = std::move(doc);
    return true;
  } catch (const std::exception& e) {
    err = ParseError{fileName, 0, std::string("cannot parse: ") + e.what()};
    return false;
  }
}

bool ParseFile(const std::string& path, Document& out, ParseError& err) {
  // stdio rather than streams: reading a directory or a failing device must show up as an error,
  // not as an empty document.
  std::FILE* f = std::fopen(path.c_str(), "rb");
  bool ok = f != nullptr;
  std::string text;
  try {
    char buf[65536];
    while (ok) {
      const std::size_t n = std::fread(buf, 1, sizeof buf, f);
      text.append(buf, n);
      if (n < sizeof buf) {
        ok = !std::ferror(f);
        break;
      }
    }
  } catch (const std::exception&) {
    ok = false;
  }
  if (f) std::fclose(f);
  if (!ok) {
    err = ParseError{path, 0, "cannot read the file"};
    return false;
  }
  return Parse(text, path, out, err);
}

std::string Write(const Document& doc) {
  std::string out;
  // Blank line between blocks, none at the end.
  auto open = [&out](const char* keyword) {
    if (!out.empty()) out += '\n';
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
  return out;
}

}  // namespace KroDoc
