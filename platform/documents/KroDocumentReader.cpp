#include "KroDocumentReader.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <initializer_list>
#include <limits>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "KroDocumentLexer.h"
#include "KroDocumentRecordParser.h"
#include "KroDocumentValueParser.h"

namespace KroDoc {

// The reader's statement parser: one line at a time, the blocks handed to the sink as they end.
class Parser {
 public:
  Parser(const std::string& file, Sink& sink, ParseError& err) : file_(file), sink_(sink), err_(err) {}

  // One line without its terminator; `crcBefore` is the CRC-32 of every byte before it.
  bool Line(std::string_view line, std::uint32_t crcBefore) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line_ == std::numeric_limits<int>::max()) return Fail("too many lines");
    ++line_;
    if (trailerLine_) return Fail("text after the trailer line (line " + std::to_string(trailerLine_) + ")");
    if (version_ >= 2 && block_ == Block::None && IsRecord(line)) return RecordLine(line);
    toks_.clear();
    at_ = 0;
    std::string msg;
    if (!Tokenize(line, toks_, msg)) return Fail(msg);
    if (toks_.empty()) return true;
    const bool first = !statementSeen_;
    statementSeen_ = true;
    return Statement(first, crcBefore);
  }

  bool Finish() {
    if (block_ == Block::Startup) return FailAt(blockLine_, "startup " + Q(startUp_.name) + " has no 'end'");
    if (block_ == Block::Object) return FailAt(blockLine_, "object " + std::to_string(object_.id) + " has no 'end'");
    if (version_ && !trailerLine_)
      return FailAt(std::max(line_, 1),
                    "the document ends without its trailer line: the file is truncated");
    for (const auto& [id, line] : refs_)
      if (!Defined(id))
        return FailAt(line, "reference @" + std::to_string(id) + " to an object not defined in this document");
    return true;
  }

  int version() const { return version_; }
  const std::vector<Ref>& roots() const { return roots_; }

 private:
  enum class Block { None, Startup, Object };

  bool FailAt(int line, std::string msg) {
    err_.file = file_;
    err_.line = line;
    err_.message = std::move(msg);
    return false;
  }
  bool Fail(std::string msg) { return FailAt(line_, std::move(msg)); }

  // Version 2 numbers its objects by their lines; version 1 and hand-written text name them.
  bool Defined(int id) const { return version_ >= 2 ? id >= 1 && id <= objectCount_ : objectLines_.count(id) > 0; }
  std::size_t ObjectCount() const { return version_ >= 2 ? static_cast<std::size_t>(objectCount_) : objectLines_.size(); }

  // An object line of version 2 starts with its startup's number or with "of".
  static bool IsRecord(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && IsDigit(static_cast<unsigned char>(line[i]))) return true;
    return line.substr(i, 2) == "of" && (i + 2 == line.size() || line[i + 2] == ' ' || line[i + 2] == '\t' || line[i + 2] == '"');
  }

  bool RecordLine(std::string_view line) {
    statementSeen_ = true;
    if (objectCount_ == std::numeric_limits<int>::max()) return Fail("too many objects");
    record_.id = objectCount_ + 1;
    if (!records_.Parse(line, line_, startUpShapes_, record_)) return Fail(records_.message());
    ++objectCount_;
    ParseError sinkErr;
    if (!sink_.OnRecord(record_, sinkErr)) return FailAt(sinkErr.line ? sinkErr.line : line_, std::move(sinkErr.message));
    return true;
  }

  const Token* Peek() const { return at_ < toks_.size() ? &toks_[at_] : nullptr; }
  const Token* Next() { return at_ < toks_.size() ? &toks_[at_++] : nullptr; }
  bool PeekIs(Tok type) const { return Peek() && Peek()->type == type; }

  bool ExpectString(const std::string& what, std::string& out) {
    const Token* t = Next();
    if (!t || t->type != Tok::String) return Fail("expected " + what + " string, found " + Describe(t));
    out = t->text;
    return true;
  }
  bool ExpectEnd() {
    if (Peek()) return Fail("unexpected " + Describe(Peek()));
    return true;
  }

  bool Statement(bool first, std::uint32_t crcBefore) {
    const Token* t = Next();
    if (t->type != Tok::Word) return Fail("expected a keyword, found " + Describe(t));
    const std::string& kw = t->text;
    if (kw == "attribute") {
      if (block_ == Block::None) return Fail("'attribute' outside startup or object");
      return AttributeLine(block_ == Block::Startup ? startUp_.attributes : object_.attributes);
    }
    if (kw == "end") {
      if (block_ == Block::None) return Fail("'end' without startup or object");
      if (!ExpectEnd()) return false;
      return Close();
    }
    if (kw == "object" && version_ >= 2)
      return Fail("an 'object' block in a version " + std::to_string(version_) +
                  " document: there each object is one line, its startup's number then its values");
    if (kw == "startup" || kw == "object" || kw == "trailer") {
      if (block_ != Block::None)
        return Fail("'" + kw + "' inside the block opened on line " + std::to_string(blockLine_) + " (missing 'end')");
      if (kw == "trailer") return TrailerLine(crcBefore);
      return kw == "startup" ? StartUpLine() : ObjectLine();
    }
    if (kw == "document") {
      if (!first) return Fail("the 'document' header line must be the first statement");
      return HeaderLine();
    }
    return Fail("unknown keyword " + Describe(t));
  }

  // Hands the finished block to the sink.
  bool Close() {
    const Block closing = block_;
    block_ = Block::None;
    if (closing == Block::Startup && version_ >= 2) startUpShapes_.push_back(startUp_);
    ParseError sinkErr;
    const bool ok = closing == Block::Startup ? sink_.OnStartUp(std::move(startUp_), sinkErr)
                                              : sink_.OnObject(std::move(object_), sinkErr);
    startUp_ = StartUp{};
    object_ = Object{};
    if (!ok) return FailAt(sinkErr.line ? sinkErr.line : blockLine_, std::move(sinkErr.message));
    return true;
  }

  // document version N [roots [@a, @b, ...]]
  bool HeaderLine() {
    const Token* t = Next();
    if (!t || t->type != Tok::Word || t->text != "version")
      return Fail("expected 'version' after 'document', found " + Describe(t));
    t = Next();
    std::string msg;
    std::int32_t version = 0;
    if (!t || t->type != Tok::Word) return Fail("expected a format version, found " + Describe(t));
    if (!ToInt(t->text, version, msg)) return Fail(msg);
    if (version < 1) return Fail("format version must be positive, found " + t->text);
    if (version > kFormatVersion)
      return Fail("format version " + t->text + " is newer than this reader's (" + std::to_string(kFormatVersion) +
                  ")");
    if (const Token* r = Next()) {
      if (r->type != Tok::Word || r->text != "roots") return Fail("unexpected " + Describe(r));
      Attribute holder;
      holder.name = "roots";
      ValueParser values(toks_, at_, line_, true, refs_);
      if (!values.References(holder)) return Fail(values.message());
      roots_ = std::move(std::get<std::vector<Ref>>(holder.value));
      for (const Ref& root : roots_)
        if (!root.id) return Fail("a root cannot be null");
      if (!ExpectEnd()) return false;
    }
    version_ = version;
    return true;
  }

  // trailer objects N checksum XXXXXXXX
  bool TrailerLine(std::uint32_t crcBefore) {
    if (!version_) return Fail("trailer line without a 'document' header line");
    const Token* t = Next();
    if (!t || t->type != Tok::Word || t->text != "objects")
      return Fail("expected 'objects' after 'trailer', found " + Describe(t));
    t = Next();
    std::string msg;
    std::int32_t count = 0;
    if (!t || t->type != Tok::Word) return Fail("expected an object count, found " + Describe(t));
    if (!ToInt(t->text, count, msg)) return Fail(msg);
    t = Next();
    if (!t || t->type != Tok::Word || t->text != "checksum")
      return Fail("expected 'checksum' after the object count, found " + Describe(t));
    t = Next();
    if (!t || t->type != Tok::Word || t->text.size() != 8 ||
        t->text.find_first_not_of("0123456789abcdef") != std::string::npos)
      return Fail("expected a checksum of 8 lower-case hex digits, found " + Describe(t));
    if (!ExpectEnd()) return false;
    const std::uint32_t checksum = static_cast<std::uint32_t>(std::stoul(t->text, nullptr, 16));
    if (checksum != crcBefore) return Fail("checksum mismatch: the document was altered or damaged");
    if (count < 0 || static_cast<std::size_t>(count) != ObjectCount())
      return Fail("the trailer counts " + std::to_string(count) + " objects, the document has " +
                  std::to_string(ObjectCount()));
    trailerLine_ = line_;
    return true;
  }

  // Optional `keyword "text"` clauses, in any order, each at most once.
  bool Clauses(std::initializer_list<std::pair<const char*, std::string*>> clauses,
               std::unordered_set<std::string>& seen) {
    while (const Token* t = Next()) {
      std::string* target = nullptr;
      if (t->type == Tok::Word)
        for (const auto& [kw, dest] : clauses)
          if (t->text == kw) target = dest;
      if (!target) return Fail("unexpected " + Describe(t));
      if (!seen.insert(t->text).second) return Fail("'" + t->text + "' given twice");
      if (!ExpectString("a", *target)) return false;
    }
    return true;
  }

  bool StartUpLine() {
    StartUp s;
    s.line = line_;
    if (version_ >= 2) {
      const Token* t = Next();
      const std::string expected = std::to_string(startUpShapes_.size() + 1);
      if (!t || t->type != Tok::Word || t->text != expected)
        return Fail("expected the startup's number " + expected + ", found " + Describe(t));
    }
    if (!ExpectString("a startup name", s.name)) return false;
    if (s.name.empty()) return Fail("startup name is empty");
    std::unordered_set<std::string> seen;
    if (!Clauses({{"type", &s.type}, {"base", &s.base}}, seen)) return false;
    if (auto it = startupLines_.find(s.name); it != startupLines_.end())
      return Fail("duplicate startup " + Q(s.name) + " (first defined on line " + std::to_string(it->second) + ")");
    if (!s.base.empty() && !startupLines_.count(s.base))
      return Fail("base " + Q(s.base) + " is not a startup defined earlier in this document");
    startupLines_.emplace(s.name, line_);
    startUp_ = std::move(s);
    Open(Block::Startup);
    return true;
  }

  bool ObjectLine() {
    Object o;
    o.line = line_;
    const Token* t = Next();
    if (!t || t->type != Tok::Word) return Fail("expected an object id, found " + Describe(t));
    std::string msg;
    std::int32_t id = 0;
    if (!ToInt(t->text, id, msg)) return Fail(msg);
    if (id <= 0) return Fail("object id must be positive, found " + t->text);
    o.id = id;
    std::unordered_set<std::string> seen;
    if (!Clauses({{"of", &o.startup}, {"name", &o.name}, {"type", &o.lateType}}, seen)) return false;
    if (!seen.count("of")) return Fail("object " + std::to_string(id) + " needs 'of \"startup\"'");
    if (o.startup.empty()) return Fail("object " + std::to_string(id) + ": startup name after 'of' is empty");
    if (auto it = objectLines_.find(id); it != objectLines_.end())
      return Fail("duplicate object id " + std::to_string(id) + " (first defined on line " +
                  std::to_string(it->second) + ")");
    objectLines_.emplace(id, line_);
    object_ = std::move(o);
    Open(Block::Object);
    return true;
  }

  void Open(Block b) {
    block_ = b;
    blockLine_ = line_;
    attrNames_.clear();
  }

  bool AttributeLine(std::vector<Attribute>& attrs) {
    Attribute a;
    a.line = line_;
    if (!ExpectString("an attribute name", a.name)) return false;
    if (a.name.empty()) return Fail("attribute name is empty");
    if (a.name.find('\0') != std::string::npos) return Fail("attribute name " + Q(a.name) + " contains a NUL byte");
    if (!attrNames_.insert(a.name).second) return Fail("duplicate attribute " + Q(a.name));
    ValueParser values(toks_, at_, line_, block_ != Block::Startup, refs_);
    if (!values.Kind(a)) return Fail(values.message());
    if (Peek()) {
      if (!PeekIs(Tok::Equals)) return Fail("expected '=' or end of line after the kind, found " + Describe(Peek()));
      ++at_;
      if (!Peek()) return Fail("missing value after '='");
      if (!values.Value(a)) return Fail(values.message());
      if (!ExpectEnd()) return false;
    }
    attrs.push_back(std::move(a));
    return true;
  }

  const std::string& file_;
  Sink& sink_;
  ParseError& err_;
  StartUp startUp_;  // the block being read
  Object object_;
  bool statementSeen_ = false;
  int version_ = 0;
  int trailerLine_ = 0;
  std::vector<Ref> roots_;
  std::vector<Token> toks_;
  std::size_t at_ = 0;
  int line_ = 0;
  Block block_ = Block::None;
  int blockLine_ = 0;
  std::unordered_set<std::string> attrNames_;
  std::unordered_map<std::string, int> startupLines_;
  std::unordered_map<int, int> objectLines_;
  std::vector<std::pair<int, int>> refs_;  // (id, line), in file order
  // Version 2: the startup blocks read so far, which object lines number; the object line being read.
  std::vector<StartUp> startUpShapes_;
  int objectCount_ = 0;
  Record record_;
  RecordParser records_{refs_};
};

