// One query over 1 000 000 date-interval basic effectivities with expressions: the library's index,
// SQLite's R*Tree answering the same intervals and filtering the same expressions, and a linear scan
// over a vector of structs. Building the index beside SQLite's bulk insert into the R*Tree. All three
// must give the same answers; a difference fails the benchmarks.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "KroCfgEffectivityIndex.h"

namespace {

constexpr std::size_t kCount = 1'000'000;
constexpr int kNames = 16, kExpressions = 64, kPoints = 64;

using Record = KroCfgEffectivityRecord;

struct Row {
  std::int64_t start;
  std::int64_t end;
  bool open;
  std::uint32_t expression;
};

// 1 000 000 intervals from 1990 to 2030, 1 to 60 days long, one in a thousand open; 64 expressions of
// one to three terms over 16 specification names; points at 64 dates with half the names chosen.
struct Data {
  std::vector<Row> rows;
  std::vector<std::vector<Record::Term>> expressions;
  std::vector<std::int64_t> dates;
  std::vector<std::string> chosen;

  Data() {
    std::mt19937_64 random(23);
    const std::int64_t from = 631152000, to = 1893456000;  // 1990-01-01, 2030-01-01
    std::uniform_int_distribution<std::int64_t> start(from, to), days(86400, 60 * 86400);
    std::uniform_int_distribution<int> name(0, kNames - 1), terms(1, 3), sign(0, 1), expression(0, kExpressions - 1),
        thousand(0, 999);
    for (int x = 0; x < kExpressions; ++x) {
      std::vector<Record::Term> expr;
      for (int t = terms(random); t > 0; --t) expr.push_back({"SPEC-" + std::to_string(name(random)), sign(random) ? 1 : -1});
      expressions.push_back(expr);
    }
    rows.reserve(kCount);
    for (std::size_t i = 0; i < kCount; ++i) {
      const std::int64_t s = start(random);
      const bool open = thousand(random) == 0;
      rows.push_back({s, open ? 0 : s + days(random), open, static_cast<std::uint32_t>(expression(random))});
    }
    for (int p = 0; p < kPoints; ++p) dates.push_back(start(random));
    for (int n = 0; n < kNames; n += 2) chosen.push_back("SPEC-" + std::to_string(n));
  }

  KroCfgEffectivityPoint point(int p) const {
    KroCfgEffectivityPoint at("Powertrain");
    at.setDate(dates[static_cast<std::size_t>(p)]);
    at.setChosen(chosen);
    return at;
  }

