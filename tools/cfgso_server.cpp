// cfgso push, pull and query --server.
#include "cfgso_server.h"

#include <cstdio>

#ifdef KRO_WITH_SERVER

#include <map>
#include <memory>
#include <unordered_set>
#include <vector>

#include "CfgServerClient.h"
#include "CfgServerConvert.hh"
#include "cfgso_query.h"
#include "cfgso_results.h"
#include "cfgso_documents.h"
#include "KroCfgEffectivityPoint.h"
#include "KroCfgEffectivityReader.h"
#include "DMX_ConfigServices.h"
#include "KroCfgStreamer.h"
#include "KroDocument.h"
#include "KroSpecReach.h"

const char* ServerResultName(HRESULT hr) { return CfgServerClient::ResultName(hr); }

namespace {

using St = KroCfgStreamer;
using namespace CfgServerConvert;

// Records go to the server in batches of this many.
constexpr CORBA::ULong kBatch = 1000;

// Each kind of record with the streamer shape it travels as.
const std::map<CfgServer::Kind, const char*> kShapes = {
    {CfgServer::K_BASE_OBJECT, "StreamerBaseObject"},
    {CfgServer::K_BASE_OBJECT_SEQ, "StreamerlstBaseObject"},
    {CfgServer::K_NORMAL_VALUE, "StreamerNormalValue"},
    {CfgServer::K_NORMAL_VALUE_SEQ, "StreamerlstNormalValue"},
    {CfgServer::K_EFFECTIVITY_VALUES, "StreamerlstEffectivityValues"},
    {CfgServer::K_XEFFECTIVITY_VALUES, "StreamerXEffectivityValues"},
    {CfgServer::K_XEFFECTIVITY_VALUES_SEQ, "StreamerlstXEffectivityValues"},
    {CfgServer::K_MODIFICATION, "StreamerModification"},
    {CfgServer::K_MODIFICATION_SEQ, "StreamerlstModification"},
    {CfgServer::K_GROUP_MOD, "StreamerGroupMod"},
    {CfgServer::K_GROUP_MOD_SEQ, "StreamerlstGroupMod"},
    {CfgServer::K_CHANGE, "StreamerChange"},
    {CfgServer::K_CHANGE_SEQ, "StreamerlstChange"},
    {CfgServer::K_SPEC_EXPRESSION, "StreamerSpecExpression"},
    {CfgServer::K_BASIC_EFFECTIVITY, "StreamerBasicEffectivity"},
    {CfgServer::K_BASIC_EFFECTIVITY_SEQ, "StreamerlstBasicEffectivity"},
    {CfgServer::K_DOMAIN_EFFECTIVITY, "StreamerDomainEffectivity"},
    {CfgServer::K_DOMAIN_EFFECTIVITY_SEQ, "StreamerlstDomainEffectivity"},
};

// One hit of a query's answer, read from its columns.
struct Hit {
  const CORBA::Octet* id;
  CfgServer::Kind recordKind;
  CORBA::ULong element, basic;
};

// The type of what a hit names: the record, or the effectivity record inside it.
std::string HitType(const Hit& hit) {
  using namespace CfgServer;
  if (hit.element == 0) return kShapes.at(hit.recordKind);
  switch (hit.recordKind) {
    case K_BASIC_EFFECTIVITY_SEQ: return "StreamerBasicEffectivity";
    case K_DOMAIN_EFFECTIVITY_SEQ: return "StreamerDomainEffectivity";
    default: return "StreamerXEffectivityValues";
  }
}

std::string Hex(const CORBA::Octet* id) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (CORBA::ULong i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    out += digits[id[i] >> 4];
    out += digits[id[i] & 15];
  }
  return out;
}

std::unique_ptr<CfgServerClient> Connect(const std::string& command, const std::string& address) {
  std::unique_ptr<CfgServerClient> client;
  std::string error;
  if (FAILED(CfgServerClient::Connect(address, client, error)))
    std::fprintf(stderr, "cfgso %s: %s\n", command.c_str(), error.c_str());
  return client;
}

bool Failed(const std::string& command, HRESULT hr, const std::string& error) {
  if (SUCCEEDED(hr)) return false;
  std::fprintf(stderr, "cfgso %s: %s: %s\n", command.c_str(), ResultText(hr).c_str(), error.c_str());
  return true;
}

