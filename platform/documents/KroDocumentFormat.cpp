#include "KroDocumentFormat.h"

#include <array>
#include <charconv>

namespace KroDoc {

namespace {

const char* ElementName(TCKind k) {
  for (const auto& e : kElementKinds)
    if (e.kind == k) return e.text;
  return "?";
}

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
  if (!v.id) {
    out += "null";
    return;
  }
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
