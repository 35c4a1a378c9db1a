// One object line of format version 2, read straight from the text: no tokens are made, and the values
// go into the record's slots by the startup's order. Internal to the reader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "KroDocumentFormat.h"

namespace KroDoc {

class RecordParser {
 public:
  // Each reference read is added to refs as (id, line).
  explicit RecordParser(std::vector<std::pair<int, int>>& refs) : m_refs(refs) {}

  // `line` without its terminator; `startUps` are the startup blocks read so far, numbered from 1.
  // Fills `out` (keeping what its strings have grown to); false with message() saying what was wrong.
  bool Parse(std::string_view line, int lineNumber, const std::vector<StartUp>& startUps, Record& out);
  const std::string& message() const { return m_message; }

 private:
  bool Fail(std::string message);
  // What the next token is, for messages.
  std::string Found();
  void SkipBlanks();
  bool AtEnd();
  // The next word (letters, digits, and _ . + - @), or an empty view.
  std::string_view Word();
  bool Keyword(std::string_view word);
  bool QuotedString(std::string& out, const char* what);
  bool Kind(Attribute& a);
  static bool Taken(const Record& out, const std::string& name);
  // A value of the attribute's kind; `declared` names it in messages.
  bool Value(const Attribute& declared, KroDoc::Value& out);
  template <typename T>
  bool Element(const std::string& name, T& out);
  template <typename T>
  bool List(const std::string& name, KroDoc::Value& out);

  std::vector<std::pair<int, int>>& m_refs;
  std::string_view m_line;
  std::size_t m_at = 0;
  int m_lineNumber = 0;
  bool m_inList = false;
  std::string m_message;
};

}  // namespace KroDoc
