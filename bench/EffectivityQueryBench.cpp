// One query over 1 000 000 date-interval basic effectivities with expressions, on three workloads:
//   short  intervals of 1 to 60 days, one in a thousand open, 64 expressions (answers about 0.1%);
//   long   intervals of 1 to 10 years, 30% open, 64 expressions (answers a few percent);
//   many   the short intervals with 5 000 distinct expressions.
// On each: the library's index, SQLite's R*Tree answering the same intervals and filtering the same
// expressions, and a linear scan over a vector of structs. All three must give the same answers; a
// difference fails the benchmarks. Building the index beside SQLite's bulk insert into the R*Tree, and
// what the index allocates (counted by operator new while it is built) beside memoryBytes().
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "KroCfgEffectivityIndex.h"

// ---- What the index allocates: counted only while counting is on ----

namespace {
bool g_counting = false;
std::int64_t g_bytes = 0, g_peak = 0;

void* Allocate(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  if (g_counting) g_peak = std::max(g_peak, g_bytes += static_cast<std::int64_t>(malloc_usable_size(p)));
  return p;
}

void Free(void* p) {
  if (p && g_counting) g_bytes -= static_cast<std::int64_t>(malloc_usable_size(p));
  std::free(p);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }

namespace {

constexpr std::size_t kCount = 1'000'000;
constexpr int kPoints = 64;

using Record = KroCfgEffectivityRecord;

enum Workload { kShort = 0, kLong = 1, kMany = 2 };

struct Row {
  std::int64_t start;
  std::int64_t end;
  bool open;
  std::uint32_t expression;
};

struct Data {
  std::vector<Row> rows;
  std::vector<std::vector<Record::Term>> expressions;
  std::vector<std::int64_t> dates;
  std::vector<std::string> chosen;

  explicit Data(Workload workload) {
    std::mt19937_64 random(23);
    // 1990-01-01 to 2030-01-01; long intervals start 1985 to 2025, so that they end before 2038 (the
    // R*Tree holds 32-bit integers).
    const std::int64_t from = workload == kLong ? 473385600 : 631152000, to = workload == kLong ? 1735689600 : 1893456000;
    const int names = workload == kMany ? 256 : 16, count = workload == kMany ? 5000 : 64;
    std::uniform_int_distribution<std::int64_t> start(from, to);
    std::uniform_int_distribution<std::int64_t> days = workload == kLong
                                                           ? std::uniform_int_distribution<std::int64_t>(365 * 86400, 3650 * 86400)
                                                           : std::uniform_int_distribution<std::int64_t>(86400, 60 * 86400);
    std::uniform_int_distribution<int> name(0, names - 1), terms(1, 3), sign(0, 1), expression(0, count - 1),
        thousand(0, 999);
    std::set<std::string> seen;
    while (expressions.size() < static_cast<std::size_t>(count)) {
      std::vector<Record::Term> expr;
      std::string key;
      for (int t = terms(random); t > 0; --t) {
        expr.push_back({"SPEC-" + std::to_string(name(random)), sign(random) ? 1 : -1});
        key += (expr.back().sign < 0 ? "-" : "+") + expr.back().name + " ";
      }
      if (seen.insert(key).second) expressions.push_back(expr);
    }
    rows.reserve(kCount);
    for (std::size_t i = 0; i < kCount; ++i) {
      const std::int64_t s = start(random);
      const bool open = workload == kLong ? thousand(random) < 300 : thousand(random) == 0;
      rows.push_back({s, open ? 0 : s + days(random), open, static_cast<std::uint32_t>(expression(random))});
    }
    for (int p = 0; p < kPoints; ++p) dates.push_back(start(random));
    for (int n = 0; n < names; n += 2) chosen.push_back("SPEC-" + std::to_string(n));
  }

  KroCfgEffectivityPoint point(int p) const {
    KroCfgEffectivityPoint at("Powertrain");
    at.setDate(dates[static_cast<std::size_t>(p)]);
    at.setChosen(chosen);
    return at;
  }

