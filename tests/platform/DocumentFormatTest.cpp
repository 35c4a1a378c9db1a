#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

#include "KroDocumentFile.h"
#include "KroDocumentFormat.h"

using namespace KroDoc;

namespace {

Attribute A(std::string name, TCKind kind, TCKind element, Value v = {}) {
  return Attribute{std::move(name), kind, element, std::move(v), 0};
}

// A document touching every kind, value form and awkward string.
Document Everything() {
  std::string allBytes;
  for (int c = 0; c < 256; ++c) allBytes += static_cast<char>(c);
  std::vector<unsigned char> allOctets(allBytes.begin(), allBytes.end());
  const double inf = std::numeric_limits<double>::infinity();

  StartUp base{"Base \"quoted\"", "BaseType", "", {}, 0};
  for (TCKind k : {tk_long, tk_double, tk_boolean, tk_string, tk_specobject})
    base.attributes.push_back(A("unset" + std::to_string(k), k, tk_null));
  for (TCKind k : {tk_octet, tk_long, tk_double, tk_string, tk_specobject})
    base.attributes.push_back(A("unsetList" + std::to_string(k), tk_list, k));
  base.attributes.push_back(A("ints", tk_list, tk_long, std::vector<std::int32_t>{}));
  base.attributes.push_back(A("doubles", tk_list, tk_double, std::vector<double>{}));
  base.attributes.push_back(A("strings", tk_list, tk_string, std::vector<std::string>{}));
  base.attributes.push_back(A("refs", tk_list, tk_specobject, std::vector<Ref>{}));
  base.attributes.push_back(A("noOctets", tk_list, tk_octet, std::vector<unsigned char>{}));

  StartUp derived{"Derived", "", "Base \"quoted\"", {}, 0};
  derived.attributes = {
      A("min", tk_long, tk_null, std::numeric_limits<std::int32_t>::min()),
      A("max", tk_long, tk_null, std::numeric_limits<std::int32_t>::max()),
      A("minusOne", tk_long, tk_null, -1),
      A("tenth", tk_double, tk_null, 0.1),
      A("huge", tk_double, tk_null, 1e300),
      A("negZero", tk_double, tk_null, -0.0),
      A("flag", tk_boolean, tk_null, false),
      A("text", tk_string, tk_null,
        std::string("q\"b\\s\nn\tt Gr\xc3\xbc\xc3\x9f"
                    "e \xff\xc3 end")),
      A("bytes", tk_string, tk_null, allBytes),
      A("empty", tk_string, tk_null, std::string()),
      A("octets", tk_list, tk_octet, allOctets),
      A("ranks", tk_list, tk_long, std::vector<std::int32_t>{1, -2, std::numeric_limits<std::int32_t>::min()}),
      A("ratios", tk_list, tk_double, std::vector<double>{1.0 / 3, 5e-324, inf, -inf, -1e-300}),
      A("names", tk_list, tk_string, std::vector<std::string>{"a", "", "b, c]", allBytes}),
  };

  // As a document reads back: its objects numbered in order, each object's attributes in its startup's
  // order, then its own (one of them a name the startup gives another kind).
  Object o1{1, "Derived", "", "Late\\Type", {}, 0};
  o1.attributes = {A("min", tk_long, tk_null),
                   A("flag", tk_boolean, tk_null, true),
                   A("self", tk_specobject, tk_null, Ref{1}),
                   A("others", tk_list, tk_specobject, std::vector<Ref>{Ref{2}, Ref{1}}),
                   A("tenth", tk_string, tk_null, std::string("own kind"))};
  Object o2{2, "FromAnotherCatalog", "n\x01", "", {}, 0};
  o2.attributes = {A("note", tk_list, tk_string, std::vector<std::string>{"x"})};
  return Document{{base, derived}, {o1, o2}, 0, {}};
}

void ExpectSameAttributes(const std::vector<Attribute>& a, const std::vector<Attribute>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(a[i].name);
    EXPECT_EQ(a[i].name, b[i].name);
    EXPECT_EQ(a[i].kind, b[i].kind);
    EXPECT_EQ(a[i].elementKind, b[i].elementKind);
    EXPECT_TRUE(a[i].value == b[i].value);
    if (auto* d = std::get_if<double>(&a[i].value)) {
      EXPECT_EQ(std::signbit(*d), std::signbit(std::get<double>(b[i].value)));
    }
  }
}

