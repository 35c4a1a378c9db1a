#include "CfgServerStore.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <random>
#include <stdexcept>

#include <sqlite3.h>

namespace {

// The uuids' uniqueness is kept by the server in memory (a database made before kept a UNIQUE index
// on them, which still holds there).
const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS record ("
    "  seq INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  uuid BLOB NOT NULL CHECK (length(uuid) = 16),"
    "  kind INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  domain TEXT NOT NULL,"
    "  body BLOB NOT NULL);"
    "CREATE INDEX IF NOT EXISTS record_kind_domain ON record (kind, domain);";

void NewUuid(CORBA::Octet* id) {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  for (int half = 0; half < 2; ++half) {
    std::uint64_t bits = generator();
    std::memcpy(id + half * 8, &bits, 8);
  }
  id[6] = static_cast<CORBA::Octet>((id[6] & 0x0F) | 0x40);  // version 4, random
  id[8] = static_cast<CORBA::Octet>((id[8] & 0x3F) | 0x80);
}

CfgServer::Uuid ToUuid(const CORBA::Octet* octets) {
  CfgServer::Uuid id;
  id.length(16);
  std::memcpy(id.get_buffer(), octets, 16);
  return id;
}

std::string Field(const char* array, CORBA::ULong index, const char* member = nullptr) {
  return std::string(array) + "[" + std::to_string(index) + "]" + (member ? member : "");
}

}  // namespace

// BEGIN IMMEDIATE on construction, ROLLBACK unless committed.
class CfgServerStore::Transaction {
 public:
  Transaction(CfgServerStore& store, bool write) : m_store(store), m_write(write) {
    m_store.Step(write ? m_store.m_beginWrite : m_store.m_begin, write ? "BEGIN IMMEDIATE" : "BEGIN");
  }
  ~Transaction() {
    if (!m_done) {
      sqlite3_step(m_store.m_rollback);
      sqlite3_reset(m_store.m_rollback);
    }
  }
  void Commit() {
    m_store.Step(m_store.m_commit, "COMMIT");
    m_done = true;
    if (m_write) ++m_store.m_commits;
  }

 private:
  CfgServerStore& m_store;
  bool m_write;
  bool m_done = false;
};

CfgServerStore::CfgServerStore(const std::string& path) : m_path(path) {
  // No count of SQLite's memory is kept: keeping it takes a process-wide lock on every allocation.
  // (Refused once SQLite is in use in the process, which changes nothing else.)
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
    sqlite3_close(m_db);
    throw std::runtime_error("cannot open " + path + ": " + message);
  }
  // A server that is still closing the file is waited for; one that keeps it is not.
  sqlite3_busy_timeout(m_db, 3000);
  try {
    // One process holds the file: no file lock is taken and dropped around every transaction (two
    // system calls of every request), the log's index lives in this process's memory, and the uuids
    // read at start stay true. Set before WAL mode, which then keeps no shared-memory file.
    Exec("PRAGMA locking_mode=EXCLUSIVE");
    // A new database takes 4 KiB pages (an existing one keeps its own): a batch's rows append at the
    // end, and each commit rewrites the last, partly filled pages, which larger pages only make larger.
    Exec("PRAGMA page_size=4096");
    Exec("PRAGMA journal_mode=WAL");
    // In WAL mode a commit survives the process's death at this level; a power cut may lose the last.
    Exec("PRAGMA synchronous=NORMAL");
    // A 64 MiB cache and a checkpoint every 256 MiB of log (below). The file is not mapped: with a
    // mapping every page read first asks the log's index whether the page is in the log.
    Exec("PRAGMA cache_size=-65536");
    Exec("PRAGMA mmap_size=0");
    Exec(kSchema);
    LoadUuids();
    {
      sqlite3_stmt* pageSize = Prepare("PRAGMA page_size");
      const int bytes = sqlite3_step(pageSize) == SQLITE_ROW ? sqlite3_column_int(pageSize, 0) : 4096;
      sqlite3_finalize(pageSize);
      Exec(("PRAGMA wal_autocheckpoint=" + std::to_string((256 << 20) / (bytes > 0 ? bytes : 4096))).c_str());
    }
    // Prepared once: parsing them took a good part of a small request.
    m_begin = Prepare("BEGIN");
    m_beginWrite = Prepare("BEGIN IMMEDIATE");
    m_commit = Prepare("COMMIT");
    m_rollback = Prepare("ROLLBACK");
    m_insert = Prepare("INSERT INTO record (uuid, kind, name, domain, body) VALUES (?, ?, ?, ?, ?)");
    m_update = Prepare("UPDATE record SET kind = ?, name = ?, domain = ?, body = ? WHERE seq = ?");
    m_select = Prepare("SELECT uuid, seq, body FROM record WHERE seq = ?");
    m_delete = Prepare("DELETE FROM record WHERE seq = ?");
  } catch (const CfgServer::StorageFailure& e) {
    std::string reason = e.reason.in();
    // The members are destroyed as the constructor unwinds: only what they do not own is released.
    Close();
    throw std::runtime_error("cannot use " + path + " as the server's database: " + reason);
  }
}

