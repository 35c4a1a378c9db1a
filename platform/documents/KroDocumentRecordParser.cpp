#include "KroDocumentRecordParser.h"

#include <algorithm>
#include <charconv>
#include <type_traits>

#include "KroDocumentLexer.h"
#include "KroDocumentValueParser.h"

namespace KroDoc {

namespace {

bool IsWordChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_' || c == '.' || c == '+' ||
         c == '-' || c == '@';
}

int Hex(unsigned char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The alternative T of `value`, emptied but keeping what it had grown to when it already held one.
template <typename T>
T& Reuse(Value& value) {
  if (T* held = std::get_if<T>(&value)) {
    if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::vector<unsigned char>>) held->clear();
    return *held;
  }
  return value.emplace<T>();
}

}  // namespace

bool RecordParser::Fail(std::string message) {
  m_message = std::move(message);
  return false;
}

void RecordParser::SkipBlanks() {
  while (m_at < m_line.size() && (m_line[m_at] == ' ' || m_line[m_at] == '\t')) ++m_at;
}

bool RecordParser::AtEnd() {
  SkipBlanks();
  return m_at >= m_line.size() || m_line[m_at] == '#';
}

std::string_view RecordParser::Word() {
  SkipBlanks();
  const std::size_t start = m_at;
  while (m_at < m_line.size() && IsWordChar(static_cast<unsigned char>(m_line[m_at]))) ++m_at;
  return m_line.substr(start, m_at - start);
}

bool RecordParser::Keyword(std::string_view word) {
  SkipBlanks();
  const std::size_t end = m_at + word.size();
  if (m_line.substr(m_at, word.size()) != word ||
      (end < m_line.size() && IsWordChar(static_cast<unsigned char>(m_line[end]))))
    return false;
  m_at = end;
  return true;
}

std::string RecordParser::Found() {
  if (AtEnd()) return "end of line";
  const unsigned char c = static_cast<unsigned char>(m_line[m_at]);
  if (c == '"') return "a string";
  if (c == 'x' && m_at + 1 < m_line.size() && m_line[m_at + 1] == '"') return "octets";
  if (c == '[' || c == ']' || c == ',' || c == '=') return std::string("'") + static_cast<char>(c) + "'";
  if (IsWordChar(c)) {
    std::size_t end = m_at;
    while (end < m_line.size() && IsWordChar(static_cast<unsigned char>(m_line[end]))) ++end;
    const std::string_view w = m_line.substr(m_at, std::min<std::size_t>(end - m_at, 40));
    return "'" + std::string(w) + (end - m_at > 40 ? "...'" : "'");
  }
  return ByteText(c);
}

bool RecordParser::QuotedString(std::string& out, const char* what) {
  SkipBlanks();
  if (m_at >= m_line.size() || m_line[m_at] != '"') return Fail(std::string("expected ") + what + ", found " + Found());
  // Most strings have no escape: one append.
  const std::size_t start = m_at + 1;
  std::size_t end = start;
  while (end < m_line.size()) {
    const unsigned char c = static_cast<unsigned char>(m_line[end]);
    if (c == '"' || c == '\\' || (c < 0x20 && c != '\t')) break;
    ++end;
  }
  if (end < m_line.size() && m_line[end] == '"') {
    out.append(m_line.data() + start, end - start);
    m_at = end + 1;
    return true;
  }
  std::string msg;
  if (!LexString(m_line, m_at, out, msg)) return Fail(msg);
  return true;
}

bool RecordParser::Kind(Attribute& a) {
  const std::string_view word = Word();
  if (word == "octets") {
    a.kind = tk_list;
    a.elementKind = tk_octet;
    return true;
  }
  if (word == "list") {
    const std::string_view element = Word();
    for (const auto& k : kElementKinds)
      if (element == k.text) {
        a.kind = tk_list;
        a.elementKind = k.kind;
        return true;
      }
    return Fail(element.empty() ? "'list' needs an element kind, found " + Found()
                                : "unknown list element kind '" + std::string(element) + "'");
  }
  for (const auto& k : kScalarKinds)
    if (word == k.text) {
      a.kind = k.kind;
      return true;
    }
  return Fail(word.empty() ? "expected a kind, found " + Found() : "unknown kind '" + std::string(word) + "'");
}