  // Which expressions hold at the point: each peer evaluates the shared expressions once.
  std::vector<char> holding(const KroCfgEffectivityPoint& point) const {
    std::vector<char> out;
    for (const auto& expression : expressions) {
      Record::Basic basic;
      basic.terms = expression;
      out.push_back(basic.expressionHolds(point));
    }
    return out;
  }
};

void BuildIndex(const Data& data, KroCfgEffectivityIndex& index) {
  const std::uint32_t domain = index.internDomain("Powertrain");
  std::vector<std::uint32_t> ids;
  for (const auto& expression : data.expressions) ids.push_back(index.internExpression(expression));
  for (std::size_t i = 0; i < data.rows.size(); ++i) {
    const Row& row = data.rows[i];
    index.addDated(static_cast<std::uint32_t>(i), 1, domain,
                   {row.start, row.open ? std::nullopt : std::optional<std::int64_t>(row.end)}, ids[row.expression]);
  }
  index.build();
}

// The process's resident set, in bytes.
std::int64_t Resident() {
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<std::int64_t>(resident) * sysconf(_SC_PAGESIZE);
}

// ---- SQLite ----

constexpr std::int64_t kOpenEnd = 2147483647;  // the R*Tree holds 32-bit integers; dates fit

void Exec(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
}

sqlite3* BulkInsert(const Data& data) {
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  Exec(db, "CREATE VIRTUAL TABLE be USING rtree_i32(id, s0, s1, +expr)");
  Exec(db, "BEGIN");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO be VALUES (?1, ?2, ?3, ?4)", -1, &insert, nullptr);
  for (std::size_t i = 0; i < data.rows.size(); ++i) {
    const Row& row = data.rows[i];
    sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(i));
    sqlite3_bind_int64(insert, 2, row.start);
    sqlite3_bind_int64(insert, 3, row.open ? kOpenEnd : row.end);
    sqlite3_bind_int(insert, 4, static_cast<int>(row.expression));
    if (sqlite3_step(insert) != SQLITE_DONE) std::abort();
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  Exec(db, "COMMIT");
  return db;
}

// holds(expr): whether the expression holds at the current point, for more than 64 expressions.
void HoldsFunction(sqlite3_context* context, int, sqlite3_value** values) {
  const auto* holding = static_cast<const std::vector<char>*>(sqlite3_user_data(context));
  const sqlite3_int64 x = sqlite3_value_int64(values[0]);
  sqlite3_result_int(context, x >= 0 && static_cast<std::size_t>(x) < holding->size() && (*holding)[x]);
}

struct Sqlite {
  const Data& data;
  sqlite3* db;
  sqlite3_stmt* query = nullptr;
  std::vector<char> holding;
  explicit Sqlite(const Data& d) : data(d), db(BulkInsert(d)) {
    // Up to 64 expressions their truth travels as one 64-bit mask; past that through a function.
    if (data.expressions.size() <= 64) {
      sqlite3_prepare_v2(db, "SELECT id FROM be WHERE s0 <= ?1 AND s1 >= ?1 AND (?2 >> expr) & 1", -1, &query, nullptr);
    } else {
      sqlite3_create_function(db, "holds", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &holding, HoldsFunction, nullptr, nullptr);
      sqlite3_prepare_v2(db, "SELECT id FROM be WHERE s0 <= ?1 AND s1 >= ?1 AND holds(expr)", -1, &query, nullptr);
    }
  }
  ~Sqlite() {
    sqlite3_finalize(query);
    sqlite3_close(db);
  }
  void answer(const KroCfgEffectivityPoint& point, std::vector<std::uint32_t>& ids) {
    ids.clear();
    holding = data.holding(point);
    sqlite3_bind_int64(query, 1, point.date().value_or(0));
    if (data.expressions.size() <= 64) {
      std::uint64_t mask = 0;
      for (std::size_t x = 0; x < holding.size(); ++x) mask |= std::uint64_t(holding[x] != 0) << x;
      // The 64 bits of the mask as a signed integer: SQLite shifts it as such, and & 1 reads bit expr.
      sqlite3_bind_int64(query, 2, static_cast<sqlite3_int64>(mask));
    }
    while (sqlite3_step(query) == SQLITE_ROW) ids.push_back(static_cast<std::uint32_t>(sqlite3_column_int64(query, 0)));
    sqlite3_reset(query);
  }
};

// ---- The linear scan ----

void Scan(const Data& data, const KroCfgEffectivityPoint& point, std::vector<std::uint32_t>& ids) {
  ids.clear();
  const std::vector<char> holding = data.holding(point);
  const std::int64_t t = point.date().value_or(0);
  for (std::size_t i = 0; i < data.rows.size(); ++i) {
    const Row& row = data.rows[i];
    if (row.start <= t && (row.open || t <= row.end) && holding[row.expression]) ids.push_back(static_cast<std::uint32_t>(i));
  }
}

// One workload at a time: the benchmarks run in order, and three would not fit beside each other.
struct Bench {
  Workload workload;
  Data data;
  KroCfgEffectivityIndex index;
  std::int64_t allocated = 0, peak = 0;  // by the index's build, in bytes
  std::int64_t resident = 0;             // growth of the resident set over the build
  std::unique_ptr<Sqlite> sqlite;
  int verdict = -1;
  double mean = 0;

  explicit Bench(Workload w) : workload(w), data(w) {
    g_bytes = g_peak = 0;
    const std::int64_t before = Resident();
    g_counting = true;
    BuildIndex(data, index);
    g_counting = false;
    resident = Resident() - before;
    allocated = g_bytes;
    peak = g_peak;
  }

