// The rules a request must follow, checked field by field before anything is written: a failure
// throws CfgServer::BadInput naming the field by its path from the request's argument
// ("records[3].body.de.be_lst[0].date_start.month").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CfgServer.hh"

class CfgServerChecker {
 public:
  // root: the argument's name. maxItems: the longest sequence taken anywhere in the request.
  explicit CfgServerChecker(std::string root, std::uint32_t maxItems = CfgServer::MAX_BATCH);

  // field outlives the checker (the fields' names are literals).
  void Enter(const char* field);
  void Index(std::uint32_t index);
  void Leave();
  void Count(std::uint32_t length);  // a sequence's length against maxItems
  // Valid UTF-8; field: the member holding it, or null for a sequence's element.
  void Text(const char* text, const char* field);
  // A uuid: 16 octets, or none where empty is allowed.
  void Uuid(const CfgServer::Uuid& id, bool emptyAllowed);
  [[noreturn]] void Fail(const std::string& reason) const;
  std::string Path() const;

  static bool ValidUtf8(std::string_view text);

 private:
  // The path is written out only for a failure: building it field by field took a sixth of the
  // server's time in a push.
  struct Step {
    const char* field;  // null for an index
    std::uint32_t index;
  };
  std::string m_root;
  std::vector<Step> m_path;
  std::uint32_t m_maxItems;
};

// Overloads the generated conversions and checks (CfgServerConvert.hh) build on.
namespace CfgServerConvert {

inline void ToWire(CORBA::Long in, CORBA::Long& out) { out = in; }
inline void ToWire(CORBA::Short in, CORBA::Short& out) { out = in; }
inline void ToWire(CORBA::Octet in, CORBA::Octet& out) { out = in; }
inline void FromWire(CORBA::Long in, CORBA::Long& out) { out = in; }
inline void FromWire(CORBA::Short in, CORBA::Short& out) { out = in; }
inline void FromWire(CORBA::Octet in, CORBA::Octet& out) { out = in; }

inline void Check(CORBA::Octet, CfgServerChecker&) {}
inline void Check(const _CORBA_String_element& text, CfgServerChecker& c) { c.Text(text.in(), nullptr); }
// A reference to another record: 16 octets, or empty for none.
inline void Check(const CfgServer::Uuid& id, CfgServerChecker& c) { c.Uuid(id, true); }
void Check(const CfgServer::Content& body, CfgServerChecker& c);

// Rules beyond the fields' own: a date on the calendar (all fields zero: no date), a normal value's
// optional parts at most one element each.
template <class T>
void CheckRules(const T&, CfgServerChecker&) {}
void CheckRules(const CfgServer::DMX_OrbixTypes::DateCorba& date, CfgServerChecker& c);
void CheckRules(const CfgServer::DMX_Config::NlsNormalValue& value, CfgServerChecker& c);

}  // namespace CfgServerConvert