template <typename T>
bool RecordParser::Element(const std::string& name, T& out) {
  SkipBlanks();
  const std::size_t start = m_at;
  auto expected = [&](const char* what) {
    m_at = start;
    return Fail("attribute " + Q(name) + ": expected " + what + ", found " + Found());
  };
  if constexpr (std::is_same_v<T, std::int32_t> || std::is_same_v<T, double>) {
    const std::string_view word = Word();
    if (word.empty()) return expected(std::is_same_v<T, double> ? "a number" : "an integer");
    std::string msg;
    const std::string text(word);
    bool ok;
    if constexpr (std::is_same_v<T, double>)
      ok = ToDouble(text, out, msg);
    else
      ok = ToInt(text, out, msg);
    if (!ok) return Fail("attribute " + Q(name) + ": " + msg);
  } else if constexpr (std::is_same_v<T, bool>) {
    const std::string_view word = Word();
    if (word != "true" && word != "false") return expected("true or false");
    out = word == "true";
  } else if constexpr (std::is_same_v<T, std::string>) {
    if (m_at >= m_line.size() || m_line[m_at] != '"') return expected("a string");
    return QuotedString(out, "a string");
  } else if constexpr (std::is_same_v<T, std::vector<unsigned char>>) {
    if (m_at + 1 >= m_line.size() || m_line[m_at] != 'x' || m_line[m_at + 1] != '"')
      return expected("octets x\"...\"");
    std::size_t i = m_at + 2;
    for (; i < m_line.size() && m_line[i] != '"'; i += 2) {
      const int hi = Hex(static_cast<unsigned char>(m_line[i]));
      const int lo = i + 1 < m_line.size() ? Hex(static_cast<unsigned char>(m_line[i + 1])) : -1;
      if (hi < 0 || lo < 0) {
        // The lexer says exactly what is wrong.
        std::string ignored, msg;
        std::size_t at = m_at + 1;
        LexOctets(m_line, at, ignored, msg);
        return Fail(msg.empty() ? "bad octets" : msg);
      }
      out.push_back(static_cast<unsigned char>(hi * 16 + lo));
    }
    if (i >= m_line.size()) return Fail("unterminated octets");
    m_at = i + 1;
  } else {
    static_assert(std::is_same_v<T, Ref>);
    const std::string_view word = Word();
    if (m_inList && word == "null") {
      out.id = 0;
      return true;
    }
    if (word.size() < 2 || word[0] != '@' || !IsDigit(static_cast<unsigned char>(word[1])))
      return expected("a reference @id");
    std::string msg;
    std::int32_t id = 0;
    if (!ToInt(std::string(word.substr(1)), id, msg)) return Fail("attribute " + Q(name) + ": bad reference: " + msg);
    out.id = id;
    m_refs.emplace_back(id, m_lineNumber);
  }
  return true;
}

template <typename T>
bool RecordParser::List(const std::string& name, KroDoc::Value& out) {
  SkipBlanks();
  if (m_at >= m_line.size() || m_line[m_at] != '[')
    return Fail("attribute " + Q(name) + ": expected '[' to start a list, found " + Found());
  ++m_at;
  std::vector<T>& items = Reuse<std::vector<T>>(out);
  items.clear();
  SkipBlanks();
  if (m_at < m_line.size() && m_line[m_at] == ']') {
    ++m_at;
    return true;
  }
  for (;;) {
    T v{};
    m_inList = true;
    const bool read = Element(name, v);
    m_inList = false;
    if (!read) return false;
    items.push_back(std::move(v));
    SkipBlanks();
    const char sep = m_at < m_line.size() ? m_line[m_at] : '\0';
    if (sep == ']' || sep == ',') ++m_at;
    if (sep == ']') return true;
    if (sep != ',') return Fail("attribute " + Q(name) + ": expected ',' or ']' in list, found " + Found());
  }
}

