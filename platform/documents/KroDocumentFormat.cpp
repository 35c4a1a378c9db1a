#include "KroDocumentFormat.h"

#include <array>
#include <charconv>
#include <cstring>
#include <unordered_map>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace KroDoc {

namespace {

const char* ElementName(TCKind k) {
  for (const auto& e : kElementKinds)
    if (e.kind == k) return e.text;
  return "?";
}

// Length of the well-formed UTF-8 sequence at s[i], or 0. Valid sequences are kept as they are so
// that non-ASCII text stays readable; anything else is escaped byte by byte.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
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

// Printable ASCII other than the quote and the backslash: written as it is.
constexpr std::array<bool, 256> kPlain = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x7f; ++c) plain[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
  return plain;
}();

// Runs of plain ASCII go out in one append; only bytes that need an escape are looked at one by one.
// Most texts need none, and go out with their quotes in one step.
void PutString(std::string& out, std::string_view s) {
  static const char digits[] = "0123456789abcdef";
  std::size_t first = 0;
  while (first < s.size() && kPlain[static_cast<unsigned char>(s[first])]) ++first;
  if (first == s.size()) {
    const std::size_t at = out.size();
    out.resize(at + s.size() + 2);
    char* p = out.data() + at;
    p[0] = '"';
    if (!s.empty()) std::memcpy(p + 1, s.data(), s.size());
    p[s.size() + 1] = '"';
    return;
  }
  out += '"';
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t plain = i;
    while (plain < s.size()) {
      const unsigned char c = static_cast<unsigned char>(s[plain]);
      if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') break;
      ++plain;
    }
    out.append(s.data() + i, plain - i);
    i = plain;
    if (i == s.size()) break;
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (const std::size_t n = c >= 0x80 ? Utf8Length(s, i) : 0) {
      out.append(s.data() + i, n);
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

void PutElement(std::string& out, std::int32_t v) { Text::Integer(out, v); }
void PutElement(std::string& out, bool v) { out += v ? "true" : "false"; }
void PutElement(std::string& out, const std::string& v) { PutString(out, v); }
void PutElement(std::string& out, const Ref& v) { Text::Reference(out, v.id); }
void PutElement(std::string& out, double v) { Text::Number(out, v); }
void PutElement(std::string& out, const std::vector<unsigned char>& v) { Text::Octets(out, v.data(), v.size()); }
template <typename T>
void PutElement(std::string& out, const std::vector<T>& v) {
  out += '[';
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i) out += ", ";
    PutElement(out, v[i]);
  }
  out += ']';
}

void PutAttribute(std::string& out, const Attribute& a, const char* lead) {
  out += lead;
  PutString(out, a.name);
  out += ' ';
  out += KindWords(a.kind, a.elementKind);
  if (!std::holds_alternative<std::monostate>(a.value)) {
    out += " = ";
    Text::Value(out, a.value);
  }
}

// References renumbered to the objects' positions.
void Renumber(Value& value, const std::unordered_map<int, int>& ids) {
  auto renumber = [&](Ref& r) {
    const auto it = ids.find(r.id);
    if (it != ids.end()) r.id = it->second;
  };
  if (auto* ref = std::get_if<Ref>(&value)) {
    renumber(*ref);
  } else if (auto* refs = std::get_if<std::vector<Ref>>(&value)) {
    for (Ref& r : *refs)
      if (r.id) renumber(r);
  }
}

// One object line: the startup's number and a value (or "-" for unset, "absent") for each of its
// attributes in its order, then the object's other attributes with their names and kinds. Without a
// startup block, "of" and the name, and every attribute named.
void PutObject(std::string& out, const Object& o, const StartUp* s, std::size_t number) {
  if (s) {
    Text::Integer(out, static_cast<std::int32_t>(number));
  } else {
    out += "of ";
    PutString(out, o.startup);
  }
  if (!o.name.empty()) {
    out += " name ";
    PutString(out, o.name);
  }
  if (!o.lateType.empty() && (s ? o.lateType != s->type : true)) {
    out += " type ";
    PutString(out, o.lateType);
  }
  std::vector<char> used(o.attributes.size(), 0);
  if (s) {
    std::size_t hint = 0;
    for (const Attribute& declared : s->attributes) {
      std::size_t found = o.attributes.size();
      for (std::size_t n = 0; n < o.attributes.size() && found == o.attributes.size(); ++n) {
        const std::size_t k = (hint + n) % o.attributes.size();
        const Attribute& a = o.attributes[k];
        if (!used[k] && a.name == declared.name && a.kind == declared.kind && a.elementKind == declared.elementKind)
          found = k;
      }
      if (found == o.attributes.size()) {
        out += " absent";
        continue;
      }
      used[found] = 1;
      hint = found + 1;
      out += ' ';
      if (std::holds_alternative<std::monostate>(o.attributes[found].value))
        out += '-';
      else
        Text::Value(out, o.attributes[found].value);
    }
  }
  for (std::size_t k = 0; k < o.attributes.size(); ++k)
    if (!used[k]) PutAttribute(out, o.attributes[k], " ");
  out += '\n';
}

}  // namespace