CfgServerStore::~CfgServerStore() { Close(); }

void CfgServerStore::Close() {
  for (sqlite3_stmt* s : {m_begin, m_beginWrite, m_commit, m_rollback, m_insert, m_update, m_select, m_delete})
    sqlite3_finalize(s);
  m_begin = m_beginWrite = m_commit = m_rollback = nullptr;
  m_insert = m_update = m_select = m_delete = nullptr;
  if (m_db) sqlite3_close(m_db);
  m_db = nullptr;
}

sqlite3_stmt* CfgServerStore::Prepare(const char* sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK) Failure(sql);
  return statement;
}

void CfgServerStore::Step(sqlite3_stmt* statement, const char* what) {
  const int rc = sqlite3_step(statement);
  sqlite3_reset(statement);
  if (rc != SQLITE_DONE && rc != SQLITE_ROW) Failure(what);
}

void CfgServerStore::Exec(const char* sql) {
  if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Failure(sql);
}

void CfgServerStore::Failure(const char* what) {
  std::string reason = std::string(what) + ": " + sqlite3_errmsg(m_db);
  if (sqlite3_errcode(m_db) == SQLITE_BUSY) reason += " (another server has it open)";
  throw CfgServer::StorageFailure(reason.c_str());
}

CfgServerStore::Key CfgServerStore::ToKey(const CfgServer::Uuid& id) {
  Key key;
  std::memcpy(key.data(), id.get_buffer(), 16);
  return key;
}

void CfgServerStore::LoadUuids() {
  sqlite3_stmt* all = Prepare("SELECT uuid, seq FROM record");
  int rc;
  while ((rc = sqlite3_step(all)) == SQLITE_ROW) {
    Key key;
    if (sqlite3_column_bytes(all, 0) != 16) rc = SQLITE_CORRUPT;
    else std::memcpy(key.data(), sqlite3_column_blob(all, 0), 16);
    if (rc != SQLITE_ROW || !m_seqs.Insert(key, sqlite3_column_int64(all, 1))) {
      sqlite3_finalize(all);
      throw CfgServer::StorageFailure("reading the uuids: a uuid not of 16 octets, or stored twice");
    }
  }
  sqlite3_finalize(all);
  if (rc != SQLITE_DONE) Failure("reading the uuids");
}

void CfgServerStore::Encode(const CfgServer::Content& body, std::vector<unsigned char>& out) {
  cdrEncapsulationStream stream;
  body >>= stream;
  const auto* data = static_cast<const unsigned char*>(stream.bufPtr());
  out.assign(data, data + stream.bufSize());
}

void CfgServerStore::Decode(const void* data, std::size_t size, CfgServer::Content& body) {
  cdrEncapsulationStream stream(static_cast<const CORBA::Octet*>(data), static_cast<CORBA::ULong>(size), 1);
  body <<= stream;
}