void ExpectSame(const Document& a, const Document& b) {
  ASSERT_EQ(a.startups.size(), b.startups.size());
  for (std::size_t i = 0; i < a.startups.size(); ++i) {
    EXPECT_EQ(a.startups[i].name, b.startups[i].name);
    EXPECT_EQ(a.startups[i].type, b.startups[i].type);
    EXPECT_EQ(a.startups[i].base, b.startups[i].base);
    ExpectSameAttributes(a.startups[i].attributes, b.startups[i].attributes);
  }
  ASSERT_EQ(a.objects.size(), b.objects.size());
  for (std::size_t i = 0; i < a.objects.size(); ++i) {
    EXPECT_EQ(a.objects[i].id, b.objects[i].id);
    EXPECT_EQ(a.objects[i].startup, b.objects[i].startup);
    EXPECT_EQ(a.objects[i].name, b.objects[i].name);
    EXPECT_EQ(a.objects[i].lateType, b.objects[i].lateType);
    ExpectSameAttributes(a.objects[i].attributes, b.objects[i].attributes);
  }
}

}  // namespace

TEST(DocumentFormat, WriteThenParseReproducesEveryKindAndValue) {
  const Document original = Everything();
  const std::string text = Write(original);
  Document parsed;
  ParseError err;
  ASSERT_TRUE(Parse(text, "rt.kro", parsed, err)) << err.what() << "\n" << text;
  ExpectSame(original, parsed);
  EXPECT_EQ(Write(parsed), text);
  // Valid UTF-8 stays readable; stray bytes are escaped; cfgso's listings quote through the same function.
  EXPECT_NE(text.find("Gr\xc3\xbc\xc3\x9f"
                      "e \\xff\\xc3 end"),
            std::string::npos);
  EXPECT_EQ(Quoted("Gr\xc3\xbc\xc3\x9f"
                   "e \xff\xc3 \"\\\n\x01"),
            "\"Gr\xc3\xbc\xc3\x9f"
            "e \\xff\\xc3 \\\"\\\\\\n\\x01\"");
  EXPECT_EQ(KindWords(tk_list, tk_octet), "octets");
  EXPECT_EQ(KindWords(tk_list, tk_string), "list string");
  EXPECT_EQ(KindWords(tk_specobject, tk_null), "specobject");
  EXPECT_EQ(KindWords(tk_list, tk_boolean), "list ?");
  // One line per object: the startup's number, a value or "-" (unset) or "absent" per startup
  // attribute, then the object's own attributes with their kinds; "of" for a startup not in the file.
  EXPECT_NE(text.find("\n2 type \"Late\\\\Type\" - absent absent absent absent absent true absent absent absent absent "
                      "absent absent absent \"self\" specobject = @1 \"others\" list specobject = [@2, @1] \"tenth\" "
                      "string = \"own kind\"\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nof \"FromAnotherCatalog\" name \"n\\x01\" \"note\" list string = [\"x\"]\n"), std::string::npos);
}

TEST(DocumentFormat, ObjectsAreNumberedInOrderWhenWritten) {
  Document original = Everything();
  // Ids as a hand-written document may give them.
  original.objects[0].id = 7;
  original.objects[1].id = 2147483647;
  original.objects[0].attributes[2].value = Ref{7};
  original.objects[0].attributes[3].value = std::vector<Ref>{Ref{2147483647}, Ref{7}};
  original.roots = {Ref{2147483647}, Ref{7}, Ref{7}};
  const std::string text = Write(original);
  EXPECT_EQ(text.rfind("document version 2 roots [@2, @1, @1]\n", 0), 0u);
  Document parsed;
  ParseError err;
  ASSERT_TRUE(Parse(text, "w.kro", parsed, err)) << err.what();
  Document expected = Everything();
  expected.roots = {Ref{2}, Ref{1}, Ref{1}};
  ExpectSame(expected, parsed);
  EXPECT_EQ(parsed.roots, expected.roots);
}