// ---- push: a document's records as server structures ----

template <class Lib, class Wire, class Read>
void FromTree(const KroISpecObject_var& so, Read read, Wire& wire) {
  Lib lib;
  read(so, lib);
  ToWire(lib, wire);
}

// The wrapper's effectivity record as the streamed structure that carries the same data: one date
// interval and one rank interval per basic effectivity at most.
bool BasicFromRecord(const KroCfgEffectivityRecord::Basic& basic, const std::string& domain,
                     CfgServer::NlsBasicEffectivity& out) {
  if (basic.dates.size() > 1 || basic.ranks.size() > 1) return false;
  NlsBasicEffectivity be;
  if (!basic.dates.empty()) {
    be.date_start = DMX_ConfigServices::ToDateCorba(KroTime(static_cast<time_t>(basic.dates[0].start)));
    // An open end is stored as the epoch.
    be.date_end = DMX_ConfigServices::ToDateCorba(KroTime(static_cast<time_t>(basic.dates[0].end.value_or(0))));
  }
  if (!basic.ranks.empty()) {
    be.range_start = static_cast<CORBA::Long>(basic.ranks[0].start);
    be.range_end = basic.ranks[0].end ? static_cast<CORBA::Long>(*basic.ranks[0].end) : -1;
  }
  std::string text;
  for (const auto& term : basic.terms) text += (text.empty() ? "" : " AND ") + std::string(term.sign < 0 ? "NOT " : "") + term.name;
  be.se.domain.text = domain;
  be.se.expression.text = text;
  ToWire(be, out);
  return true;
}