std::string ParseError::what() const {
  if (line == 0) return file + ": " + message;
  return file + ":" + std::to_string(line) + ": " + message;
}

namespace {

// Eight bytes a step (slicing by eight), on the checksum's own inverted form.
std::uint32_t Crc32Tables(std::uint32_t crc, const unsigned char* p, std::size_t n) {
  static const auto tables = [] {
    std::array<std::array<std::uint32_t, 256>, 8> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][i] = c;
    }
    for (std::size_t n = 1; n < 8; ++n)
      for (std::uint32_t i = 0; i < 256; ++i) t[n][i] = (t[n - 1][i] >> 8) ^ t[0][t[n - 1][i] & 0xFF];
    return t;
  }();
  for (; n >= 8; n -= 8, p += 8) {
    const std::uint32_t lo = crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                    std::uint32_t{p[3]} << 24);
    crc = tables[7][lo & 0xFF] ^ tables[6][(lo >> 8) & 0xFF] ^ tables[5][(lo >> 16) & 0xFF] ^ tables[4][lo >> 24] ^
          tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]] ^ tables[0][p[7]];
  }
  for (; n; --n, ++p) crc = tables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
  return crc;
}

#if defined(__x86_64__)
// Carry-less multiplication folds 64 bytes a step into four 128-bit lanes, then into one, and a Barrett
// reduction gives the 32-bit remainder ("Fast CRC Computation for Generic Polynomials Using PCLMULQDQ
// Instruction", Gopal et al., 2009, with the constants of the bit-reflected polynomial 0x04C11DB7).
// n is at least 64 and a multiple of 16; works on the inverted form, as the tables do.
#define KRO_FOLDING __attribute__((target("pclmul,sse4.1")))
KRO_FOLDING inline __m128i Load16(const unsigned char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}
// x times the two constants of k, added to the next 128 bits.
KRO_FOLDING inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), _mm_clmulepi64_si128(x, k, 0x00)), next);
}
KRO_FOLDING std::uint32_t Crc32Folded(std::uint32_t crc, const unsigned char* p, std::size_t n) {
  const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
  const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
  const __m128i k5k0 = _mm_set_epi64x(0, 0x0163cd6124);
  const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
  __m128i x1 = _mm_xor_si128(Load16(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = Load16(p + 16), x3 = Load16(p + 32), x4 = Load16(p + 48);
  p += 64;
  n -= 64;
  for (; n >= 64; p += 64, n -= 64) {
    x1 = Fold(x1, k1k2, Load16(p));
    x2 = Fold(x2, k1k2, Load16(p + 16));
    x3 = Fold(x3, k1k2, Load16(p + 32));
    x4 = Fold(x4, k1k2, Load16(p + 48));
  }
  x1 = Fold(x1, k3k4, x2);
  x1 = Fold(x1, k3k4, x3);
  x1 = Fold(x1, k3k4, x4);
  for (; n >= 16; p += 16, n -= 16) x1 = Fold(x1, k3k4, Load16(p));
  // 128 bits to 64, then the Barrett reduction to 32.
  const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5k0, 0x00), _mm_srli_si128(x1, 4));
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
  return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

#undef KRO_FOLDING

bool CanFold() {
  static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
  return can;
}
#endif

}  // namespace

// The checksum runs over every byte read and written: long pieces are folded with carry-less
// multiplication where the processor has it, the rest goes through tables.
std::uint32_t Crc32(std::uint32_t crc, std::string_view bytes) {
  crc = ~crc;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
#if defined(__x86_64__)
  if (n >= 64 && CanFold()) {
    const std::size_t folded = n & ~std::size_t{15};
    crc = Crc32Folded(crc, p, folded);
    p += folded;
    n -= folded;
  }
#endif
  return ~Crc32Tables(crc, p, n);
}

