// cfgso-server over loopback beside its peers, in one run:
// - reading one specification by uuid, beside a plain TCP echo of messages of the same sizes (another
//   process, over the same loopback) and beside the server's store answering the same lookup in this
//   process (SQLite on a file of its own: the server holds its file alone);
// - pushing 100 000 base objects in batches of 1 000, beside SQLite inserting the same rows in one
//   local transaction;
// - a query over 1 000 000 basic effectivities, beside the library's index answering it in process.
// The server is a cfgso-server of the benchmark's own on a free loopback port. Round trips are
// measured in wall time: the client's CPU time leaves out the server's work and the wait.
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "CfgServerClient.h"
#include "CfgServerEffectivity.h"
#include "CfgServerProcess.h"
#include "CfgServerStore.h"
#include "KroCfgEffectivityIndex.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSpecifications = 1000;
constexpr int kPushCount = 100'000, kPushBatch = 1000;
constexpr int kBasicCount = 1'000'000, kBasicBatch = 1000, kNames = 16, kExpressions = 64, kPoints = 64;

// GIOP 1.2 framing around omniORB's read(id): a request of 56 octets before the uuid's 20, a reply of
// 24 before the record (omniORB's trace, -ORBtraceLevel 25, shows these sizes).
constexpr std::size_t kRequestOverhead = 56, kReplyOverhead = 24;

CfgServer::Uuid RandomUuid(std::mt19937_64& random) {
  CfgServer::Uuid id;
  id.length(16);
  for (CORBA::ULong i = 0; i < 16; ++i) id[i] = static_cast<CORBA::Octet>(random());
  return id;
}