// One top-level object of the document as a record; false when it has no server structure.
bool ToRecord(const KroISpecObject_var& so, CfgServer::Record& record) {
  const std::string type = so->GetLateType().str();
  CfgServer::Content& body = record.body;
  if (type == "StreamerBaseObject") {
    CfgServer::NlsBaseObject wire;
    FromTree<::NlsBaseObject>(so, [](auto& s, auto& v) { return St::BaseObjectFromSpecObject(s, v); }, wire);
    body.bo(wire);
  } else if (type == "StreamerlstBaseObject") {
    CfgServer::NlsBaseObjectSeq wire;
    FromTree<::_IDL_SEQUENCE_NlsBaseObject>(so, St::BaseObjectSeqFromSpecObjectList, wire);
    body.bos(wire);
  } else if (type == "StreamerNormalValue") {
    CfgServer::DMX_Config::NlsNormalValue wire;
    FromTree<::DMX_Config::NlsNormalValue>(
        so, [](auto& s, auto& v) { return St::NormalValueFromSpecObject(s, v); }, wire);
    body.nv(wire);
  } else if (type == "StreamerlstNormalValue") {
    CfgServer::DMX_Config::NlsNormalValueSeq wire;
    FromTree<::DMX_Config::NlsNormalValueSeq>(so, St::NormalValueSeqFromSpecObjectList, wire);
    body.nvs(wire);
  } else if (type == "StreamerlstEffectivityValues") {
    CfgServer::EffectivityValues wire;
    FromTree<::DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValueSeq>(so, St::EffectivityValuesFromSpecObjectList, wire);
    body.ev(wire);
  } else if (type == "StreamerXEffectivityValues") {
    CfgServer::DMX_Config::NlsXEffectivityValues wire;
    FromTree<::DMX_Config::NlsXEffectivityValues>(so, St::XEffectivityValuesFromSpecObject, wire);
    body.xev(wire);
  } else if (type == "StreamerlstXEffectivityValues") {
    CfgServer::DMX_Config::NlsXEffectivityValuesSeq wire;
    FromTree<::DMX_Config::NlsXEffectivityValuesSeq>(so, St::XEffectivityValuesSeqFromSpecObjectList, wire);
    body.xevs(wire);
  } else if (type == "StreamerModification") {
    CfgServer::NlsModification wire;
    FromTree<::NlsModification>(so, St::ModificationFromSpecObject, wire);
    body.mod(wire);
  } else if (type == "StreamerlstModification") {
    CfgServer::NlsModificationSeq wire;
    FromTree<::NlsModificationSeq>(so, St::ModificationSeqFromSpecObjectList, wire);
    body.mods(wire);
  } else if (type == "StreamerGroupMod") {
    ::NlsGroupMod group;
    ::DMX_Config::NlsXEffectivityValuesSeq xev;
    St::GroupModFromSpecObject(so, group, xev);
    CfgServer::GroupModRecord wire;
    ToWire(group, wire.group);
    ToWire(xev, wire.xev);
    body.gmod(wire);
  } else if (type == "StreamerlstGroupMod") {
    ::NlsGroupModSeq groups;
    St::GroupModSeqFromSpecObjectList(so, groups);
    CfgServer::GroupModRecordSeq wire;
    wire.length(groups.length());
    for (CORBA::ULong i = 0; i < groups.length(); ++i) ToWire(groups[i], wire[i].group);
    body.gmods(wire);
  } else if (type == "StreamerChange") {
    CfgServer::NlsChange wire;
    FromTree<::NlsChange>(so, St::ChangeFromSpecObject, wire);
    body.chg(wire);
  } else if (type == "StreamerlstChange") {
    CfgServer::NlsChangeSeq wire;
    FromTree<::NlsChangeSeq>(so, St::ChangeSeqFromSpecObjectList, wire);
    body.chgs(wire);
  } else if (type == "StreamerSpecExpression") {
    CfgServer::NlsSpecExpression wire;
    FromTree<::NlsSpecExpression>(so, St::SpecExpressionFromSpecObject, wire);
    body.se(wire);
  } else if (type == "StreamerBasicEffectivity") {
    CfgServer::NlsBasicEffectivity wire;
    FromTree<::NlsBasicEffectivity>(so, St::BasicEffectivityFromSpecObject, wire);
    body.be(wire);
  } else if (type == "StreamerlstBasicEffectivity") {
    CfgServer::NlsBasicEffectivitySeq wire;
    FromTree<::NlsBasicEffectivitySeq>(so, St::BasicEffectivitySeqFromSpecObjectList, wire);
    body.bes(wire);
  } else if (type == "StreamerDomainEffectivity") {
    CfgServer::NlsDomainEffectivity wire;
    FromTree<::NlsDomainEffectivity>(so, St::DomainEffectivityFromSpecObject, wire);
    body.de(wire);
  } else if (type == "StreamerlstDomainEffectivity") {
    CfgServer::NlsDomainEffectivitySeq wire;
    FromTree<::NlsDomainEffectivitySeq>(so, St::DomainEffectivitySeqFromSpecObjectList, wire);
    body.des(wire);
  } else if (type == "CfgSOEffectivity" || type == "CfgSOBasicEffectivity" || type == "CfgSOSpecExpression") {
    KroCfgEffectivityRecord read;
    if (FAILED(KroCfgEffectivityReader::Read(so, read))) return false;
    const std::string domain = read.hasDomain ? read.domain : "";
    if (read.isExpression()) {
      CfgServer::NlsSpecExpression se;
      CfgServer::NlsBasicEffectivity be;
      BasicFromRecord(read.basics.empty() ? KroCfgEffectivityRecord::Basic{} : read.basics[0], domain, be);
      body.se(be.se);
    } else if (type == "CfgSOBasicEffectivity") {
      CfgServer::NlsBasicEffectivity be;
      if (read.basics.size() != 1 || !BasicFromRecord(read.basics[0], domain, be)) return false;
      body.be(be);
    } else {
      CfgServer::NlsDomainEffectivity de;
      de.domain.text = domain.c_str();
      de.be_lst.length(static_cast<CORBA::ULong>(read.basics.size()));
      for (std::size_t i = 0; i < read.basics.size(); ++i)
        if (!BasicFromRecord(read.basics[i], domain, de.be_lst[static_cast<CORBA::ULong>(i)])) return false;
      if (!read.hasDomain) return false;  // a streamed domain effectivity always has a domain
      body.de(de);
    }
  } else {
    return false;
  }
  return true;
}