  // Which of the 64 expressions hold at the point: each peer evaluates the shared expressions once.
  std::uint64_t holding(const KroCfgEffectivityPoint& point) const {
    std::uint64_t mask = 0;
    for (int x = 0; x < kExpressions; ++x) {
      Record::Basic basic;
      basic.terms = expressions[static_cast<std::size_t>(x)];
      if (basic.expressionHolds(point)) mask |= std::uint64_t{1} << x;
    }
    return mask;
  }
};

const Data& TheData() {
  static const Data data;
  return data;
}

void BuildIndex(const Data& data, KroCfgEffectivityIndex& index) {
  const std::uint32_t domain = index.internDomain("Powertrain");
  std::vector<std::uint32_t> ids;
  for (const auto& expression : data.expressions) ids.push_back(index.internExpression(expression));
  for (std::size_t i = 0; i < data.rows.size(); ++i) {
    const Row& row = data.rows[i];
    index.addDated(static_cast<std::uint32_t>(i), 1, domain, {row.start, row.open ? std::nullopt : std::optional<std::int64_t>(row.end)}, ids[row.expression]);
  }
  index.build();
}

const KroCfgEffectivityIndex& TheIndex() {
  static const KroCfgEffectivityIndex index = [] {
    KroCfgEffectivityIndex built;
    BuildIndex(TheData(), built);
    return built;
  }();
  return index;
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

struct Sqlite {
  sqlite3* db = BulkInsert(TheData());
  sqlite3_stmt* query = nullptr;
  Sqlite() {
    sqlite3_prepare_v2(db, "SELECT id FROM be WHERE s0 <= ?1 AND s1 >= ?1 AND (?2 >> expr) & 1", -1, &query, nullptr);
  }
  void answer(const KroCfgEffectivityPoint& point, std::vector<std::uint32_t>& ids) {
    ids.clear();
    sqlite3_bind_int64(query, 1, point.date().value_or(0));
    // The 64 bits of the mask as a signed integer: SQLite shifts it as such, and & 1 reads bit expr.
    sqlite3_bind_int64(query, 2, static_cast<sqlite3_int64>(TheData().holding(point)));
    while (sqlite3_step(query) == SQLITE_ROW) ids.push_back(static_cast<std::uint32_t>(sqlite3_column_int64(query, 0)));
    sqlite3_reset(query);
  }
};

Sqlite& TheSqlite() {
  static Sqlite sqlite;
  return sqlite;
}

// ---- The linear scan ----

void Scan(const Data& data, const KroCfgEffectivityPoint& point, std::vector<std::uint32_t>& ids) {
  ids.clear();
  const std::uint64_t mask = data.holding(point);
  const std::int64_t t = point.date().value_or(0);
  for (std::size_t i = 0; i < data.rows.size(); ++i) {
    const Row& row = data.rows[i];
    if (row.start <= t && (row.open || t <= row.end) && (mask >> row.expression & 1)) ids.push_back(static_cast<std::uint32_t>(i));
  }
}

// The three answers at every point, compared once; the mean answer size is reported.
bool SameAnswers(double& meanSize) {
  static int verdict = -1;
  static double mean = 0;
  if (verdict < 0) {
    verdict = 1;
    std::vector<KroCfgEffectivityIndex::Hit> hits;
    std::vector<std::uint32_t> fromIndex, fromSqlite, fromScan;
    std::size_t total = 0;
    for (int p = 0; p < kPoints; ++p) {
      const KroCfgEffectivityPoint point = TheData().point(p);
      TheIndex().query(point, hits);
      fromIndex.clear();
      for (const auto& hit : hits) fromIndex.push_back(hit.record);
      TheSqlite().answer(point, fromSqlite);
      Scan(TheData(), point, fromScan);
      for (auto* ids : {&fromIndex, &fromSqlite, &fromScan}) std::sort(ids->begin(), ids->end());
      if (fromIndex != fromScan || fromSqlite != fromScan) verdict = 0;
      total += fromScan.size();
    }
    mean = double(total) / kPoints;
  }
  meanSize = mean;
  return verdict == 1;
}

template <class Answer>
void RunQueries(benchmark::State& state, Answer answer) {
  double mean = 0;
  if (!SameAnswers(mean)) {
    state.SkipWithError("the index, SQLite and the scan answer differently");
    return;
  }
  std::vector<KroCfgEffectivityPoint> points;
  for (int p = 0; p < kPoints; ++p) points.push_back(TheData().point(p));
  int p = 0;
  for (auto _ : state) {
    std::size_t size = answer(points[static_cast<std::size_t>(p)]);
    benchmark::DoNotOptimize(size);
    p = (p + 1) % kPoints;
  }
  state.counters["answers"] = mean;
}

void BM_EffectivityQuery_Index(benchmark::State& state) {
  std::vector<KroCfgEffectivityIndex::Hit> hits;
  RunQueries(state, [&](const KroCfgEffectivityPoint& point) {
    TheIndex().query(point, hits);
    return hits.size();
  });
  state.counters["bytes_per_basic"] = double(TheIndex().memoryBytes()) / double(TheIndex().size());
}

void BM_EffectivityQuery_SqliteRtree(benchmark::State& state) {
  std::vector<std::uint32_t> ids;
  RunQueries(state, [&](const KroCfgEffectivityPoint& point) {
    TheSqlite().answer(point, ids);
    return ids.size();
  });
  state.counters["sqlite_bytes_per_basic"] = double(sqlite3_memory_used()) / double(kCount);
}

void BM_EffectivityQuery_LinearScan(benchmark::State& state) {
  std::vector<std::uint32_t> ids;
  RunQueries(state, [&](const KroCfgEffectivityPoint& point) {
    Scan(TheData(), point, ids);
    return ids.size();
  });
}

void BM_EffectivityBuild_Index(benchmark::State& state) {
  const Data& data = TheData();
  for (auto _ : state) {
    KroCfgEffectivityIndex index;
    BuildIndex(data, index);
    benchmark::DoNotOptimize(index.size());
  }
}

void BM_EffectivityBuild_SqliteRtree(benchmark::State& state) {
  const Data& data = TheData();
  for (auto _ : state) {
    sqlite3* db = BulkInsert(data);
    state.PauseTiming();
    sqlite3_close(db);
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_EffectivityQuery_Index)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityQuery_SqliteRtree)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityQuery_LinearScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectivityBuild_Index)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectivityBuild_SqliteRtree)->Iterations(1)->Unit(benchmark::kMillisecond);