Reader::Reader(std::string fileName, Sink& sink, ParseError& err)
    : m_file(std::move(fileName)), m_err(err), m_parser(std::make_unique<Parser>(m_file, sink, err)) {}

Reader::~Reader() = default;

bool Reader::Feed(std::string_view bytes) {
  if (m_failed) return false;
  try {
    while (!bytes.empty()) {
      const std::size_t nl = bytes.find('\n');
      if (nl == std::string_view::npos) {
        m_partial.append(bytes);
        return true;
      }
      std::string_view line = bytes.substr(0, nl);
      if (!m_partial.empty()) {
        m_partial.append(line);
        line = m_partial;
      }
      const std::uint32_t before = m_crc;
      if (!m_parser->Line(line, before)) return m_failed = true, false;
      if (m_partial.empty()) {
        m_crc = Crc32(m_crc, bytes.substr(0, nl + 1));
      } else {
        m_crc = Crc32(m_crc, line);
        m_crc = Crc32(m_crc, "\n");
      }
      m_partial.clear();
      bytes.remove_prefix(nl + 1);
    }
    return true;
  } catch (const std::exception& e) {
    m_err = ParseError{m_file, 0, std::string("cannot parse: ") + e.what()};
    return m_failed = true, false;
  }
}

bool Reader::Finish() {
  if (m_failed) return false;
  try {
    if (!m_partial.empty()) {
      if (!m_parser->Line(m_partial, m_crc)) return m_failed = true, false;
      m_partial.clear();
    }
    if (!m_parser->Finish()) return m_failed = true, false;
    return true;
  } catch (const std::exception& e) {
    m_err = ParseError{m_file, 0, std::string("cannot parse: ") + e.what()};
    return m_failed = true, false;
  }
}

int Reader::Version() const { return m_parser->version(); }
const std::vector<Ref>& Reader::Roots() const { return m_parser->roots(); }

bool Parse(std::string_view text, const std::string& fileName, Document& out, ParseError& err) {
  try {
    Document doc;
    Collector collector(doc);
    Reader reader(fileName, collector, err);
    if (!reader.Feed(text) || !reader.Finish()) return false;
    doc.version = reader.Version();
    doc.roots = reader.Roots();
    out = std::move(doc);
    return true;
  } catch (const std::exception& e) {
    err = ParseError{fileName, 0, std::string("cannot parse: ") + e.what()};
    return false;
  }
}

}  // namespace KroDoc