// Objects that no other object of the document refers to, in document order.
std::vector<KroISpecObject_var> TopLevel(const KroListValKroISpecObject_var& objects) {
  std::unordered_set<KroISpecObject*> referenced;
  for (const KroISpecObject_var& object : objects)
    for (const KroISpecObject_var& target : KroSpecReach::Targets(object)) referenced.insert(target.ptr());
  std::vector<KroISpecObject_var> top;
  for (const KroISpecObject_var& object : objects)
    if (!referenced.count(object.ptr())) top.push_back(object);
  return top;
}

int Push(const std::string& file, const std::string& address) {
  std::unique_ptr<CfgServerClient> client = Connect("push", address);
  if (!client) return 1;
  KroDocument* document = nullptr;
  HRESULT hr = KroDocumentServices::Open(file.c_str(), document, 0);
  if (FAILED(hr) || !document) {
    std::fprintf(stderr, "cfgso push: cannot open %s (%s)\n", file.c_str(), ResultText(hr).c_str());
    return 1;
  }
  CfgServer::RecordSeq records;
  std::map<std::string, int> sent, left;
  {
    KroIContainer_var container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
    for (const KroISpecObject_var& so : TopLevel(container->ListObjects())) {
      CfgServer::Record record;
      const std::string type = so->GetLateType().str();
      if (!ToRecord(so, record)) {
        ++left[type];
        continue;
      }
      ++sent[kShapes.at(record.body._d())];
      const CORBA::ULong n = records.length();
      records.length(n + 1);
      records[n] = record;
    }
  }
  KroDocumentServices::Close(document);

  std::string error;
  for (CORBA::ULong begin = 0; begin < records.length(); begin += kBatch) {
    const CORBA::ULong count = std::min(kBatch, records.length() - begin);
    CfgServer::RecordSeq batch;
    batch.length(count);
    for (CORBA::ULong i = 0; i < count; ++i) batch[i] = records[begin + i];
    hr = client->Call([&](CfgServer::Store_ptr store) { CfgServer::PackedUuids_var ids = store->create(batch); }, error);
    if (Failed("push", hr, error)) {
      std::fprintf(stderr, "cfgso push: %u record(s) of %u were stored before the failure\n", begin, records.length());
      return 1;
    }
  }
  std::printf("%s: %u record(s) sent to %s\n", file.c_str(), records.length(), address.c_str());
  for (const auto& [type, count] : sent) std::printf("  %6d %s\n", count, type.c_str());
  for (const auto& [type, count] : left)
    std::printf("  %6d %s left out: no server structure carries it\n", count, type.c_str());
  return 0;
}

// ---- pull: the server's records as spec objects ----

template <class Lib, class Wire, class Write>
HRESULT ToTree(const Wire& wire, Write write, KroISpecObject_var& so) {
  Lib lib;
  FromWire(wire, lib);
  return write(lib, so);
}

