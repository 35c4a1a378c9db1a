// The Store interface of CfgServer.idl: checks every request whole, then hands it to the database in
// one transaction. Nothing is kept between calls but the query's index, which the database's
// changes invalidate.
#pragma once

#include <memory>

#include "CfgServer.hh"
#include "CfgServerStore.h"

class CfgServerEffectivity;

class CfgServerServant : public POA_CfgServer::Store {
 public:
  explicit CfgServerServant(CfgServerStore& store);
  ~CfgServerServant() override;

  CfgServer::PackedUuids* create(const CfgServer::RecordSeq& records) override;
  void update(const CfgServer::RecordSeq& records) override;
  CfgServer::Record* read(const CfgServer::Uuid& id) override;
  CfgServer::RecordSeq* readMany(const CfgServer::UuidSeq& ids) override;
  CfgServer::RecordSeq* list(const CfgServer::KindSeq& kinds, const char* domain, CORBA::ULongLong after,
                             CORBA::ULong max) override;
  void remove(const CfgServer::UuidSeq& ids) override;
  CfgServer::Hits* query(const CfgServer::Point& at) override;
  CfgServer::RecordSeq* readLinked(const CfgServer::Uuid& id) override;

 private:
  CfgServerStore& m_store;
  // Held apart so that the program's main, which makes the servant, compiles without the index's
  // headers.
  std::unique_ptr<CfgServerEffectivity> m_effectivity;
};
