#include "CfgServerServant.h"

#include <exception>
#include <string>
#include <vector>

#include "CfgServerConvert.hh"
#include "CfgServerEffectivity.h"

namespace {

using CfgServerConvert::Check;

void CheckRecords(const CfgServer::RecordSeq& records, bool idRequired) {
  CfgServerChecker c("records");
  c.Count(records.length());
  for (CORBA::ULong i = 0; i < records.length(); ++i) {
    c.Index(i);
    if (idRequired) {
      c.Enter("id");
      c.Uuid(records[i].id, false);
      c.Leave();
    }
    Check(records[i], c);
    c.Leave();
  }
}

// The checker is built only to name the fault: building it costs a small request an allocation.
void CheckId(const CfgServer::Uuid& id) {
  if (id.length() != 16) CfgServerChecker("id").Uuid(id, false);
}

void CheckIds(const CfgServer::UuidSeq& ids) {
  CfgServerChecker c("ids");
  c.Count(ids.length());
  for (CORBA::ULong i = 0; i < ids.length(); ++i) {
    c.Index(i);
    c.Uuid(ids[i], false);
    c.Leave();
  }
}

// What the database layer throws beyond the IDL's exceptions (memory, a damaged row) still reaches
// the client as a declared failure.
template <class F>
auto Guard(F call) -> decltype(call()) {
  try {
    return call();
  } catch (const CORBA::UserException&) {
    throw;
  } catch (const CORBA::SystemException&) {
    throw;
  } catch (const std::exception& e) {
    throw CfgServer::StorageFailure(e.what());
  }
}

}  // namespace

CfgServerServant::CfgServerServant(CfgServerStore& store)
    : m_store(store), m_effectivity(std::make_unique<CfgServerEffectivity>()) {}

CfgServerServant::~CfgServerServant() = default;

CfgServer::PackedUuids* CfgServerServant::create(const CfgServer::RecordSeq& records) {
  CheckRecords(records, false);
  return Guard([&] { return m_store.Create(records); });
}

void CfgServerServant::update(const CfgServer::RecordSeq& records) {
  CheckRecords(records, true);
  Guard([&] { m_store.Update(records); });
}

CfgServer::Record* CfgServerServant::read(const CfgServer::Uuid& id) {
  CheckId(id);
  return Guard([&] { return m_store.ReadOne(id); });
}

CfgServer::RecordSeq* CfgServerServant::readMany(const CfgServer::UuidSeq& ids) {
  CheckIds(ids);
  return Guard([&] { return m_store.Read(ids); });
}

CfgServer::RecordSeq* CfgServerServant::list(const CfgServer::KindSeq& kinds, const char* domain,
                                             CORBA::ULongLong after, CORBA::ULong max) {
  CfgServerChecker c("domain");
  c.Text(domain, nullptr);
  for (CORBA::ULong i = 0; i < kinds.length(); ++i)
    if (static_cast<CORBA::ULong>(kinds[i]) > static_cast<CORBA::ULong>(CfgServer::K_FILTER)) {
      CfgServerChecker k("kinds");
      k.Index(i);
      k.Fail("not a kind of record");
    }
  if (max > CfgServer::MAX_BATCH) max = CfgServer::MAX_BATCH;
  return Guard([&] { return m_store.List(kinds, domain, after, max); });
}

void CfgServerServant::remove(const CfgServer::UuidSeq& ids) {
  CheckIds(ids);
  Guard([&] { m_store.Remove(ids); });
}

CfgServer::Hits* CfgServerServant::query(const CfgServer::Point& at) {
  CfgServerChecker c("at");
  Check(at, c);
  return Guard([&] { return m_effectivity->Query(m_store, at); });
}

namespace {

// The uuids a live model object refers to; empty ones refer to nothing.
void References(const CfgServer::Content& body, std::vector<const CfgServer::Uuid*>& out) {
  auto add = [&](const CfgServer::Uuid& id) {
    if (id.length()) out.push_back(&id);
  };
  switch (body._d()) {
    case CfgServer::K_SPECIFICATION: add(body.specification().category); break;
    case CfgServer::K_GROUP:
      for (CORBA::ULong i = 0; i < body.grp().subscribers.length(); ++i) add(body.grp().subscribers[i]);
      break;
    case CfgServer::K_MODEL_MODIFICATION: add(body.modification().group); break;
    case CfgServer::K_FILTER: {
      const CfgServer::ModelFilter& filter = body.filter();
      add(filter.ctx);
      for (CORBA::ULong i = 0; i < filter.values.length(); ++i) {
        add(filter.values[i].condition);
        add(filter.values[i].modification);
      }
      break;
    }
    default: break;
  }
}

}  // namespace

CfgServer::RecordSeq* CfgServerServant::readLinked(const CfgServer::Uuid& id) {
  CheckId(id);
  return Guard([&] { return m_store.ReadLinked(id, References); });
}