HRESULT ToSpecObject(const CfgServer::Content& body, KroISpecObject_var& so) {
  using namespace CfgServer;
  switch (body._d()) {
    case K_BASE_OBJECT:
      return ToTree<::NlsBaseObject>(body.bo(), [](auto& v, auto& s) { return St::BaseObjectToSpecObject(v, s); }, so);
    case K_BASE_OBJECT_SEQ:
      return ToTree<::_IDL_SEQUENCE_NlsBaseObject>(body.bos(), St::BaseObjectSeqToSpecObjectList, so);
    case K_NORMAL_VALUE:
      return ToTree<::DMX_Config::NlsNormalValue>(
          body.nv(), [](auto& v, auto& s) { return St::NormalValueToSpecObject(v, s); }, so);
    case K_NORMAL_VALUE_SEQ:
      return ToTree<::DMX_Config::NlsNormalValueSeq>(body.nvs(), St::NormalValueSeqToSpecObjectList, so);
    case K_EFFECTIVITY_VALUES:
      return ToTree<::DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsNormalValueSeq>(body.ev(),
                                                                              St::EffectivityValuesToSpecObjectList, so);
    case K_XEFFECTIVITY_VALUES:
      return ToTree<::DMX_Config::NlsXEffectivityValues>(body.xev(), St::XEffectivityValuesToSpecObject, so);
    case K_XEFFECTIVITY_VALUES_SEQ:
      return ToTree<::DMX_Config::NlsXEffectivityValuesSeq>(body.xevs(), St::XEffectivityValuesSeqToSpecObjectList, so);
    case K_MODIFICATION: return ToTree<::NlsModification>(body.mod(), St::ModificationToSpecObject, so);
    case K_MODIFICATION_SEQ: return ToTree<::NlsModificationSeq>(body.mods(), St::ModificationSeqToSpecObjectList, so);
    case K_GROUP_MOD: {
      ::NlsGroupMod group;
      ::DMX_Config::NlsXEffectivityValuesSeq xev;
      FromWire(body.gmod().group, group);
      FromWire(body.gmod().xev, xev);
      return St::GroupModToSpecObject(group, xev, so);
    }
    case K_GROUP_MOD_SEQ: {
      ::NlsGroupModSeq groups;
      groups.length(body.gmods().length());
      for (CORBA::ULong i = 0; i < groups.length(); ++i) FromWire(body.gmods()[i].group, groups[i]);
      return St::GroupModSeqToSpecObjectList(groups, so);
    }
    case K_CHANGE: return ToTree<::NlsChange>(body.chg(), St::ChangeToSpecObject, so);
    case K_CHANGE_SEQ: return ToTree<::NlsChangeSeq>(body.chgs(), St::ChangeSeqToSpecObjectList, so);
    case K_SPEC_EXPRESSION: return ToTree<::NlsSpecExpression>(body.se(), St::SpecExpressionToSpecObject, so);
    case K_BASIC_EFFECTIVITY: return ToTree<::NlsBasicEffectivity>(body.be(), St::BasicEffectivityToSpecObject, so);
    case K_BASIC_EFFECTIVITY_SEQ:
      return ToTree<::NlsBasicEffectivitySeq>(body.bes(), St::BasicEffectivitySeqToSpecObjectList, so);
    case K_DOMAIN_EFFECTIVITY: return ToTree<::NlsDomainEffectivity>(body.de(), St::DomainEffectivityToSpecObject, so);
    case K_DOMAIN_EFFECTIVITY_SEQ:
      return ToTree<::NlsDomainEffectivitySeq>(body.des(), St::DomainEffectivitySeqToSpecObjectList, so);
    default: return S_FALSE;  // a live model object: bound by uuid, not streamed
  }
}

int Pull(const std::string& address, const std::string& domain, const std::string& file) {
  std::unique_ptr<CfgServerClient> client = Connect("pull", address);
  if (!client) return 1;
  if (KeepEverythingMade() != 0) return 1;
  CfgServer::KindSeq kinds;
  kinds.length(static_cast<CORBA::ULong>(kShapes.size()));
  CORBA::ULong k = 0;
  for (const auto& shape : kShapes) kinds[k++] = shape.first;
  std::map<std::string, int> made;
  CORBA::ULongLong after = 0;
  std::string error;
  for (;;) {
    CfgServer::RecordSeq_var page;
    HRESULT hr = client->Call([&](CfgServer::Store_ptr store) { page = store->list(kinds, domain.c_str(), after, kBatch); },
                              error);
    if (Failed("pull", hr, error)) return 1;
    for (CORBA::ULong i = 0; i < page->length(); ++i) {
      KroISpecObject_var so;
      if (FAILED(hr = ToSpecObject(page[i].body, so)) || !so) {
        std::fprintf(stderr, "cfgso pull: a %s record could not be made a spec object (%s)\n",
                     kShapes.at(page[i].body._d()), ResultText(hr).c_str());
        return 1;
      }
      ++made[kShapes.at(page[i].body._d())];
      after = page[i].seq;
    }
    if (page->length() < kBatch) break;
  }
  if (SaveWhatWasMade(file.c_str()) != 0) return 1;
  int total = 0;
  for (const auto& entry : made) total += entry.second;
  std::printf("%s: %d record(s) from %s\n", file.c_str(), total, address.c_str());
  for (const auto& [type, count] : made) std::printf("  %6d %s\n", count, type.c_str());
  return 0;
}