// The table form alone, for tests that compare both.
std::uint32_t Crc32ByTables(std::uint32_t crc, std::string_view bytes) {
  return ~Crc32Tables(~crc, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

namespace Text {

void Header(std::string& out, const std::vector<Ref>& roots) {
  out += "document version ";
  Integer(out, kFormatVersion);
  if (!roots.empty()) {
    out += " roots ";
    PutElement(out, roots);
  }
  out += '\n';
}

void StartUpBlock(std::string& out, std::size_t number, const StartUp& s) {
  out += "\nstartup ";
  Integer(out, static_cast<std::int32_t>(number));
  out += ' ';
  PutString(out, s.name);
  out += " type ";
  PutString(out, s.type);
  if (!s.base.empty()) {
    out += " base ";
    PutString(out, s.base);
  }
  out += '\n';
  for (const Attribute& a : s.attributes) {
    PutAttribute(out, a, "  attribute ");
    out += '\n';
  }
  out += "end\n";
}

void String(std::string& out, std::string_view text) { PutString(out, text); }

void Integer(std::string& out, std::int32_t value) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

void Number(std::string& out, double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

void Octets(std::string& out, const unsigned char* data, std::size_t size) {
  // Both digits of every byte value, looked up at once.
  static constexpr std::array<char, 512> pairs = [] {
    std::array<char, 512> t{};
    const char digits[] = "0123456789abcdef";
    for (std::size_t b = 0; b < 256; ++b) {
      t[2 * b] = digits[b >> 4];
      t[2 * b + 1] = digits[b & 15];
    }
    return t;
  }();
  const std::size_t at = out.size();
  out.resize(at + 3 + 2 * size);
  char* p = out.data() + at;
  *p++ = 'x';
  *p++ = '"';
  for (std::size_t i = 0; i < size; ++i, p += 2) std::memcpy(p, &pairs[2 * std::size_t{data[i]}], 2);
  *p = '"';
}

void Reference(std::string& out, int id) {
  if (!id) {
    out += "null";
    return;
  }
  out += '@';
  Integer(out, id);
}

void Value(std::string& out, const KroDoc::Value& value) {
  std::visit(
      [&](const auto& v) {
        if constexpr (!std::is_same_v<std::decay_t<decltype(v)>, std::monostate>) PutElement(out, v);
      },
      value);
}

void ObjectLine(std::string& out, const Object& object, const StartUp* startUp, std::size_t number) {
  PutObject(out, object, number ? startUp : nullptr, number);
}

void Trailer(std::string& out, std::size_t objects, std::uint32_t crc) {
  out += "trailer objects " + std::to_string(objects) + " checksum ";
  static const char digits[] = "0123456789abcdef";
  for (int shift = 28; shift >= 0; shift -= 4) out += digits[(crc >> shift) & 15];
  out += '\n';
}

}  // namespace Text

bool Sink::OnRecord(Record& r, ParseError& err) {
  Object o;
  o.id = r.id;
  o.line = r.line;
  o.startup = r.startUp ? r.startUp->name : r.startUpName;
  o.name = r.name;
  o.lateType = r.hasLateType ? r.lateType : r.startUp ? r.startUp->type : std::string();
  if (r.startUp)
    for (std::size_t i = 0; i < r.startUp->attributes.size(); ++i) {
      if (r.absent[i]) continue;
      const Attribute& declared = r.startUp->attributes[i];
      o.attributes.push_back(Attribute{declared.name, declared.kind, declared.elementKind, r.values[i], r.line});
    }
  for (Attribute& a : r.extras) o.attributes.push_back(std::move(a));
  r.extras.clear();
  return OnObject(std::move(o), err);
}

std::string Write(const Document& doc) {
  std::string out;
  std::unordered_map<int, int> ids;
  for (std::size_t i = 0; i < doc.objects.size(); ++i) ids.emplace(doc.objects[i].id, static_cast<int>(i) + 1);
  std::vector<Ref> roots = doc.roots;
  for (Ref& r : roots)
    if (const auto it = ids.find(r.id); it != ids.end()) r.id = it->second;
  Text::Header(out, roots);
  std::unordered_map<std::string_view, std::size_t> numbers;
  for (std::size_t i = 0; i < doc.startups.size(); ++i) {
    numbers.emplace(doc.startups[i].name, i + 1);
    Text::StartUpBlock(out, i + 1, doc.startups[i]);
  }
  out += '\n';
  for (Object o : doc.objects) {
    for (Attribute& a : o.attributes) Renumber(a.value, ids);
    const auto number = numbers.find(o.startup);
    if (number == numbers.end())
      PutObject(out, o, nullptr, 0);
    else
      PutObject(out, o, &doc.startups[number->second - 1], number->second);
  }
  out += '\n';
  // The checksum covers every byte before the trailer line.
  Text::Trailer(out, doc.objects.size(), Crc32(0, out));
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
  PutString(out, text);
  return out;
}

}  // namespace KroDoc
