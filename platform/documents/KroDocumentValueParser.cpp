#include "KroDocumentValueParser.h"

#include <type_traits>

namespace KroDoc {

ValueParser::ValueParser(const std::vector<Token>& toks, std::size_t& at, int line, bool referencesAllowed,
                         std::vector<std::pair<int, int>>& refs)
    : m_toks(toks), m_at(at), m_line(line), m_referencesAllowed(referencesAllowed), m_refs(refs) {}

const Token* ValueParser::Peek() const { return m_at < m_toks.size() ? &m_toks[m_at] : nullptr; }
const Token* ValueParser::Next() { return m_at < m_toks.size() ? &m_toks[m_at++] : nullptr; }

bool ValueParser::Fail(std::string message) {
  m_message = std::move(message);
  return false;
}

bool ValueParser::Kind(Attribute& a) {
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
bool ValueParser::Element(const std::string& attr, T& out) {
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
    if (m_inList && t && t->type == Tok::Word && t->text == "null") {
      out.id = 0;  // a null element of a list
      return true;
    }
    if (!t || t->type != Tok::Word || t->text.size() < 2 || t->text[0] != '@' ||
        !IsDigit(static_cast<unsigned char>(t->text[1])))
      return expected("a reference @id");
    if (!m_referencesAllowed)
      return Fail("startup attribute " + Q(attr) + " cannot hold a reference; startups hold only plain values");
    std::int32_t id = 0;
    if (!ToInt(t->text.substr(1), id, msg)) return Fail("attribute " + Q(attr) + ": bad reference: " + msg);
    out.id = id;
    m_refs.emplace_back(id, m_line);
  }
  return true;
}

template <typename T>
bool ValueParser::Scalar(Attribute& a) {
  T v{};
  if (!Element(a.name, v)) return false;
  a.value = std::move(v);
  return true;
}

template <typename T>
bool ValueParser::List(Attribute& a) {
  const Token* t = Next();
  if (!t || t->type != Tok::LBracket)
    return Fail("attribute " + Q(a.name) + ": expected '[' to start a list, found " + Describe(t));
  std::vector<T> items;
  if (Peek() && Peek()->type == Tok::RBracket) {
    ++m_at;
  } else {
    for (;;) {
      T v{};
      m_inList = true;
      const bool read = Element(a.name, v);
      m_inList = false;
      if (!read) return false;
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

bool ValueParser::Value(Attribute& a) {
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

bool ValueParser::References(Attribute& a) { return List<Ref>(a); }

}  // namespace KroDoc
