// An attribute's kind words and value, read from the tokens of its line. Internal to the reader.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "KroDocumentFormat.h"
#include "KroDocumentLexer.h"

namespace KroDoc {

class ValueParser {
 public:
  // Reads toks from `at`, which it advances. Each reference read is added to refs as (id, line); when
  // references are not allowed (a startup's attributes), one is an error.
  ValueParser(const std::vector<Token>& toks, std::size_t& at, int line, bool referencesAllowed,
              std::vector<std::pair<int, int>>& refs);

  // Each false with message() saying what was wrong.
  bool Kind(Attribute& a);
  bool Value(Attribute& a);       // of a's kind
  bool References(Attribute& a);  // a list of references, whatever a's kind
  const std::string& message() const { return m_message; }

 private:
  const Token* Peek() const;
  const Token* Next();
  bool Fail(std::string message);
  template <typename T>
  bool Element(const std::string& attr, T& out);
  template <typename T>
  bool Scalar(Attribute& a);
  template <typename T>
  bool List(Attribute& a);

  const std::vector<Token>& m_toks;
  std::size_t& m_at;
  int m_line;
  bool m_referencesAllowed;
  bool m_inList = false;  // a list of references may hold null elements
  std::vector<std::pair<int, int>>& m_refs;
  std::string m_message;
};

}  // namespace KroDoc
