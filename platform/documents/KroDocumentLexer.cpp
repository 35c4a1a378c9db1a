#include "KroDocumentLexer.h"

#include <charconv>

namespace KroDoc {

namespace {

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

}  // namespace

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

}  // namespace KroDoc