TEST(DocumentFormat, HeaderAndTrailerGuardWrittenDocuments) {
  Document original = Everything();
  original.roots = {Ref{2}, Ref{1}, Ref{1}};
  const std::string text = Write(original);
  EXPECT_EQ(text.rfind("document version 2 roots [@2, @1, @1]\n", 0), 0u);
  Document parsed;
  ParseError err;
  ASSERT_TRUE(Parse(text, "w.kro", parsed, err)) << err.what();
  EXPECT_EQ(parsed.version, kFormatVersion);
  EXPECT_EQ(parsed.roots, original.roots);
  // The trailer is the last line, over the CRC-32 of everything before it.
  const std::size_t trailer = text.rfind("trailer objects 2 checksum ");
  ASSERT_NE(trailer, std::string::npos);
  char expected[9];
  std::snprintf(expected, sizeof expected, "%08x", Crc32(0, std::string_view(text).substr(0, trailer)));
  EXPECT_EQ(text.substr(trailer + 27), std::string(expected) + "\n");
  EXPECT_EQ(Crc32(0, "123456789"), 0xCBF43926u);  // the standard check value

  const std::string body = text.substr(text.find('\n') + 1, trailer - text.find('\n') - 1);
  const std::string head = "document version 2\n";
  auto withTrailer = [](const std::string& before, int count) {
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", Crc32(0, before));
    return before + "trailer objects " + std::to_string(count) + " checksum " + crc + "\n";
  };
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  struct Case {
    std::string text;
    int line;
    const char* message;
  } cases[] = {
      {text.substr(0, trailer), lines - 1, "ends without its trailer line: the file is truncated"},
      {text + "\n", lines + 1, "text after the trailer line"},
      {withTrailer(head + body, 3), lines, "the trailer counts 3 objects, the document has 2"},
      {head + body + "trailer objects 2 checksum 0000000g\n", lines, "8 lower-case hex digits"},
      {head + body + "trailer objects 2 checksum ABCDEF01\n", lines, "8 lower-case hex digits"},
      {"startup \"A\"\nend\ntrailer objects 0 checksum 00000000\n", 3, "trailer line without a 'document' header"},
      {"startup \"A\"\nend\ndocument version 1\n", 3, "must be the first statement"},
      {"document version 3\n", 1, "format version 3 is newer than this reader's (2)"},
      {"document version 0\n", 1, "must be positive"},
      {"document 1\n", 1, "expected 'version'"},
      {"document version 1 roots [@4]\n" + std::string("\ntrailer objects 0 checksum 00000000\n"), 3, "checksum mismatch"},
      {withTrailer("document version 1 roots [@4]\n", 0), 1, "reference @4 to an object not defined"},
      {"document version 1 extra\n", 1, "unexpected 'extra'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Document doc;
    ASSERT_FALSE(Parse(c.text, "bad.kro", doc, err));
    EXPECT_EQ(err.line, c.line);
    EXPECT_NE(err.message.find(c.message), std::string::npos) << err.message;
  }
  // Numbered startups and object lines belong to version 2: without its header they are refused.
  ASSERT_FALSE(Parse(body, "hand.kro", parsed, err));
  EXPECT_NE(err.message.find("expected a startup name string"), std::string::npos) << err.message;
}

// Long pieces take a faster path than the tables where the processor allows: both agree on every
// length, alignment and starting value, and continuing a checksum piece by piece equals one pass.
TEST(DocumentFormat, ChecksumAgreesWithTheTablesWhateverTheLengthAndStart) {
  std::mt19937 random(7);
  std::string bytes(4200, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  const std::string_view all(bytes);
  for (std::size_t offset : {0u, 1u, 3u, 8u, 15u})
    for (std::size_t length = 0; length + offset <= all.size(); length += length < 300 ? 1 : 97) {
      const std::string_view piece = all.substr(offset, length);
      for (std::uint32_t start : {0u, 0xCBF43926u, 0xFFFFFFFFu})
        ASSERT_EQ(Crc32(start, piece), Crc32ByTables(start, piece)) << "offset " << offset << " length " << length;
    }
  EXPECT_EQ(Crc32ByTables(0, "123456789"), 0xCBF43926u);
  std::uint32_t pieceByPiece = 0;
  for (std::size_t at = 0; at < all.size(); at += 333) pieceByPiece = Crc32(pieceByPiece, all.substr(at, 333));
  EXPECT_EQ(pieceByPiece, Crc32ByTables(0, all));
}

TEST(DocumentFormat, MalformedObjectLinesReportLineAndReason) {
  const std::string H = "document version 2\n";
  const std::string S = "startup 1 \"S\" type \"S\"\n  attribute \"a\" integer\n  attribute \"b\" string\nend\n";
  auto sealed = [](const std::string& before, int count) {
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", Crc32(0, before));
    return before + "trailer objects " + std::to_string(count) + " checksum " + crc + "\n";
  };
  struct Case {
    std::string text;
    int line;
    const char* message;
  } cases[] = {
      {H + "startup \"S\"\nend\n", 2, "expected the startup's number 1"},
      {H + "startup 2 \"S\"\nend\n", 2, "expected the startup's number 1"},
      {H + S + "2 1 \"x\"\n", 6, "'2' is not the number of a startup defined earlier (1 so far)"},
      {H + S + "0 1 \"x\"\n", 6, "'0' is not the number"},
      {H + "1 1\n" + S, 2, "not the number of a startup defined earlier (0 so far)"},
      {H + S + "1 1\n", 6, "object 1 has 1 values, its startup \"S\" declares 2 attributes"},
      {H + S + "1 \"x\" 1\n", 6, "attribute \"a\": expected an integer, found a string"},
      {H + S + "1 1 2\n", 6, "attribute \"b\": expected a string, found '2'"},
      {H + S + "1 1 \"x\" 3\n", 6, "expected an attribute name, found '3'"},
      {H + S + "1 1 \"x\" \"b\" string\n", 6, "duplicate attribute \"b\""},
      {H + S + "1 1 \"x\" \"c\" string \"c\" integer\n", 6, "duplicate attribute \"c\""},
      {H + S + "1 1 \"x\" \"c\" float\n", 6, "unknown kind 'float'"},
      {H + S + "1 1 \"x\" \"c\" integer =\n", 6, "missing value after '='"},
      {H + S + "1 1 \"x\" \"\" integer\n", 6, "attribute name is empty"},
      {sealed(H + S + "1 1 \"x\" \"r\" specobject = @9\n", 1), 6, "reference @9 to an object not defined"},
      {H + S + "1 2147483648 \"x\"\n", 6, "out of range"},
      {H + S + "1 1 \"x\ny\"\n", 6, "unterminated string"},
      {H + S + "1 name \"n\" name \"m\" 1 \"x\"\n", 6, "'name' given twice"},
      {H + S + "of \"\"\n", 6, "startup name after 'of' is empty"},
      {H + S + "of 3\n", 6, "expected a startup name after 'of'"},
      {H + S + "object 1 of \"S\"\nend\n", 6, "there each object is one line"},
      {H + "startup 1 \"S\"\n  attribute \"o\" octets\nend\n1 x\"0g\"\n", 5, "bad hex digit 'g'"},
      {H + "startup 1 \"S\"\n  attribute \"o\" list integer\nend\n1 [1 2]\n", 5, "expected ',' or ']' in list"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Document doc;
    ParseError err;
    ASSERT_FALSE(Parse(c.text, "bad.kro", doc, err));
    EXPECT_EQ(err.line, c.line);
    EXPECT_NE(err.message.find(c.message), std::string::npos) << err.message;
  }
  // Hand-edited lines may have comments, tabs and any spacing.
  Document doc;
  ParseError err;
  ASSERT_TRUE(Parse(sealed(H + S + "\t1   -7\t\"x # y\"  # a comment\n1 - absent \"n\" list double = [1.5,-inf]\n", 2),
                    "ok.kro", doc, err))
      << err.what();
  ASSERT_EQ(doc.objects.size(), 2u);
  EXPECT_EQ(doc.objects[0].id, 1);
  EXPECT_EQ(std::get<std::int32_t>(doc.objects[0].attributes[0].value), -7);
  EXPECT_EQ(std::get<std::string>(doc.objects[0].attributes[1].value), "x # y");
  ASSERT_EQ(doc.objects[1].attributes.size(), 2u);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(doc.objects[1].attributes[0].value));
  EXPECT_EQ(doc.objects[1].attributes[1].name, "n");
  EXPECT_EQ(std::get<std::vector<double>>(doc.objects[1].attributes[1].value)[1], -std::numeric_limits<double>::infinity());
}

TEST(DocumentFormat, HandWrittenCatalogParsesWithLines) {
  const char* text =
      "# catalog\r\n"
      "startup \"Ctx\" type \"CtxType\"\r\n"
      "  attribute \"count\" integer = -3   # trailing comment\n"
      "  attribute \"uid\" list octet = x\"00fF10\"\n"
      "  attribute \"ratio\" double = 2\n"
      "end\n"
      "\n"
      "object 1 of \"Ctx\"\n"
      "  attribute \"next\" list specobject = [ @2 ,@1 ]\n"
      "end\n"
      "object 2 type \"Late\" of \"Elsewhere\" name \"two\"\n"
      "  attribute \"nan\" double = -nan\n"
      "end";
  Document doc;
  ParseError err;
  ASSERT_TRUE(Parse(text, "cat.kro", doc, err)) << err.what();
  ASSERT_EQ(doc.startups.size(), 1u);
  const StartUp& s = doc.startups[0];
  EXPECT_EQ(s.line, 2);
  EXPECT_EQ(s.type, "CtxType");
  ASSERT_EQ(s.attributes.size(), 3u);
  EXPECT_EQ(s.attributes[0].line, 3);
  EXPECT_EQ(std::get<std::int32_t>(s.attributes[0].value), -3);
  EXPECT_EQ(s.attributes[1].kind, tk_list);
  EXPECT_EQ(s.attributes[1].elementKind, tk_octet);
  EXPECT_EQ(std::get<std::vector<unsigned char>>(s.attributes[1].value),
            (std::vector<unsigned char>{0x00, 0xff, 0x10}));
  EXPECT_EQ(std::get<double>(s.attributes[2].value), 2.0);
  ASSERT_EQ(doc.objects.size(), 2u);
  EXPECT_EQ(doc.objects[0].line, 8);
  EXPECT_EQ(doc.objects[0].name, "");
  EXPECT_EQ(std::get<std::vector<Ref>>(doc.objects[0].attributes[0].value), (std::vector<Ref>{{2}, {1}}));
  EXPECT_EQ(doc.objects[1].startup, "Elsewhere");
  EXPECT_EQ(doc.objects[1].name, "two");
  EXPECT_EQ(doc.objects[1].lateType, "Late");
  const double nan = std::get<double>(doc.objects[1].attributes[0].value);
  EXPECT_TRUE(std::isnan(nan) && std::signbit(nan));
}

TEST(DocumentFormat, MalformedInputReportsLineAndReason) {
  const std::string S = "startup \"S\" type \"S\"\n";
  const std::string O = "object 1 of \"S\"\n";
  struct Case {
    std::string text;
    int line;
    const char* message;
  } cases[] = {
      {S + "  attrib \"a\" integer\nend\n", 2, "unknown keyword 'attrib'"},
      {"startup\n", 1, "expected a startup name string"},
      {"startup \"A\" type \"A\" extra\nend\n", 1, "unexpected 'extra'"},
      {"startup \"A\" type \"A\" type \"B\"\nend\n", 1, "'type' given twice"},
      {S + "end now\n", 2, "unexpected 'now'"},
      {S + "  attribute \"a\" string = \"abc\nend\n", 2, "unterminated string"},
      {S + "  attribute \"a\" string = \"a\\qb\"\nend\n", 2, "bad escape"},
      {S + "  attribute \"a\" string = \"\\x4\"\nend\n", 2, "bad escape"},
      {S + "  attribute \"a\" string = \"a\x01\"\nend\n", 2, "control character"},
      {S + "  attribute \"a\" float\nend\n", 2, "unknown kind 'float'"},
      {S + "  attribute \"a\" list\nend\n", 2, "'list' needs an element kind"},
      {S + "  attribute \"a\" list boolean\nend\n", 2, "unknown list element kind 'boolean'"},
      {S + "  attribute \"a\" integer = \"3\"\nend\n", 2, "expected an integer, found a string"},
      {S + "  attribute \"a\" boolean = 1\nend\n", 2, "expected true or false"},
      {S + "  attribute \"a\" double = 1e\nend\n", 2, "expected a number"},
      {S + "  attribute \"a\" integer = 2147483648\nend\n", 2, "out of range"},
      {S + "  attribute \"a\" list integer = [1, -2147483649]\nend\n", 2, "out of range"},
      {S + "  attribute \"a\" double = 1e400\nend\n", 2, "out of range"},
      {S + "  attribute \"a\" list string = [\"a\" \"b\"]\nend\n", 2, "expected ',' or ']'"},
      {S + "  attribute \"a\" list string = [\"a\",\nend\n", 2, "expected a string, found end of line"},
      {S + "  attribute \"a\" integer =\nend\n", 2, "missing value"},
      {S + "  attribute \"a\" integer 3\nend\n", 2, "expected '='"},
      {S + "  attribute \"a\" octets = x\"0g\"\nend\n", 2, "bad hex digit 'g'"},
      {S + "  attribute \"a\" octets = x\"abc\"\nend\n", 2, "odd number of hex digits"},
      {S + "  attribute \"a\" octets = x\"ab\nend\n", 2, "unterminated octets"},
      {S + "end\n" + S + "end\n", 3, "duplicate startup \"S\" (first defined on line 1)"},
      {S + "  attribute \"a\" integer\n  attribute \"a\" double\nend\n", 3, "duplicate attribute \"a\""},
      {O + "  attribute \"a\" integer\n  attribute \"a\" integer\nend\n", 3, "duplicate attribute \"a\""},
      {O + "end\n\n" + O + "end\n", 4, "duplicate object id 1"},
      {"object 0 of \"S\"\nend\n", 1, "object id must be positive"},
      {"object -4 of \"S\"\nend\n", 1, "object id must be positive"},
      {"object 99999999999999999999 of \"S\"\nend\n", 1, "out of range"},
      {"object 3 name \"x\"\nend\n", 1, "needs 'of"},
      {S + "  attribute \"a\" specobject = @1\nend\n" + O + "end\n", 2, "cannot hold a reference"},
      {S + "  attribute \"a\" list specobject = [@1]\nend\n" + O + "end\n", 2, "cannot hold a reference"},
      {O + "end\nobject 2 of \"S\"\n  attribute \"r\" list specobject = [@1, @5]\nend\n", 4,
       "reference @5 to an object not defined"},
      {O + "  attribute \"r\" specobject = @0\nend\n", 2, "reference @0"},
      {O + "  attribute \"r\" specobject = 1\nend\n", 2, "expected a reference"},
      {"startup \"D\" base \"B\"\nend\nstartup \"B\"\nend\n", 1, "base \"B\" is not a startup defined earlier"},
      {"\n" + S + "  attribute \"a\" integer\n", 2, "startup \"S\" has no 'end'"},
      {S + O + "end\n", 2, "'object' inside the block opened on line 1"},
      {"  attribute \"a\" integer\n", 1, "'attribute' outside startup or object"},
      {"end\n", 1, "'end' without startup or object"},
      {"startup \"A\"; \n", 1, "unexpected ';'"},
      {"\n\nstartup \x80\n", 3, "unexpected byte 0x80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Document doc = Everything();
    ParseError err;
    ASSERT_FALSE(Parse(c.text, "bad.kro", doc, err));
    EXPECT_EQ(err.line, c.line);
    EXPECT_NE(err.message.find(c.message), std::string::npos) << err.message;
    EXPECT_EQ(err.what(), "bad.kro:" + std::to_string(c.line) + ": " + err.message);
    EXPECT_EQ(doc.startups.size(), 2u) << "output must be untouched on failure";
  }
}

TEST(DocumentFormat, ParseFileReadsFilesAndRejectsUnreadableOnes) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::string path =
      (dir / ("docfmt_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".kro")).string();
  { std::ofstream(path, std::ios::binary) << Write(Everything()); }
  Document doc;
  ParseError err;
  EXPECT_TRUE(ParseFile(path, doc, err)) << err.what();
  EXPECT_EQ(doc.objects.size(), 2u);
  std::remove(path.c_str());

  ASSERT_FALSE(ParseFile(path, doc, err));
  EXPECT_EQ(err.line, 0);
  EXPECT_EQ(err.what(), path + ": cannot read the file");
  ASSERT_FALSE(ParseFile(dir.string(), doc, err));
  EXPECT_EQ(err.what(), dir.string() + ": not a regular file (a folder); documents are read only from files");
}

TEST(DocumentFormat, GarbageAndTruncatedInputNeverCrash) {
  const std::string valid = Write(Everything());
  auto check = [](std::string_view text) {
    Document doc;
    ParseError err;
    if (!Parse(text, "g.kro", doc, err)) {
      EXPECT_GE(err.line, 1);
      EXPECT_LE(err.line, std::count(text.begin(), text.end(), '\n') + 1);
      EXPECT_FALSE(err.message.empty());
    }
  };
  Document empty;
  ParseError err;
  EXPECT_TRUE(Parse("", "e.kro", empty, err));
  EXPECT_TRUE(empty.startups.empty() && empty.objects.empty());

  for (std::size_t n = 0; n < valid.size(); n += 7) check(std::string_view(valid).substr(0, n));
  std::mt19937 rng(12345);
  for (int i = 0; i < 2000; ++i) {
    std::string mutated = valid;
    for (int k = 0; k < 3; ++k) mutated[rng() % mutated.size()] = static_cast<char>(rng() % 256);
    check(mutated);
  }
  for (int i = 0; i < 200; ++i) {
    std::string noise(rng() % 300, '\0');
    for (char& c : noise) c = static_cast<char>(rng() % 256);
    check(noise);
  }
}