CfgServer::DMX_OrbixTypes::DateCorba Date(std::time_t t) {
  std::tm tm{};
  gmtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// One server for the whole run, with the specifications to read and the basic effectivities to query.
struct Server {
  CfgServerTempDir dir;
  CfgServerProcess process;
  std::unique_ptr<CfgServerClient> client;
  std::vector<CfgServer::Uuid> specifications;
  CfgServer::RecordSeq specificationRecords;
  std::size_t requestBytes = 0, replyBytes = 0;
  bool effectivitiesLoaded = false;
  std::string error;

  Server() {
    if (!process.Start(dir / "bench.db", {}, error)) return;
    if (FAILED(CfgServerClient::Connect(process.address(), client, error, 60000))) return;
    std::mt19937_64 random(29);
    CfgServer::RecordSeq records;
    records.length(kSpecifications);
    for (CORBA::ULong i = 0; i < records.length(); ++i) {
      CfgServer::ModelSpecification spec;
      spec.name = ("ENGINE-" + std::to_string(i)).c_str();
      spec.description = "a specification of the benchmark";
      spec.alias = ("E" + std::to_string(i)).c_str();
      spec.condition = "";
      records[i].id = RandomUuid(random);
      records[i].body.specification(spec);
    }
    if (!Call([&](CfgServer::Store_ptr store) { CfgServer::PackedUuids_var ids = store->create(records); })) return;
    for (CORBA::ULong i = 0; i < records.length(); ++i) specifications.push_back(records[i].id);
    specificationRecords = records;
    cdrMemoryStream reply;
    records[0].seq = 1;
    records[0] >>= reply;
    requestBytes = kRequestOverhead + 20;
    replyBytes = kReplyOverhead + reply.bufSize();
  }

  // A call's failure message goes to failure; error stays the start's.
  template <class F>
  bool Call(F call) {
    return SUCCEEDED(client->Call(call, failure));
  }
  std::string failure;

  bool ready() const { return client != nullptr && error.empty(); }
};

Server& TheServer() {
  static Server server;
  return server;
}

// The server process's CPU time so far (user and system), in seconds: the machine is shared, so
// the server rows also give the work done on both sides, which waits on other processes do not change.
double ServerCpuSeconds(pid_t pid) {
  std::FILE* stat = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (!stat) return 0;
  char line[1024] = {};
  const bool read = std::fgets(line, sizeof line, stat) != nullptr;
  std::fclose(stat);
  // The fields after the command's name, which ends at the last ')': utime and stime are 12th and 13th.
  const char* after = read ? std::strrchr(line, ')') : nullptr;
  unsigned long utime = 0, stime = 0;
  if (!after || std::sscanf(after + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2)
    return 0;
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Both sides' CPU time per iteration, as counters beside the wall time: the client's (the benchmark's
// own CPU time) and the server's.
class CpuCounters {
 public:
  explicit CpuCounters(pid_t server) : m_server(server), m_start(ServerCpuSeconds(server)) {}
  void Report(benchmark::State& state, double unit) const {
    if (state.iterations() == 0) return;
    state.counters["server_cpu"] = (ServerCpuSeconds(m_server) - m_start) * unit / static_cast<double>(state.iterations());
  }

 private:
  pid_t m_server;
  double m_start;
};

// The middle of the values, which it sorts.
double Median(std::vector<double>& values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// p50 and p99 of the calls' wall times, and calls per second, as counters.
void Latencies(benchmark::State& state, std::vector<double>& micros) {
  if (micros.empty()) return;
  std::sort(micros.begin(), micros.end());
  state.counters["p50_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
  state.counters["calls_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Server_ReadSpecification(benchmark::State& state) {
  Server& server = TheServer();
  if (!server.ready()) return state.SkipWithError(server.error.c_str());
  std::vector<double> micros;
  std::size_t i = 0;
  const CpuCounters cpu(server.process.pid());
  for (auto _ : state) {
    const CfgServer::Uuid& id = server.specifications[i++ % server.specifications.size()];
    const auto start = Clock::now();
    CfgServer::Record_var record = server.client->store()->read(id);
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    benchmark::DoNotOptimize(record->seq);
  }
  Latencies(state, micros);
  cpu.Report(state, 1e6);  // microseconds
}
BENCHMARK(BM_Server_ReadSpecification)->UseRealTime()->MinTime(2.0);

// ---- The plain TCP echo: a child process answering each request with a reply of the server's sizes ----

bool Full(ssize_t (*io)(int, void*, std::size_t), int fd, char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = io(fd, data, size);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}
ssize_t Read(int fd, void* data, std::size_t size) { return read(fd, data, size); }
ssize_t Write(int fd, void* data, std::size_t size) { return write(fd, data, size); }

struct Echo {
  pid_t pid = -1;
  int fd = -1;

  Echo(std::size_t requestBytes, std::size_t replyBytes) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      close(listener);
      return;
    }
    pid = fork();
    if (pid == 0) {
      int peer = accept(listener, nullptr, nullptr);
      int one = 1;
      setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      std::vector<char> request(requestBytes), reply(replyBytes, 'r');
      while (Full(Read, peer, request.data(), request.size()) && Full(Write, peer, reply.data(), reply.size())) {
      }
      _exit(0);
    }
    close(listener);
    fd = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      close(fd);
      fd = -1;
    }
  }
  ~Echo() {
    if (fd >= 0) close(fd);
    if (pid > 0) waitpid(pid, nullptr, 0);
  }
};

void BM_Peer_TcpEcho(benchmark::State& state) {
  Server& server = TheServer();
  if (!server.ready()) return state.SkipWithError(server.error.c_str());
  Echo echo(server.requestBytes, server.replyBytes);
  if (echo.fd < 0) return state.SkipWithError("no loopback echo");
  std::vector<char> request(server.requestBytes, 'q'), reply(server.replyBytes);
  std::vector<double> micros;
  for (auto _ : state) {
    const auto start = Clock::now();
    if (!Full(Write, echo.fd, request.data(), request.size()) || !Full(Read, echo.fd, reply.data(), reply.size()))
      return state.SkipWithError("the echo broke off");
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  Latencies(state, micros);
  state.counters["request_bytes"] = static_cast<double>(server.requestBytes);
  state.counters["reply_bytes"] = static_cast<double>(server.replyBytes);
}
BENCHMARK(BM_Peer_TcpEcho)->UseRealTime()->MinTime(2.0);

// The server's store in this process, on a file of its own holding the same specifications: the row
// by uuid, its body decoded.
void BM_Peer_SqliteRead(benchmark::State& state) {
  Server& server = TheServer();
  if (!server.ready()) return state.SkipWithError(server.error.c_str());
  CfgServerTempDir dir;
  CfgServerStore store(dir / "peer.db");
  CfgServer::PackedUuids_var ids = store.Create(server.specificationRecords);
  std::vector<double> micros;
  std::size_t i = 0;
  for (auto _ : state) {
    const CfgServer::Uuid& id = server.specifications[i++ % server.specifications.size()];
    const auto start = Clock::now();
    CfgServer::Record_var record = store.ReadOne(id);
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    benchmark::DoNotOptimize(record->seq);
  }
  Latencies(state, micros);
}
BENCHMARK(BM_Peer_SqliteRead)->UseRealTime()->MinTime(2.0);

// ---- Pushing 100 000 base objects ----

std::vector<CfgServer::RecordSeq> BaseObjects(std::mt19937_64& random) {
  std::vector<CfgServer::RecordSeq> batches(kPushCount / kPushBatch);
  int n = 0;
  for (auto& batch : batches) {
    batch.length(kPushBatch);
    for (CORBA::ULong i = 0; i < batch.length(); ++i, ++n) {
      CfgServer::NlsBaseObject bo;
      bo.name.text = ("part-" + std::to_string(n)).c_str();
      bo.type.text = "Part";
      bo.info.text = "benchmark sample";
      bo.uid = RandomUuid(random);
      batch[i].id = RandomUuid(random);
      batch[i].body.bo(bo);
    }
  }
  return batches;
}

// The same rows, the same table and settings as the server's, one transaction in this process.
class SqlitePeer {
 public:
  SqlitePeer() {
    sqlite3_open((m_dir / "peer.db").c_str(), &m_db);
    sqlite3_exec(m_db,
                 "PRAGMA locking_mode=EXCLUSIVE; PRAGMA page_size=4096; PRAGMA journal_mode=WAL;"
                 "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=65536;"
                 "PRAGMA cache_size=-65536; PRAGMA mmap_size=0;"
                 "CREATE TABLE record (seq INTEGER PRIMARY KEY AUTOINCREMENT,"
                 "  uuid BLOB NOT NULL CHECK (length(uuid) = 16), kind INTEGER NOT NULL,"
                 "  name TEXT NOT NULL, domain TEXT NOT NULL, body BLOB NOT NULL);"
                 "CREATE INDEX record_kind_domain ON record (kind, domain);",
                 nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(m_db, "INSERT INTO record (uuid, kind, name, domain, body) VALUES (?, ?, ?, ?, ?)", -1,
                       &m_insert, nullptr);
  }
  ~SqlitePeer() {
    sqlite3_finalize(m_insert);
    sqlite3_close(m_db);
  }
  SqlitePeer(const SqlitePeer&) = delete;
  SqlitePeer& operator=(const SqlitePeer&) = delete;

  // Null when every row went in and the commit was made, else SQLite's message.
  const char* Insert(const std::vector<CfgServer::RecordSeq>& batches) {
    if (!m_insert) return "the peer's table could not be made";
    sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (const auto& batch : batches)
      for (CORBA::ULong i = 0; i < batch.length(); ++i) {
        CfgServerStore::Encode(batch[i].body, m_body);
        CfgServerStore::Describe(batch[i].body, m_name, m_domain);
        sqlite3_bind_blob(m_insert, 1, batch[i].id.get_buffer(), 16, SQLITE_STATIC);
        sqlite3_bind_int(m_insert, 2, batch[i].body._d());
        sqlite3_bind_text(m_insert, 3, m_name.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(m_insert, 4, m_domain.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_blob(m_insert, 5, m_body.data(), static_cast<int>(m_body.size()), SQLITE_STATIC);
        if (sqlite3_step(m_insert) != SQLITE_DONE) return sqlite3_errmsg(m_db);
        sqlite3_reset(m_insert);
      }
    return sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK ? nullptr : sqlite3_errmsg(m_db);
  }

 private:
  CfgServerTempDir m_dir;
  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_insert = nullptr;
  std::vector<unsigned char> m_body;
  std::string m_name, m_domain;
};

void BM_Peer_SqliteInsert100k(benchmark::State& state) {
  SqlitePeer peer;
  static std::mt19937_64 random(2);
  for (auto _ : state) {
    state.PauseTiming();
    const std::vector<CfgServer::RecordSeq> batches = BaseObjects(random);
    state.ResumeTiming();
    if (const char* failure = peer.Insert(batches)) return state.SkipWithError(failure);
  }
  state.SetItemsProcessed(state.iterations() * kPushCount);
}
BENCHMARK(BM_Peer_SqliteInsert100k)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The push and SQLite's insert of the same rows taken in turn, one of each per iteration, for the
// same reason as the query's row below: the ratio of rows run seconds apart moved with the load.
// Medians of each one's wall time. It runs before the other pushes: into a store that earlier pushes
// have grown, a push ran faster (270 against 350 ms), which a fresh SQLite file beside it would not.
void BM_Server_PushInTurn100k(benchmark::State& state) {
  Server& server = TheServer();
  if (!server.ready()) return state.SkipWithError(server.error.c_str());
  SqlitePeer peer;
  static std::mt19937_64 random(3);
  std::vector<double> pushes, inserts;
  const CpuCounters cpu(server.process.pid());
  auto millis = [](Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); };
  for (auto _ : state) {
    state.PauseTiming();
    const std::vector<CfgServer::RecordSeq> batches = BaseObjects(random);
    state.ResumeTiming();
    auto start = Clock::now();
    for (const auto& batch : batches)
      if (!server.Call([&](CfgServer::Store_ptr store) { CfgServer::PackedUuids_var ids = store->create(batch); }))
        return state.SkipWithError(server.failure.c_str());
    pushes.push_back(millis(start));
    start = Clock::now();
    if (const char* failure = peer.Insert(batches)) return state.SkipWithError(failure);
    inserts.push_back(millis(start));
  }
  const double push = Median(pushes), insert = Median(inserts);
  state.counters["push_ms"] = push;
  state.counters["sqlite_ms"] = insert;
  state.counters["ratio"] = insert > 0 ? push / insert : 0;
  cpu.Report(state, 1e3);  // milliseconds
}
BENCHMARK(BM_Server_PushInTurn100k)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_Server_Push100k(benchmark::State& state) {
  Server& server = TheServer();
  if (!server.ready()) return state.SkipWithError(server.error.c_str());
  static std::mt19937_64 random(1);  // fresh uuids in every run of the benchmark
  const CpuCounters cpu(server.process.pid());
  for (auto _ : state) {
    state.PauseTiming();
    const std::vector<CfgServer::RecordSeq> batches = BaseObjects(random);
    state.ResumeTiming();
    for (const auto& batch : batches)
      if (!server.Call([&](CfgServer::Store_ptr store) { CfgServer::PackedUuids_var ids = store->create(batch); }))
        return state.SkipWithError(server.failure.c_str());
  }
  state.SetItemsProcessed(state.iterations() * kPushCount);
  cpu.Report(state, 1e3);  // milliseconds
}
BENCHMARK(BM_Server_Push100k)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

// ---- A query over 1 000 000 basic effectivities ----

// 1 000 records of 1 000 basic effectivities each: date intervals from 1990 to 2030, 1 to 60 days
// long, each with an expression of one to three terms over 16 specification names; points at 64 dates
// with half the names chosen.
struct Effectivities {
  std::vector<CfgServer::Record> records;
  std::vector<CfgServer::Point> points;
  KroCfgEffectivityIndex index;
  std::vector<std::uint32_t> counts;  // the in-process answer's size at each point

  Effectivities() {
    std::mt19937_64 random(31);
    const std::int64_t from = 631152000, to = 1893456000;
    std::uniform_int_distribution<std::int64_t> start(from, to), days(1, 60);
    std::uniform_int_distribution<int> name(0, kNames - 1), terms(1, 3), sign(0, 1), pick(0, kExpressions - 1);
    std::vector<std::string> expressions;
    for (int x = 0; x < kExpressions; ++x) {
      std::string expression;
      for (int t = terms(random); t > 0; --t)
        expression += (expression.empty() ? "" : " AND ") + std::string(sign(random) ? "" : "NOT ") + "SPEC-" +
                      std::to_string(name(random));
      expressions.push_back(expression);
    }
    records.resize(kBasicCount / kBasicBatch);
    CfgServerEffectivity::Found found;
    std::uint32_t number = 0;
    for (auto& record : records) {
      record.id = RandomUuid(random);
      CfgServer::NlsBasicEffectivitySeq bes;
      bes.length(kBasicBatch);
      for (CORBA::ULong i = 0; i < bes.length(); ++i) {
        const std::int64_t s = start(random) / 86400 * 86400;
        bes[i].date_start = Date(s);
        bes[i].date_end = Date(s + days(random) * 86400);
        bes[i].range_start = bes[i].range_end = 0;  // no rank interval
        bes[i].se.expression.text = expressions[static_cast<std::size_t>(pick(random))].c_str();
        bes[i].se.domain.text = "Powertrain";
      }
      record.body.bes(bes);
      CfgServerEffectivity::Read(record.body, found);
      for (auto& element : found) index.add(number++, element.second);
    }
    index.build();
    for (int p = 0; p < kPoints; ++p) {
      CfgServer::Point point;
      point.domain = "Powertrain";
      point.hasDate = true;
      point.date = start(random);
      point.hasRank = false;
      point.rank = 0;
      point.chosen.length(kNames / 2);
      for (CORBA::ULong n = 0; n < point.chosen.length(); ++n) point.chosen[n] = ("SPEC-" + std::to_string(2 * n)).c_str();
      point.mode150 = false;
      points.push_back(point);
      std::vector<KroCfgEffectivityIndex::Hit> hits;
      index.query(Local(point), hits);
      counts.push_back(static_cast<std::uint32_t>(hits.size()));
    }
  }

  static KroCfgEffectivityPoint Local(const CfgServer::Point& at) {
    KroCfgEffectivityPoint point(at.domain.in());
    point.setDate(at.date);
    for (CORBA::ULong i = 0; i < at.chosen.length(); ++i) point.choose(at.chosen[i].in());
    return point;
  }
};

const Effectivities& TheEffectivities() {
  static const Effectivities data;
  return data;
}

// Loads the records into the server once and asks every point once (the server builds its index on
// the first query): each answer must be as large as the in-process one.
bool LoadEffectivities(Server& server, std::string& error) {
  if (server.effectivitiesLoaded) return true;
  const Effectivities& data = TheEffectivities();
  for (const auto& record : data.records) {
    CfgServer::RecordSeq one;
    one.length(1);
    one[0] = record;
    if (!server.Call([&](CfgServer::Store_ptr store) { CfgServer::PackedUuids_var ids = store->create(one); })) {
      error = server.failure;
      return false;
    }
  }
  for (int p = 0; p < kPoints; ++p) {
    CfgServer::Hits_var hits;
    if (!server.Call([&](CfgServer::Store_ptr store) { hits = store->query(data.points[static_cast<std::size_t>(p)]); })) {
      error = server.failure;
      return false;
    }
    if (hits->seqs.length() != data.counts[static_cast<std::size_t>(p)] || hits->ids.length() != 16 * hits->seqs.length()) {
      error = "the server and the index answer differently";
      return false;
    }
  }
  server.effectivitiesLoaded = true;
  return true;
}

void BM_Server_Query1M(benchmark::State& state) {
  Server& server = TheServer();
  std::string error;
  if (!server.ready()) return state.SkipWithError(server.error.c_str());
  if (!LoadEffectivities(server, error)) return state.SkipWithError(error.c_str());
  const Effectivities& data = TheEffectivities();
  std::size_t p = 0, hits = 0;
  const CpuCounters cpu(server.process.pid());
  for (auto _ : state) {
    CfgServer::Hits_var answer = server.client->store()->query(data.points[p++ % data.points.size()]);
    hits += answer->seqs.length();
  }
  state.counters["hits"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
  cpu.Report(state, 1e6);  // microseconds
}
BENCHMARK(BM_Server_Query1M)->UseRealTime()->MinTime(2.0);

void BM_Peer_IndexQuery1M(benchmark::State& state) {
  const Effectivities& data = TheEffectivities();
  std::vector<KroCfgEffectivityPoint> points;
  for (const auto& point : data.points) points.push_back(Effectivities::Local(point));
  std::vector<KroCfgEffectivityIndex::Hit> hits;
  std::size_t p = 0, total = 0;
  for (auto _ : state) {
    data.index.query(points[p++ % points.size()], hits);
    total += hits.size();
  }
  state.counters["hits"] = static_cast<double>(total) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Peer_IndexQuery1M)->UseRealTime()->MinTime(2.0);

// The server's own query in this process, on a store of its own holding the same records: the same
// answer as the server's (records in order, the first basic effectivity of each, with uuid, seq and
// kind), without the ORB between. The index row above stops at the index's unsorted hits.
struct InProcessQuery {
  CfgServerTempDir dir;
  CfgServerStore store{dir / "peer.db"};
  CfgServerEffectivity effectivity;
  std::string error;

  InProcessQuery() {
    const Effectivities& data = TheEffectivities();
    for (const auto& record : data.records) {
      CfgServer::RecordSeq one;
      one.length(1);
      one[0] = record;
      CfgServer::PackedUuids_var ids = store.Create(one);
    }
    for (std::size_t p = 0; p < data.points.size(); ++p)
      if (CfgServer::Hits_var hits = effectivity.Query(store, data.points[p]); hits->seqs.length() != data.counts[p])
        error = "the server's query answers differently in process";
  }
};

InProcessQuery* TheInProcessQuery(benchmark::State& state) {
  // The store's encoding needs the ORB, which the server's client starts.
  if (!TheServer().ready()) {
    state.SkipWithError(TheServer().error.c_str());
    return nullptr;
  }
  static InProcessQuery query;
  if (!query.error.empty()) {
    state.SkipWithError(query.error.c_str());
    return nullptr;
  }
  return &query;
}

void BM_Peer_ServerQueryInProcess1M(benchmark::State& state) {
  InProcessQuery* query = TheInProcessQuery(state);
  if (!query) return;
  const Effectivities& data = TheEffectivities();
  std::size_t p = 0, total = 0;
  for (auto _ : state) {
    CfgServer::Hits_var hits = query->effectivity.Query(query->store, data.points[p++ % data.points.size()]);
    total += hits->seqs.length();
  }
  state.counters["hits"] = static_cast<double>(total) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Peer_ServerQueryInProcess1M)->UseRealTime()->MinTime(2.0);

// The query's figure and its peers taken in turn, one of each per iteration: on a shared machine the
// load moves between benchmarks run seconds apart, and a ratio of rows from different moments moved
// with it. Medians of each call's wall time; the ratio is the server's query against the same query
// in process plus one small request, ratio_index against the index's query in process plus one.
void BM_Server_QueryInTurn1M(benchmark::State& state) {
  Server& server = TheServer();
  std::string error;
  if (!server.ready()) return state.SkipWithError(server.error.c_str());
  if (!LoadEffectivities(server, error)) return state.SkipWithError(error.c_str());
  InProcessQuery* local = TheInProcessQuery(state);
  if (!local) return;
  const Effectivities& data = TheEffectivities();
  std::vector<double> remote, inProcess, index, small;
  std::vector<KroCfgEffectivityPoint> points;
  for (const auto& point : data.points) points.push_back(Effectivities::Local(point));
  std::vector<KroCfgEffectivityIndex::Hit> hits;
  std::size_t p = 0;
  auto micros = [](Clock::time_point from) { return std::chrono::duration<double, std::micro>(Clock::now() - from).count(); };
  for (auto _ : state) {
    const CfgServer::Point& point = data.points[p % data.points.size()];
    auto start = Clock::now();
    CfgServer::Hits_var here = local->effectivity.Query(local->store, point);
    inProcess.push_back(micros(start));
    start = Clock::now();
    data.index.query(points[p % points.size()], hits);
    index.push_back(micros(start));
    start = Clock::now();
    CfgServer::Record_var record = server.client->store()->read(server.specifications[p % server.specifications.size()]);
    small.push_back(micros(start));
    start = Clock::now();
    CfgServer::Hits_var there = server.client->store()->query(point);
    remote.push_back(micros(start));
    if (there->seqs.length() != here->seqs.length()) return state.SkipWithError("the server and the query in process answer differently");
    ++p;
  }
  const double q = Median(remote), l = Median(inProcess), x = Median(index), r = Median(small);
  state.counters["query_us"] = q;
  state.counters["in_process_us"] = l;
  state.counters["index_us"] = x;
  state.counters["read_us"] = r;
  state.counters["ratio"] = l + r > 0 ? q / (l + r) : 0;
  // Against the index's unsorted hits alone, which is less than the answer.
  state.counters["ratio_index"] = x + r > 0 ? q / (x + r) : 0;
}
BENCHMARK(BM_Server_QueryInTurn1M)->UseRealTime()->MinTime(3.0);

}  // namespace
