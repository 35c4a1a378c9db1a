// The server's database: one SQLite file in WAL mode, one table of records, held by one server
// process at a time. Every public call is one transaction, whole or not at all; calls from the ORB's
// threads are taken one at a time. The uuids are looked up in memory: the table has no index on them.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "CfgServer.hh"
#include "CfgServerUuidTable.h"

struct sqlite3;
struct sqlite3_stmt;

class CfgServerStore {
 public:
  // Opens or creates the file and reads its uuids; throws std::runtime_error naming it when that
  // fails, among others when another server has it open.
  explicit CfgServerStore(const std::string& path);
  ~CfgServerStore();
  CfgServerStore(const CfgServerStore&) = delete;
  CfgServerStore& operator=(const CfgServerStore&) = delete;

  // Each throws the IDL's exceptions: DuplicateUuid, UnknownUuid (naming records[i].id or ids[i]),
  // StorageFailure. The records have passed CfgServerChecker.
  CfgServer::PackedUuids* Create(const CfgServer::RecordSeq& records);
  void Update(const CfgServer::RecordSeq& records);
  CfgServer::RecordSeq* Read(const CfgServer::UuidSeq& ids);
  CfgServer::Record* ReadOne(const CfgServer::Uuid& id);
  // A record and every record it refers to, transitively, the one asked for first, in one read
  // transaction. references gives the uuids a body refers to; an unknown one is UnknownUuid.
  using References = void (*)(const CfgServer::Content& body, std::vector<const CfgServer::Uuid*>& out);
  CfgServer::RecordSeq* ReadLinked(const CfgServer::Uuid& id, References references);
  CfgServer::RecordSeq* List(const CfgServer::KindSeq& kinds, const char* domain, std::uint64_t after, std::uint32_t max);
  void Remove(const CfgServer::UuidSeq& ids);

  // Changes whenever a commit is made.
  std::uint64_t Generation();
  // Every record of the kinds, in order of creation, in one read transaction.
  using Visitor = std::function<void(std::uint64_t seq, const CfgServer::Uuid& id, const CfgServer::Content& body)>;
  void Scan(const std::vector<CfgServer::Kind>& kinds, const Visitor& visit);

  // The name and the domain a record is listed by.
  static void Describe(const CfgServer::Content& body, std::string& name, std::string& domain);
  static void Encode(const CfgServer::Content& body, std::vector<unsigned char>& out);
  static void Decode(const void* data, std::size_t size, CfgServer::Content& body);

 private:
  class Transaction;
  using Key = CfgServerUuidTable::Key;
  static Key ToKey(const CfgServer::Uuid& id);
  // The row of seq into out; a row missing under a known uuid is a StorageFailure.
  void ReadSeq(std::int64_t seq, CfgServer::Record& out);
  void LoadUuids();
  void Close();
  sqlite3_stmt* Prepare(const char* sql);
  void Exec(const char* sql);
  void Step(sqlite3_stmt* statement, const char* what);
  [[noreturn]] void Failure(const char* what);
  void ReadRow(sqlite3_stmt* statement, CfgServer::Record& out);

  sqlite3* m_db = nullptr;
  std::string m_path;
  std::mutex m_mutex;
  std::uint64_t m_commits = 0;
  // Every stored uuid and its seq. Kept here rather than as a UNIQUE index: with random uuids every
  // commit of a batch rewrote pages all over that index into the log.
  CfgServerUuidTable m_seqs;
  sqlite3_stmt* m_begin = nullptr;
  sqlite3_stmt* m_beginWrite = nullptr;
  sqlite3_stmt* m_commit = nullptr;
  sqlite3_stmt* m_rollback = nullptr;
  sqlite3_stmt* m_insert = nullptr;
  sqlite3_stmt* m_update = nullptr;
  sqlite3_stmt* m_select = nullptr;
  sqlite3_stmt* m_delete = nullptr;
};