void CfgServerStore::Describe(const CfgServer::Content& body, std::string& name, std::string& domain) {
  using namespace CfgServer;
  name.clear();
  domain.clear();
  switch (body._d()) {
    case K_BASE_OBJECT: name = body.bo().name.text.in(); break;
    case K_XEFFECTIVITY_VALUES: domain = body.xev().domain.text.in(); break;
    case K_MODIFICATION: name = body.mod().bo.name.text.in(); break;
    case K_GROUP_MOD: name = body.gmod().group.bo.name.text.in(); break;
    case K_CHANGE: name = body.chg().op_str.text.in(); break;
    case K_SPEC_EXPRESSION: domain = body.se().domain.text.in(); break;
    case K_BASIC_EFFECTIVITY: domain = body.be().se.domain.text.in(); break;
    case K_DOMAIN_EFFECTIVITY: domain = body.de().domain.text.in(); break;
    case K_CATEGORY: name = body.category().name.in(); break;
    case K_SPECIFICATION: name = body.specification().name.in(); break;
    case K_SUBSCRIBER: name = body.subscriber().name.in(); break;
    case K_GROUP: name = body.grp().name.in(); break;
    case K_MODEL_MODIFICATION: name = body.modification().name.in(); break;
    case K_CONTEXT: name = body.ctx().name.in(); break;
    case K_FILTER:
      name = body.filter().id.in();
      domain = body.filter().domain.in();
      break;
    default: break;  // sequences and values: listed by kind alone
  }
}