  Sqlite& db() {
    if (!sqlite) sqlite = std::make_unique<Sqlite>(data);
    return *sqlite;
  }

  // The three answers at every point, compared once; the mean answer size is kept.
  bool sameAnswers() {
    if (verdict >= 0) return verdict == 1;
    verdict = 1;
    std::vector<KroCfgEffectivityIndex::Hit> hits;
    std::vector<std::uint32_t> fromIndex, fromSqlite, fromScan;
    std::size_t total = 0;
    for (int p = 0; p < kPoints; ++p) {
      const KroCfgEffectivityPoint point = data.point(p);
      index.query(point, hits);
      fromIndex.clear();
      for (const auto& hit : hits) fromIndex.push_back(hit.record);
      db().answer(point, fromSqlite);
      Scan(data, point, fromScan);
      for (auto* ids : {&fromIndex, &fromSqlite, &fromScan}) std::sort(ids->begin(), ids->end());
      if (fromIndex != fromScan || fromSqlite != fromScan) verdict = 0;
      total += fromScan.size();
    }
    mean = double(total) / kPoints;
    return verdict == 1;
  }
};

Bench& TheBench(Workload workload) {
  static std::unique_ptr<Bench> current;
  if (!current || current->workload != workload) {
    current.reset();
    current = std::make_unique<Bench>(workload);
  }
  return *current;
}

const char* Name(Workload w) { return w == kShort ? "short" : w == kLong ? "long" : "many"; }

template <class Answer>
void RunQueries(benchmark::State& state, Bench& bench, Answer answer) {
  state.SetLabel(Name(bench.workload));
  if (!bench.sameAnswers()) {
    state.SkipWithError("the index, SQLite and the scan answer differently");
    return;
  }
  std::vector<KroCfgEffectivityPoint> points;
  for (int p = 0; p < kPoints; ++p) points.push_back(bench.data.point(p));
  int p = 0;
  for (auto _ : state) {
    std::size_t size = answer(points[static_cast<std::size_t>(p)]);
    benchmark::DoNotOptimize(size);
    p = (p + 1) % kPoints;
  }
  state.counters["answers"] = bench.mean;
}

void BM_EffectivityQuery_Index(benchmark::State& state) {
  Bench& bench = TheBench(static_cast<Workload>(state.range(0)));
  std::vector<KroCfgEffectivityIndex::Hit> hits;
  RunQueries(state, bench, [&](const KroCfgEffectivityPoint& point) {
    bench.index.query(point, hits);
    return hits.size();
  });
  const double n = double(bench.index.size());
  state.counters["bytes_per_basic"] = double(bench.index.memoryBytes()) / n;
  state.counters["allocated_per_basic"] = double(bench.allocated) / n;
  state.counters["build_peak_per_basic"] = double(bench.peak) / n;
  state.counters["resident_growth_per_basic"] = double(bench.resident) / n;
}

void BM_EffectivityQuery_SqliteRtree(benchmark::State& state) {
  Bench& bench = TheBench(static_cast<Workload>(state.range(0)));
  std::vector<std::uint32_t> ids;
  RunQueries(state, bench, [&](const KroCfgEffectivityPoint& point) {
    bench.db().answer(point, ids);
    return ids.size();
  });
}

void BM_EffectivityQuery_LinearScan(benchmark::State& state) {
  Bench& bench = TheBench(static_cast<Workload>(state.range(0)));
  std::vector<std::uint32_t> ids;
  RunQueries(state, bench, [&](const KroCfgEffectivityPoint& point) {
    Scan(bench.data, point, ids);
    return ids.size();
  });
}

void BM_EffectivityBuild_Index(benchmark::State& state) {
  const Data& data = TheBench(kShort).data;
  for (auto _ : state) {
    KroCfgEffectivityIndex index;
    BuildIndex(data, index);
    benchmark::DoNotOptimize(index.size());
  }
}

void BM_EffectivityBuild_SqliteRtree(benchmark::State& state) {
  const Data& data = TheBench(kShort).data;
  for (auto _ : state) {
    sqlite3* db = BulkInsert(data);
    state.PauseTiming();
    sqlite3_close(db);
    state.ResumeTiming();
  }
}

}  // namespace

// Per workload, the three peers side by side.
BENCHMARK(BM_EffectivityQuery_Index)->Arg(kShort)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityQuery_SqliteRtree)->Arg(kShort)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityQuery_LinearScan)->Arg(kShort)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityBuild_Index)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectivityBuild_SqliteRtree)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectivityQuery_Index)->Arg(kLong)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityQuery_SqliteRtree)->Arg(kLong)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityQuery_LinearScan)->Arg(kLong)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityQuery_Index)->Arg(kMany)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityQuery_SqliteRtree)->Arg(kMany)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityQuery_LinearScan)->Arg(kMany)->Unit(benchmark::kMicrosecond);
