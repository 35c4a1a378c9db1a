#include "CfgServerChecker.h"

#include "CfgServerConvert.hh"

CfgServerChecker::CfgServerChecker(std::string root, std::uint32_t maxItems)
    : m_root(std::move(root)), m_maxItems(maxItems) {
  m_path.reserve(16);
}

void CfgServerChecker::Enter(const char* field) { m_path.push_back({field, 0}); }
void CfgServerChecker::Index(std::uint32_t index) { m_path.push_back({nullptr, index}); }
void CfgServerChecker::Leave() { m_path.pop_back(); }

void CfgServerChecker::Count(std::uint32_t length) {
  if (length > m_maxItems)
    Fail(std::to_string(length) + " elements, more than the " + std::to_string(m_maxItems) + " taken");
}

void CfgServerChecker::Text(const char* text, const char* field) {
  if (ValidUtf8(text ? text : "")) return;
  if (field) Enter(field);
  Fail("not valid UTF-8");
}

void CfgServerChecker::Uuid(const CfgServer::Uuid& id, bool emptyAllowed) {
  if (id.length() == 16 || (emptyAllowed && id.length() == 0)) return;
  Fail("a uuid of " + std::to_string(id.length()) + " octets; a uuid has 16" + (emptyAllowed ? " (or none)" : ""));
}

void CfgServerChecker::Fail(const std::string& reason) const { throw CfgServer::BadInput(Path().c_str(), reason.c_str()); }

std::string CfgServerChecker::Path() const {
  std::string path = m_root;
  for (const Step& step : m_path) path += step.field ? "." + std::string(step.field) : "[" + std::to_string(step.index) + "]";
  return path;
}

bool CfgServerChecker::ValidUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len = 0;
    std::uint32_t cp = 0, min = 0;
    if ((c & 0xE0) == 0xC0) len = 2, cp = c & 0x1F, min = 0x80;
    else if ((c & 0xF0) == 0xE0) len = 3, cp = c & 0x0F, min = 0x800;
    else if ((c & 0xF8) == 0xF0) len = 4, cp = c & 0x07, min = 0x10000;
    else return false;
    if (i + len > n) return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode's end are not UTF-8.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

namespace CfgServerConvert {

void CheckRules(const CfgServer::DMX_OrbixTypes::DateCorba& d, CfgServerChecker& c) {
  if (!d.year && !d.month && !d.day && !d.hour && !d.minute && !d.second) return;
  auto field = [&](const char* name, CORBA::Long value, CORBA::Long low, CORBA::Long high) {
    if (value >= low && value <= high) return;
    c.Enter(name);
    c.Fail(std::to_string(value) + " is outside " + std::to_string(low) + ".." + std::to_string(high));
  };
  field("year", d.year, 1, 9999);
  field("month", d.month, 1, 12);
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  field("day", d.day, 1, d.month == 2 && !leap ? 28 : kDays[d.month - 1]);
  field("hour", d.hour, 0, 23);
  field("minute", d.minute, 0, 59);
  field("second", d.second, 0, 59);
}

void CheckRules(const CfgServer::DMX_Config::NlsNormalValue& v, CfgServerChecker& c) {
  auto optional = [&](const char* name, CORBA::ULong length) {
    if (length <= 1) return;
    c.Enter(name);
    c.Fail(std::to_string(length) + " elements; an optional part has one or none");
  };
  optional("optionalDate", v.optionalDate.length());
  optional("optionalRange", v.optionalRange.length());
  optional("optionalSpec", v.optionalSpec.length());
}

void Check(const CfgServer::Content& body, CfgServerChecker& c) {
  using namespace CfgServer;
  auto one = [&c](const char* name, const auto& value) {
    c.Enter(name);
    Check(value, c);
    c.Leave();
  };
  auto seq = [&c](const char* name, const auto& value) {
    c.Enter(name);
    CheckSeq(value, c);
    c.Leave();
  };
  switch (body._d()) {
    case K_BASE_OBJECT: return one("bo", body.bo());
    case K_BASE_OBJECT_SEQ: return seq("bos", body.bos());
    case K_NORMAL_VALUE: return one("nv", body.nv());
    case K_NORMAL_VALUE_SEQ: return seq("nvs", body.nvs());
    case K_EFFECTIVITY_VALUES: {
      c.Enter("ev");
      c.Count(body.ev().length());
      for (CORBA::ULong i = 0; i < body.ev().length(); ++i) {
        c.Index(i);
        CheckSeq(body.ev()[i], c);
        c.Leave();
      }
      return c.Leave();
    }
    case K_XEFFECTIVITY_VALUES: return one("xev", body.xev());
    case K_XEFFECTIVITY_VALUES_SEQ: return seq("xevs", body.xevs());
    case K_MODIFICATION: return one("mod", body.mod());
    case K_MODIFICATION_SEQ: return seq("mods", body.mods());
    case K_GROUP_MOD: return one("gmod", body.gmod());
    case K_GROUP_MOD_SEQ: return seq("gmods", body.gmods());
    case K_CHANGE: return one("chg", body.chg());
    case K_CHANGE_SEQ: return seq("chgs", body.chgs());
    case K_SPEC_EXPRESSION: return one("se", body.se());
    case K_BASIC_EFFECTIVITY: return one("be", body.be());
    case K_BASIC_EFFECTIVITY_SEQ: return seq("bes", body.bes());
    case K_DOMAIN_EFFECTIVITY: return one("de", body.de());
    case K_DOMAIN_EFFECTIVITY_SEQ: return seq("des", body.des());
    case K_CATEGORY: return one("category", body.category());
    case K_SPECIFICATION: return one("specification", body.specification());
    case K_SUBSCRIBER: return one("subscriber", body.subscriber());
    case K_GROUP: return one("grp", body.grp());
    case K_MODEL_MODIFICATION: return one("modification", body.modification());
    case K_CONTEXT: return one("ctx", body.ctx());
    case K_FILTER: return one("filter", body.filter());
  }
  c.Fail("an unknown kind of record");
}

}  // namespace CfgServerConvert
