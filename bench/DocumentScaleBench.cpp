// A product line's worth of records in one document, beside SQLite and nlohmann::json holding the same
// records. Each record is a context: name, type, information text and a 16-byte uuid.
//   make + save:  the factory makes the contexts, their handles dropped, and the container is saved;
//                 SQLite inserts the rows through one prepared statement in one transaction and commits
//                 to a file; nlohmann::json builds the array and writes it to a file.
//   open + read:  the document is opened and every context's name read into a string; SQLite reads
//                 every row into structures; nlohmann::json reads and parses the file, then copies every
//                 record into structures.
// Counters: file_bytes (the file each one wrote), heap_bytes_per_record (what stays in the process
// after opening, the document's container or the structures).
// KRO_DOC_RECORDS sets another record count (default 1 000 000).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOStrings.h"
#include "KroDocument.h"

namespace {

int Records() {
  static const int count = [] {
    const char* text = std::getenv("KRO_DOC_RECORDS");
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 1000000;
  }();
  return count;
}

// A folder of the run's own, removed with what it holds when the program ends.
// Never destroyed, so that the removal at exit still has it.
std::string Folder() {
  static const std::string* folder = [] {
    auto* pattern = new std::string("/tmp/kro-docbench-XXXXXX");
    if (!mkdtemp(pattern->data())) return new std::string("/tmp");
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(Folder(), ec);
    });
    return pattern;
  }();
  return *folder;
}

const std::string& DocumentPath() {
  static const std::string path = Folder() + "/contexts.kro";
  return path;
}
const std::string& SqlitePath() {
  static const std::string path = Folder() + "/contexts.db";
  return path;
}
const std::string& JsonPath() {
  static const std::string path = Folder() + "/contexts.json";
  return path;
}

double FileBytes(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : -1;
}

struct Context {
  std::string name, type, info;
  std::array<unsigned char, 16> uuid;
};

Context Make(int i) {
  Context c{"ctx-" + std::to_string(i), "Part", "information", {}};
  for (int k = 0; k < 16; ++k) c.uuid[static_cast<std::size_t>(k)] = static_cast<unsigned char>(i + k);
  return c;
}

SEQUENCE_octet Uuid(int i) {
  SEQUENCE_octet uuid;
  uuid.length(16);
  for (CORBA::ULong k = 0; k < 16; ++k) uuid[k] = static_cast<CORBA::Octet>(i + static_cast<int>(k));
  return uuid;
}

// ---- the library ----

bool MakeContexts(int count) {
  for (int i = 0; i < count; ++i) {
    KroICfgSOContext_var context;
    if (FAILED(KroCfgSOFactory::createContext(context)) ||
        FAILED(context->setName(KroUnicodeString("ctx-").AppendNum(i))) || FAILED(context->setType("Part")) ||
        FAILED(context->setInfo("information")) || FAILED(context->setUuid(Uuid(i))))
      return false;
  }
  return true;
}

bool SaveFactoryContainer(const std::string& path) {
  KroIContainer_var container;
  return SUCCEEDED(KroCfgSOFactory::getContainer(container)) &&
         SUCCEEDED(KroDocumentServices::Save(container, path.c_str()));
}

void BM_Document_MakeSave(benchmark::State& state) {
  bench::FindCatalog();
  bench::EmptyContainer();
  for (auto _ : state) {
    if (!MakeContexts(Records()) || !SaveFactoryContainer(DocumentPath())) {
      state.SkipWithError("the contexts could not be made or saved");
      return;
    }
    state.PauseTiming();
    bench::EmptyContainer();
    state.ResumeTiming();
  }
  state.counters["file_bytes"] = FileBytes(DocumentPath());
}

// Reads every context's name, as a client listing them would.
void BM_Document_OpenRead(benchmark::State& state) {
  bench::FindCatalog();
  if (FileBytes(DocumentPath()) < 0) {
    bench::EmptyContainer();
    if (!MakeContexts(Records()) || !SaveFactoryContainer(DocumentPath())) {
      state.SkipWithError("the document could not be written");
      return;
    }
  }
  bench::EmptyContainer();
  const KroUnicodeString nameAttribute("cn");
  double heapPerRecord = 0;
  for (auto _ : state) {
    bench::ReturnFreeMemory();
    const long heap = bench::HeapInUseBytes();
    KroDocument* document = nullptr;
    if (FAILED(KroDocumentServices::Open(DocumentPath().c_str(), document, 0))) {
      state.SkipWithError("the document did not open");
      return;
    }
    KroIContainer_var container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(Records()));
    KroISpecAttrKey_var key;
    for (const KroISpecObject_var& object : container->ListObjects()) {
      KroISpecAttrAccess_var access = object;
      if (!key) key = KroISpecAttrKey_var::Adopt(access->GetAttrKey(nameAttribute));
      names.push_back(access->GetString(key).str());
    }
    if (names.size() != static_cast<std::size_t>(Records()) || names.back() != "ctx-" + std::to_string(Records() - 1)) {
      state.SkipWithError("the names read back are not the ones saved");
      return;
    }
    state.PauseTiming();
    heapPerRecord = static_cast<double>(bench::HeapInUseBytes() - heap) / Records();
    key = nullptr;
    container = nullptr;
    KroDocumentServices::Close(document);
    state.ResumeTiming();
  }
  state.counters["heap_bytes_per_record"] = heapPerRecord;
}