bool RecordParser::Value(const Attribute& declared, KroDoc::Value& out) {
  const std::string& name = declared.name;
  if (declared.kind == tk_list) {
    switch (declared.elementKind) {
      case tk_octet: return Element(name, Reuse<std::vector<unsigned char>>(out));
      case tk_long: return List<std::int32_t>(name, out);
      case tk_double: return List<double>(name, out);
      case tk_string: return List<std::string>(name, out);
      default: return List<Ref>(name, out);
    }
  }
  switch (declared.kind) {
    case tk_long: return Element(name, Reuse<std::int32_t>(out));
    case tk_double: return Element(name, Reuse<double>(out));
    case tk_boolean: return Element(name, Reuse<bool>(out));
    case tk_string: return Element(name, Reuse<std::string>(out));
    default: return Element(name, Reuse<Ref>(out));
  }
}

// A name already used on the line: by a present attribute of the startup or by an earlier extra. An
// absent one's name may come back with another kind.
bool RecordParser::Taken(const Record& out, const std::string& name) {
  if (out.startUp)
    for (std::size_t i = 0; i < out.startUp->attributes.size(); ++i)
      if (!out.absent[i] && out.startUp->attributes[i].name == name) return true;
  for (std::size_t i = 0; i + 1 < out.extras.size(); ++i)
    if (out.extras[i].name == name) return true;
  return false;
}

bool RecordParser::Parse(std::string_view line, int lineNumber, const std::vector<StartUp>& startUps, Record& out) {
  m_line = line;
  m_at = 0;
  m_lineNumber = lineNumber;
  out.line = lineNumber;
  out.startUp = nullptr;
  out.name.clear();
  out.lateType.clear();
  out.hasLateType = false;
  out.extras.clear();
  if (Keyword("of")) {
    out.startUpName.clear();
    if (!QuotedString(out.startUpName, "a startup name after 'of'")) return false;
    if (out.startUpName.empty()) return Fail("object " + std::to_string(out.id) + ": startup name after 'of' is empty");
  } else {
    const std::string_view word = Word();
    std::size_t number = 0;
    const auto r = std::from_chars(word.data(), word.data() + word.size(), number);
    if (word.empty() || r.ptr != word.data() + word.size() || r.ec != std::errc() || number == 0 ||
        number > startUps.size())
      return Fail("object " + std::to_string(out.id) + ": '" + std::string(word.substr(0, 40)) +
                  "' is not the number of a startup defined earlier (" + std::to_string(startUps.size()) +
                  " so far)");
    out.startUpIndex = number - 1;
    out.startUp = &startUps[number - 1];
  }
  bool named = false, typed = false;
  for (;;) {
    if (Keyword("name")) {
      if (named) return Fail("'name' given twice");
      named = true;
      if (!QuotedString(out.name, "a name")) return false;
    } else if (Keyword("type")) {
      if (typed) return Fail("'type' given twice");
      typed = true;
      out.hasLateType = true;
      if (!QuotedString(out.lateType, "a type")) return false;
    } else {
      break;
    }
  }
  if (out.startUp) {
    const std::vector<Attribute>& declared = out.startUp->attributes;
    out.values.resize(declared.size());
    out.absent.assign(declared.size(), 0);
    for (std::size_t i = 0; i < declared.size(); ++i) {
      if (AtEnd())
        return Fail("object " + std::to_string(out.id) + " has " + std::to_string(i) + " values, its startup " +
                    Q(out.startUp->name) + " declares " + std::to_string(declared.size()) + " attributes");
      if (Keyword("-")) {
        out.values[i] = std::monostate{};
      } else if (Keyword("absent")) {
        out.absent[i] = 1;
        continue;
      } else if (!Value(declared[i], out.values[i])) {
        return false;
      }
    }
  }
  // Attributes beyond the startup's: "name" kind [= value].
  while (!AtEnd()) {
    Attribute& a = out.extras.emplace_back();
    a.line = lineNumber;
    if (!QuotedString(a.name, "an attribute name")) return false;
    if (a.name.empty()) return Fail("attribute name is empty");
    if (a.name.find('\0') != std::string::npos) return Fail("attribute name " + Q(a.name) + " contains a NUL byte");
    if (Taken(out, a.name)) return Fail("duplicate attribute " + Q(a.name));
    if (!Kind(a)) return false;
    SkipBlanks();
    if (m_at < m_line.size() && m_line[m_at] == '=') {
      ++m_at;
      if (AtEnd()) return Fail("missing value after '='");
      if (!Value(a, a.value)) return false;
    }
  }
  return true;
}

}  // namespace KroDoc