CfgServer::PackedUuids* CfgServerStore::Create(const CfgServer::RecordSeq& records) {
  std::lock_guard<std::mutex> lock(m_mutex);
  CfgServer::PackedUuids_var ids = new CfgServer::PackedUuids;
  ids->length(records.length() * 16);
  std::vector<unsigned char> body;
  std::string name, domain;
  // The uuids are taken as they are stored and given back unless the transaction commits.
  std::vector<Key> taken;
  taken.reserve(records.length());
  struct Undo {
    CfgServerUuidTable& seqs;
    std::vector<Key>& taken;
    bool committed = false;
    ~Undo() {
      if (!committed)
        for (const Key& key : taken) seqs.Erase(key);
    }
  } undo{m_seqs, taken};
  for (CORBA::ULong i = 0; i < records.length(); ++i)
    if (records[i].id.length() == 16) m_seqs.Prefetch(ToKey(records[i].id));
  Transaction transaction(*this, true);
  for (CORBA::ULong i = 0; i < records.length(); ++i) {
    const CfgServer::Record& record = records[i];
    CORBA::Octet* id = ids->get_buffer() + 16 * i;
    if (record.id.length() == 0) NewUuid(id);
    else std::memcpy(id, record.id.get_buffer(), 16);
    Key key;
    std::memcpy(key.data(), id, 16);
    if (m_seqs.Find(key) != 0) throw CfgServer::DuplicateUuid(Field("records", i, ".id").c_str(), ToUuid(id));
    Encode(record.body, body);
    Describe(record.body, name, domain);
    sqlite3_reset(m_insert);
    sqlite3_bind_blob(m_insert, 1, id, 16, SQLITE_STATIC);
    sqlite3_bind_int(m_insert, 2, static_cast<int>(record.body._d()));
    sqlite3_bind_text(m_insert, 3, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_bind_text(m_insert, 4, domain.data(), static_cast<int>(domain.size()), SQLITE_STATIC);
    sqlite3_bind_blob(m_insert, 5, body.data(), static_cast<int>(body.size()), SQLITE_STATIC);
    int rc = sqlite3_step(m_insert);
    // A database made with the UNIQUE index on uuids may still refuse one.
    if (rc == SQLITE_CONSTRAINT) {
      sqlite3_reset(m_insert);
      throw CfgServer::DuplicateUuid(Field("records", i, ".id").c_str(), ToUuid(id));
    }
    if (rc != SQLITE_DONE) Failure("storing a record");
    // Taken now, so that the same uuid later in the batch is a duplicate.
    m_seqs.Insert(key, sqlite3_last_insert_rowid(m_db));
    taken.push_back(key);
  }
  sqlite3_reset(m_insert);
  transaction.Commit();
  undo.committed = true;
  return ids._retn();
}

void CfgServerStore::Update(const CfgServer::RecordSeq& records) {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<unsigned char> body;
  std::string name, domain;
  Transaction transaction(*this, true);
  for (CORBA::ULong i = 0; i < records.length(); ++i) {
    const CfgServer::Record& record = records[i];
    const std::int64_t seq = m_seqs.Find(ToKey(record.id));
    if (seq == 0) throw CfgServer::UnknownUuid(Field("records", i, ".id").c_str(), record.id);
    Encode(record.body, body);
    Describe(record.body, name, domain);
    sqlite3_reset(m_update);
    sqlite3_bind_int(m_update, 1, static_cast<int>(record.body._d()));
    sqlite3_bind_text(m_update, 2, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_bind_text(m_update, 3, domain.data(), static_cast<int>(domain.size()), SQLITE_STATIC);
    sqlite3_bind_blob(m_update, 4, body.data(), static_cast<int>(body.size()), SQLITE_STATIC);
    sqlite3_bind_int64(m_update, 5, seq);
    if (sqlite3_step(m_update) != SQLITE_DONE) Failure("updating a record");
    if (sqlite3_changes(m_db) == 0) {
      sqlite3_reset(m_update);
      throw CfgServer::StorageFailure("updating a record: the row of a stored uuid is missing");
    }
  }
  sqlite3_reset(m_update);
  transaction.Commit();
}

void CfgServerStore::ReadRow(sqlite3_stmt* statement, CfgServer::Record& out) {
  const void* uuid = sqlite3_column_blob(statement, 0);
  out.id.length(16);
  std::memcpy(out.id.get_buffer(), uuid, 16);
  out.seq = static_cast<CORBA::ULongLong>(sqlite3_column_int64(statement, 1));
  Decode(sqlite3_column_blob(statement, 2), static_cast<std::size_t>(sqlite3_column_bytes(statement, 2)), out.body);
}

void CfgServerStore::ReadSeq(std::int64_t seq, CfgServer::Record& out) {
  sqlite3_reset(m_select);
  sqlite3_bind_int64(m_select, 1, seq);
  const int rc = sqlite3_step(m_select);
  if (rc == SQLITE_DONE) {
    sqlite3_reset(m_select);
    throw CfgServer::StorageFailure("reading a record: the row of a stored uuid is missing");
  }
  if (rc != SQLITE_ROW) Failure("reading a record");
  ReadRow(m_select, out);
  sqlite3_reset(m_select);
}

CfgServer::RecordSeq* CfgServerStore::Read(const CfgServer::UuidSeq& ids) {
  std::lock_guard<std::mutex> lock(m_mutex);
  CfgServer::RecordSeq_var records = new CfgServer::RecordSeq;
  records->length(ids.length());
  // One row is read in the statement's own transaction; several in one, so that they agree.
  std::optional<Transaction> transaction;
  if (ids.length() > 1) transaction.emplace(*this, false);
  for (CORBA::ULong i = 0; i < ids.length(); ++i) {
    const std::int64_t seq = m_seqs.Find(ToKey(ids[i]));
    if (seq == 0) throw CfgServer::UnknownUuid(Field("ids", i).c_str(), ids[i]);
    ReadSeq(seq, records[i]);
  }
  if (transaction) transaction->Commit();
  return records._retn();
}

CfgServer::Record* CfgServerStore::ReadOne(const CfgServer::Uuid& id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const std::int64_t seq = m_seqs.Find(ToKey(id));
  if (seq == 0) throw CfgServer::UnknownUuid("id", id);
  CfgServer::Record_var record = new CfgServer::Record;
  ReadSeq(seq, record.inout());
  return record._retn();
}

CfgServer::RecordSeq* CfgServerStore::ReadLinked(const CfgServer::Uuid& id, References references) {
  std::lock_guard<std::mutex> lock(m_mutex);
  // A specification and its category is the common answer: room for a few without reallocating.
  CfgServer::RecordSeq_var records = new CfgServer::RecordSeq(4);
  std::vector<Key> wanted{ToKey(id)};
  std::vector<const CfgServer::Uuid*> refs;
  Transaction transaction(*this, false);
  // Breadth first: the one asked for, what it refers to, what those refer to.
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    const std::int64_t seq = m_seqs.Find(wanted[i]);
    if (seq == 0) throw CfgServer::UnknownUuid(i ? "id (a record it refers to)" : "id", ToUuid(wanted[i].data()));
    const CORBA::ULong n = records->length();
    records->length(n + 1);
    ReadSeq(seq, records[n]);
    refs.clear();
    references(records[n].body, refs);
    for (const CfgServer::Uuid* ref : refs) {
      if (ref->length() != 16) continue;  // refused on the way in
      const Key key = ToKey(*ref);
      if (std::find(wanted.begin(), wanted.end(), key) == wanted.end()) wanted.push_back(key);
    }
  }
  transaction.Commit();
  return records._retn();
}

CfgServer::RecordSeq* CfgServerStore::List(const CfgServer::KindSeq& kinds, const char* domain, std::uint64_t after,
                                           std::uint32_t max) {
  std::string sql = "SELECT uuid, seq, body FROM record WHERE seq > ?";
  if (kinds.length()) {
    sql += " AND kind IN (";
    for (CORBA::ULong i = 0; i < kinds.length(); ++i) sql += (i ? ", " : "") + std::to_string(int(kinds[i]));
    sql += ")";
  }
  if (domain && *domain) sql += " AND domain = ?";
  sql += " ORDER BY seq LIMIT ?";
  std::lock_guard<std::mutex> lock(m_mutex);
  sqlite3_stmt* statement = Prepare(sql.c_str());
  CfgServer::RecordSeq_var records = new CfgServer::RecordSeq;
  try {
    Transaction transaction(*this, false);
    int column = 1;
    sqlite3_bind_int64(statement, column++, static_cast<sqlite3_int64>(after));
    if (domain && *domain) sqlite3_bind_text(statement, column++, domain, -1, SQLITE_STATIC);
    sqlite3_bind_int64(statement, column, max);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      CORBA::ULong n = records->length();
      records->length(n + 1);
      ReadRow(statement, records[n]);
    }
    if (rc != SQLITE_DONE) Failure("listing records");
    transaction.Commit();
  } catch (...) {
    sqlite3_finalize(statement);
    throw;
  }
  sqlite3_finalize(statement);
  return records._retn();
}