// ---- SQLite ----

bool Exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

void BM_Sqlite_InsertCommit(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    ::unlink(SqlitePath().c_str());
    state.ResumeTiming();
    sqlite3* db = nullptr;
    sqlite3_stmt* insert = nullptr;
    bool ok = sqlite3_open(SqlitePath().c_str(), &db) == SQLITE_OK &&
              Exec(db, "CREATE TABLE context (name TEXT, type TEXT, info TEXT, uuid BLOB)") && Exec(db, "BEGIN") &&
              sqlite3_prepare_v2(db, "INSERT INTO context VALUES (?, ?, ?, ?)", -1, &insert, nullptr) == SQLITE_OK;
    for (int i = 0; ok && i < Records(); ++i) {
      const Context c = Make(i);
      sqlite3_bind_text(insert, 1, c.name.data(), static_cast<int>(c.name.size()), SQLITE_STATIC);
      sqlite3_bind_text(insert, 2, c.type.data(), static_cast<int>(c.type.size()), SQLITE_STATIC);
      sqlite3_bind_text(insert, 3, c.info.data(), static_cast<int>(c.info.size()), SQLITE_STATIC);
      sqlite3_bind_blob(insert, 4, c.uuid.data(), 16, SQLITE_STATIC);
      ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    }
    sqlite3_finalize(insert);
    ok = ok && Exec(db, "COMMIT");
    sqlite3_close(db);
    if (!ok) {
      state.SkipWithError("SQLite failed");
      return;
    }
  }
  state.counters["file_bytes"] = FileBytes(SqlitePath());
}

void BM_Sqlite_ReadRows(benchmark::State& state) {
  double heapPerRecord = 0;
  for (auto _ : state) {
    bench::ReturnFreeMemory();
    const long heap = bench::HeapInUseBytes();
    sqlite3* db = nullptr;
    sqlite3_stmt* select = nullptr;
    std::vector<Context> rows;
    bool ok = sqlite3_open_v2(SqlitePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db, "SELECT name, type, info, uuid FROM context", -1, &select, nullptr) == SQLITE_OK;
    auto text = [&](int column) {
      return std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, column)),
                         static_cast<std::size_t>(sqlite3_column_bytes(select, column)));
    };
    while (ok && sqlite3_step(select) == SQLITE_ROW) {
      Context c{text(0), text(1), text(2), {}};
      if (sqlite3_column_bytes(select, 3) == 16) std::memcpy(c.uuid.data(), sqlite3_column_blob(select, 3), 16);
      rows.push_back(std::move(c));
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    if (!ok || rows.size() != static_cast<std::size_t>(Records())) {
      state.SkipWithError("SQLite did not read every row");
      return;
    }
    heapPerRecord = static_cast<double>(bench::HeapInUseBytes() - heap) / Records();
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["heap_bytes_per_record"] = heapPerRecord;
}

// ---- nlohmann::json ----

void BM_Json_BuildWrite(benchmark::State& state) {
  for (auto _ : state) {
    nlohmann::json doc = nlohmann::json::array();
    for (int i = 0; i < Records(); ++i) {
      Context c = Make(i);
      doc.push_back({{"name", std::move(c.name)},
                     {"type", std::move(c.type)},
                     {"info", std::move(c.info)},
                     {"uuid", nlohmann::json::binary(std::vector<std::uint8_t>(c.uuid.begin(), c.uuid.end()))}});
    }
    std::ofstream out(JsonPath(), std::ios::binary | std::ios::trunc);
    out << doc.dump();
    out.close();
    if (!out) {
      state.SkipWithError("the JSON file could not be written");
      return;
    }
  }
  state.counters["file_bytes"] = FileBytes(JsonPath());
}

void BM_Json_ParseRead(benchmark::State& state) {
  double heapPerRecord = 0;
  for (auto _ : state) {
    bench::ReturnFreeMemory();
    const long heap = bench::HeapInUseBytes();
    std::ifstream in(JsonPath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const nlohmann::json doc = nlohmann::json::parse(text.str());
    std::vector<Context> rows;
    rows.reserve(doc.size());
    for (const nlohmann::json& record : doc) {
      Context c{record.at("name").get<std::string>(), record.at("type").get<std::string>(),
                record.at("info").get<std::string>(), {}};
      // Binary values come back from text as an object of bytes and subtype.
      const nlohmann::json& uuid = record.at("uuid");
      const nlohmann::json& bytes = uuid.is_object() ? uuid.at("bytes") : uuid;
      for (std::size_t k = 0; k < 16 && k < bytes.size(); ++k) c.uuid[k] = bytes[k].get<unsigned char>();
      rows.push_back(std::move(c));
    }
    if (rows.size() != static_cast<std::size_t>(Records())) {
      state.SkipWithError("the JSON array does not hold every record");
      return;
    }
    heapPerRecord = static_cast<double>(bench::HeapInUseBytes() - heap) / Records();
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["heap_bytes_per_record"] = heapPerRecord;
}

}  // namespace

// Writers first: each reader reads the file its writer left.
BENCHMARK(BM_Sqlite_InsertCommit)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Json_BuildWrite)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Document_MakeSave)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sqlite_ReadRows)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Json_ParseRead)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Document_OpenRead)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