int Query(const QueryOptions& options, const std::string& address) {
  CfgServer::Point point;
  point.domain = options.domain.c_str();
  point.hasDate = !options.date.empty();
  point.date = 0;
  if (point.hasDate) {
    std::int64_t seconds = 0;
    if (!KroCfgEffectivityPoint::ParseDate(options.date, seconds)) {
      std::fprintf(stderr, "cfgso query: --date %s is not a date of the form YYYY-MM-DD\n", options.date.c_str());
      return 2;
    }
    point.date = seconds;
  }
  point.hasRank = options.rank.has_value();
  point.rank = options.rank.value_or(0);
  point.chosen.length(static_cast<CORBA::ULong>(options.specs.size()));
  for (std::size_t i = 0; i < options.specs.size(); ++i) point.chosen[static_cast<CORBA::ULong>(i)] = options.specs[i].c_str();
  point.mode150 = options.mode150;

  std::unique_ptr<CfgServerClient> client = Connect("query", address);
  if (!client) return 1;
  CfgServer::Hits_var answer;
  std::string error;
  HRESULT hr = client->Call([&](CfgServer::Store_ptr store) { answer = store->query(point); }, error);
  if (Failed("query", hr, error)) return 1;
  const CORBA::ULong count = answer->seqs.length();
  if (answer->ids.length() != 16 * count || answer->kinds.length() != count || answer->elements.length() != count ||
      answer->basics.length() != count) {
    std::fprintf(stderr, "cfgso query: the server's answer has columns of different lengths\n");
    return 1;
  }
  // Records the server could not read hold nowhere: named, and the query fails, as a file query does.
  const CORBA::ULong damaged = answer->damaged.length() / 16;
  for (CORBA::ULong i = 0; i < damaged; ++i)
    std::fprintf(stderr, "cfgso query: record %s is damaged: %s\n", Hex(answer->damaged.get_buffer() + 16 * i).c_str(),
                 ResultText(KRO_E_DAMAGED_EFFECTIVITY).c_str());
  const int status = damaged ? 1 : 0;
  std::vector<Hit> hits;
  for (CORBA::ULong i = 0; i < count; ++i)
    hits.push_back({answer->ids.get_buffer() + 16 * i, answer->kinds[i], answer->elements[i], answer->basics[i]});
  if (options.json) {
    std::vector<ServerQueryHit> rows;
    rows.reserve(hits.size());
    for (const Hit& hit : hits) rows.push_back({Hex(hit.id), HitType(hit), hit.element, hit.basic});
    PrintServerHitsJson(rows);
    return status;
  }
  std::printf("%s: %u record(s) hold\n", address.c_str(), count);
  for (const Hit& hit : hits) {
    std::string where = "record " + Hex(hit.id);
    if (hit.element) where += " element " + std::to_string(hit.element);
    if (hit.basic > 0)
      std::printf("%s (type %s): basic effectivity %u\n", where.c_str(), HitType(hit).c_str(), hit.basic);
    else
      std::printf("%s (type %s): its expression\n", where.c_str(), HitType(hit).c_str());
  }
  return status;
}

}  // namespace

bool CfgsoServerCommands::Available() { return true; }

int CfgsoServerCommands::Run(Command command, const ServerOptions& options, const QueryOptions& query) {
  try {
    if (command == Command::Push) return Push(options.file, options.server);
    if (command == Command::Pull) return Pull(options.server, options.domain, options.file);
    if (query.file.empty() == options.server.empty()) {
      std::fprintf(stderr, "cfgso query: give FILE or --server ADDRESS (one of them)\n");
      return 2;
    }
    return Query(query, options.server);
  } catch (const CORBA::Exception& e) {
    std::fprintf(stderr, "cfgso: unexpected CORBA exception %s\n", e._name());
    return 1;
  }
}

#else  // built without omniORB: the commands say so

const char* ServerResultName(HRESULT) { return nullptr; }

bool CfgsoServerCommands::Available() { return false; }

int CfgsoServerCommands::Run(Command command, const ServerOptions& options, const QueryOptions&) {
  if (command == Command::Query && options.server.empty()) {
    std::fprintf(stderr, "cfgso query: give FILE or --server ADDRESS (one of them)\n");
    return 2;
  }
  std::fprintf(stderr, "cfgso: this build has no server client (it needs omniORB: KRO_BUILD_SERVER)\n");
  return 1;
}

#endif
