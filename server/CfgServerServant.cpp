#include "CfgServerServant.h"

#include <exception>

#include "CfgServerConvert.hh"

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

CfgServer::UuidSeq* CfgServerServant::create(const CfgServer::RecordSeq& records) {
  CheckRecords(records, false);
  return Guard([&] { return m_store.Create(records); });
}

void CfgServerServant::update(const CfgServer::RecordSeq& records) {
  CheckRecords(records, true);
  Guard([&] { m_store.Update(records); });
}

CfgServer::Record* CfgServerServant::read(const CfgServer::Uuid& id) {
  CfgServerChecker c("id");
  c.Uuid(id, false);
  CfgServer::UuidSeq ids;
  ids.length(1);
  ids[0] = id;
  return Guard([&] {
    CfgServer::RecordSeq_var records;
    try {
      records = m_store.Read(ids);
    } catch (const CfgServer::UnknownUuid& e) {
      throw CfgServer::UnknownUuid("id", e.id);
    }
    return new CfgServer::Record(records[0]);
  });
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

CfgServer::HitSeq* CfgServerServant::query(const CfgServer::Point& at) {
  CfgServerChecker c("at");
  Check(at, c);
  return Guard([&] { return m_effectivity.Query(m_store, at); });
}
