// Reading the document format: a reader fed text in pieces, and whole-text parsing.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KroDocumentFormat.h"

namespace KroDoc {

class Parser;

// Reads document text fed in pieces of any size. A text whose first statement is a header line
// ("document version N") must end with the trailer line ("trailer objects N checksum C"), whose
// object count and CRC-32 of every byte before it must match: a truncated or altered document fails.
class Reader {
 public:
  Reader(std::string fileName, Sink& sink, ParseError& err);
  ~Reader();
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // False at the first problem; err then describes it and the reader takes no more input.
  bool Feed(std::string_view bytes);
  // The end of the text: checks what can only be checked once everything has been read.
  bool Finish();
  // Valid after a successful Finish.
  int Version() const;
  const std::vector<Ref>& Roots() const;

 private:
  std::string m_file;
  ParseError& m_err;
  std::unique_ptr<Parser> m_parser;
  std::string m_partial;  // a line not yet ended
  std::uint32_t m_crc = 0;
  bool m_failed = false;
};

}  // namespace KroDoc
