// Lexing the document format: every statement is one line, so each line is turned into tokens on its
// own. Internal to the reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace KroDoc {

enum class Tok { Word, String, Octets, LBracket, RBracket, Comma, Equals };

struct Token {
  Tok type;
  std::string text;  // word text, decoded string bytes, or decoded octets
};

inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// A string or octets token from line[i] (the opening quote) on, decoded and appended to `out`; on
// success `i` is just past the closing quote.
bool LexString(std::string_view line, std::size_t& i, std::string& out, std::string& msg);
bool LexOctets(std::string_view line, std::size_t& i, std::string& out, std::string& msg);
// A byte as messages name it.
std::string ByteText(unsigned char c);

// The tokens of one line; false with `msg` set at the first malformed token.
bool Tokenize(std::string_view line, std::vector<Token>& toks, std::string& msg);

// A token as messages name it ("end of line" for none).
std::string Describe(const Token* t);

// Quoted form of a name for messages.
std::string Q(const std::string& s);

// Whole-token conversions; false with `msg` set when the token is not entirely a number.
bool ToInt(const std::string& text, std::int32_t& v, std::string& msg);
bool ToDouble(const std::string& text, double& v, std::string& msg);

}  // namespace KroDoc
