#include "KroCfgServerOmniProvider.h"

#include <ctime>

namespace {

using Object = KroCfgServerObject;

CfgServer::Uuid ToUuid(const Object::Uuid& from) {
  CfgServer::Uuid to;
  to.length(static_cast<CORBA::ULong>(from.size()));
  for (CORBA::ULong i = 0; i < to.length(); ++i) to[i] = from[i];
  return to;
}

Object::Uuid FromUuid(const CfgServer::Uuid& from) { return Object::Uuid(from.get_buffer(), from.get_buffer() + from.length()); }

CfgServer::DMX_OrbixTypes::DateCorba ToDate(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::int64_t FromDate(const CfgServer::DMX_OrbixTypes::DateCorba& d) {
  std::tm tm{};
  tm.tm_year = d.year - 1900, tm.tm_mon = d.month - 1, tm.tm_mday = d.day;
  tm.tm_hour = d.hour, tm.tm_min = d.minute, tm.tm_sec = d.second;
  return static_cast<std::int64_t>(timegm(&tm));
}

}  // namespace

void KroCfgServerOmniProvider::ToRecord(const Object& from, CfgServer::Record& to) {
  to.id = ToUuid(from.uuid);
  to.seq = 0;
  switch (from.kind) {
    case Object::Category: to.body.category(CfgServer::ModelCategory{from.name.c_str(), from.description.c_str()}); break;
    case Object::Specification: {
      CfgServer::ModelSpecification s;
      s.name = from.name.c_str(), s.description = from.description.c_str(), s.alias = from.alias.c_str();
      s.condition = from.condition.c_str(), s.category = ToUuid(from.ref);
      to.body.specification(s);
      break;
    }
    case Object::Subscriber: to.body.subscriber(CfgServer::ModelSubscriber{from.name.c_str(), from.flag}); break;
    case Object::Group: {
      CfgServer::ModelGroup g;
      g.name = "";
      g.subscribers.length(static_cast<CORBA::ULong>(from.refs.size()));
      for (CORBA::ULong i = 0; i < g.subscribers.length(); ++i) g.subscribers[i] = ToUuid(from.refs[i]);
      to.body.grp(g);
      break;
    }
    case Object::Modification: {
      CfgServer::ModelModification m;
      m.name = from.name.c_str(), m.firstEffectivity = from.first.c_str(), m.secondEffectivity = from.second.c_str();
      m.underAction = from.flag, m.group = ToUuid(from.ref);
      to.body.modification(m);
      break;
    }
    case Object::Context: to.body.ctx(CfgServer::ModelContext{from.name.c_str()}); break;
    case Object::Filter: {
      CfgServer::ModelFilter f;
      f.id = from.name.c_str(), f.domain = from.domain.c_str(), f.ctx = ToUuid(from.ref);
      f.mode = from.mode, f.mode150 = from.flag;
      f.values.length(static_cast<CORBA::ULong>(from.values.size()));
      for (CORBA::ULong i = 0; i < f.values.length(); ++i) {
        const Object::NormalValue& v = from.values[i];
        CfgServer::ModelNormalValue& w = f.values[i];
        if (v.hasDate) {
          w.value.optionalDate.length(1);
          w.value.optionalDate[0].start = ToDate(v.dateStart);
          w.value.optionalDate[0].end = ToDate(v.dateEnd);
        }
        if (v.hasRange) {
          w.value.optionalRange.length(1);
          w.value.optionalRange[0].start = v.rangeStart;
          w.value.optionalRange[0].end = v.rangeEnd;
        }
        if (!v.condition.empty()) {
          w.value.optionalSpec.length(1);
          w.value.optionalSpec[0].text = v.conditionName.c_str();
        }
        w.value.mlsStartName.text = v.startMilestone.c_str();
        w.value.mlsEndName.text = v.endMilestone.c_str();
        w.condition = ToUuid(v.condition);
        w.modification = ToUuid(v.modification);
      }
      to.body.filter(f);
      break;
    }
  }
}

bool KroCfgServerOmniProvider::FromRecord(const CfgServer::Record& from, Object& to, std::string& error) {
  to = Object();
  to.uuid = FromUuid(from.id);
  const CfgServer::Content& body = from.body;
  switch (body._d()) {
    case CfgServer::K_CATEGORY:
      to.kind = Object::Category, to.name = body.category().name.in(), to.description = body.category().description.in();
      return true;
    case CfgServer::K_SPECIFICATION: {
      const CfgServer::ModelSpecification& s = body.specification();
      to.kind = Object::Specification, to.name = s.name.in(), to.description = s.description.in();
      to.alias = s.alias.in(), to.condition = s.condition.in(), to.ref = FromUuid(s.category);
      return true;
    }
    case CfgServer::K_SUBSCRIBER:
      to.kind = Object::Subscriber, to.name = body.subscriber().name.in(), to.flag = body.subscriber().action;
      return true;
    case CfgServer::K_GROUP:
      to.kind = Object::Group;
      for (CORBA::ULong i = 0; i < body.grp().subscribers.length(); ++i) to.refs.push_back(FromUuid(body.grp().subscribers[i]));
      return true;
    case CfgServer::K_MODEL_MODIFICATION: {
      const CfgServer::ModelModification& m = body.modification();
      to.kind = Object::Modification, to.name = m.name.in(), to.first = m.firstEffectivity.in();
      to.second = m.secondEffectivity.in(), to.flag = m.underAction, to.ref = FromUuid(m.group);
      return true;
    }
    case CfgServer::K_CONTEXT: to.kind = Object::Context, to.name = body.ctx().name.in(); return true;
    case CfgServer::K_FILTER: {
      const CfgServer::ModelFilter& f = body.filter();
      to.kind = Object::Filter, to.name = f.id.in(), to.domain = f.domain.in(), to.ref = FromUuid(f.ctx);
      to.mode = f.mode, to.flag = f.mode150;
      for (CORBA::ULong i = 0; i < f.values.length(); ++i) {
        const CfgServer::ModelNormalValue& w = f.values[i];
        Object::NormalValue& v = to.values.emplace_back();
        if ((v.hasDate = w.value.optionalDate.length() == 1)) {
          v.dateStart = FromDate(w.value.optionalDate[0].start);
          v.dateEnd = FromDate(w.value.optionalDate[0].end);
        }
        if ((v.hasRange = w.value.optionalRange.length() == 1)) {
          v.rangeStart = w.value.optionalRange[0].start;
          v.rangeEnd = w.value.optionalRange[0].end;
        }
        if (w.value.optionalSpec.length() == 1) v.conditionName = w.value.optionalSpec[0].text.in();
        v.startMilestone = w.value.mlsStartName.text.in();
        v.endMilestone = w.value.mlsEndName.text.in();
        v.condition = FromUuid(w.condition);
        v.modification = FromUuid(w.modification);
      }
      return true;
    }
    default:
      error = "the record of that uuid is a stored structure, not a live model object";
      return false;
  }
}

HRESULT KroCfgServerOmniProvider::Ping(std::string& error) {
  bool missing = false;
  const HRESULT hr = m_client->Call([&](CfgServer::Store_ptr store) { missing = store->_non_existent(); }, error);
  if (SUCCEEDED(hr) && missing) {
    error = "no configuration server object at " + m_client->address();
    return KRO_E_SERVER_UNAVAILABLE;
  }
  return hr;
}

HRESULT KroCfgServerOmniProvider::Create(const std::vector<Object>& objects, std::string& error) {
  CfgServer::RecordSeq records;
  records.length(static_cast<CORBA::ULong>(objects.size()));
  for (CORBA::ULong i = 0; i < records.length(); ++i) ToRecord(objects[i], records[i]);
  return m_client->Call([&](CfgServer::Store_ptr store) { CfgServer::PackedUuids_var ids = store->create(records); }, error);
}

HRESULT KroCfgServerOmniProvider::ReadLinked(const Object::Uuid& uuid, std::vector<Object>& out, std::string& error) {
  CfgServer::RecordSeq_var records;
  const CfgServer::Uuid id = ToUuid(uuid);
  HRESULT hr = m_client->Call([&](CfgServer::Store_ptr store) { records = store->readLinked(id); }, error);
  if (FAILED(hr)) return hr;
  out.clear();
  for (CORBA::ULong i = 0; i < records->length(); ++i)
    if (!FromRecord(records[i], out.emplace_back(), error)) return KRO_E_UUID_NOT_BOUND;
  return S_OK;
}

// The entry point that the platform looks up.
extern "C" __attribute__((visibility("default"))) KroCfgServerProvider* KroCfgServerProviderOpen(
    int version, const char* address, unsigned timeoutMs, std::string* error) {
  if (version != KRO_CFG_SERVER_PROVIDER_VERSION) {
    *error = "the connection library speaks version " + std::to_string(KRO_CFG_SERVER_PROVIDER_VERSION) +
             " of the provider interface, the platform " + std::to_string(version);
    return nullptr;
  }
  std::unique_ptr<CfgServerClient> client;
  if (FAILED(CfgServerClient::Connect(address ? address : "", client, *error, timeoutMs))) return nullptr;
  return new KroCfgServerOmniProvider(std::move(client));
}