void CfgServerStore::Remove(const CfgServer::UuidSeq& ids) {
  std::lock_guard<std::mutex> lock(m_mutex);
  // The uuids leave the map as their rows go, and come back unless the transaction commits. One
  // named twice is unknown the second time.
  struct Undo {
    CfgServerUuidTable& seqs;
    std::vector<std::pair<Key, std::int64_t>> removed;
    bool committed = false;
    ~Undo() {
      if (!committed)
        for (const auto& [key, seq] : removed) seqs.Insert(key, seq);
    }
  } undo{m_seqs, {}};
  undo.removed.reserve(ids.length());
  Transaction transaction(*this, true);
  for (CORBA::ULong i = 0; i < ids.length(); ++i) {
    const Key key = ToKey(ids[i]);
    const std::int64_t seq = m_seqs.Find(key);
    if (seq == 0) throw CfgServer::UnknownUuid(Field("ids", i).c_str(), ids[i]);
    sqlite3_reset(m_delete);
    sqlite3_bind_int64(m_delete, 1, seq);
    if (sqlite3_step(m_delete) != SQLITE_DONE) Failure("removing a record");
    undo.removed.emplace_back(key, seq);
    m_seqs.Erase(key);
  }
  sqlite3_reset(m_delete);
  transaction.Commit();
  undo.committed = true;
}

std::uint64_t CfgServerStore::Generation() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_commits;
}

void CfgServerStore::Scan(const std::vector<CfgServer::Kind>& kinds, const Visitor& visit) {
  std::string sql = "SELECT uuid, seq, body FROM record";
  for (std::size_t i = 0; i < kinds.size(); ++i)
    sql += (i ? ", " : " WHERE kind IN (") + std::to_string(int(kinds[i])) + (i + 1 == kinds.size() ? ")" : "");
  sql += " ORDER BY seq";
  std::lock_guard<std::mutex> lock(m_mutex);
  sqlite3_stmt* statement = Prepare(sql.c_str());
  try {
    Transaction transaction(*this, false);
    CfgServer::Record record;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      ReadRow(statement, record);
      visit(record.seq, record.id, record.body);
    }
    if (rc != SQLITE_DONE) Failure("reading the effectivities");
    transaction.Commit();
  } catch (...) {
    sqlite3_finalize(statement);
    throw;
  }
  sqlite3_finalize(statement);
}
