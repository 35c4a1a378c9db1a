// Binding through the configuration server, beside its peers from the same run:
//   BindUnseen      10 000 uuids that the process has not seen, each rebuilt from the server
//   SmallRequest    10 000 reads of a specification by uuid (the server's small request)
//   BindSeen        a uuid the process got from the server before: no request
//   BindInProcess   today's bind of a live object made in the process
// and, printed after them, binds while the server is frozen (the timeout) and killed (refused).
// Its own server; not part of ctest: run build/tests/connection/cfgso_connected_bench.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <benchmark/benchmark.h>

#include "CfgServerClient.h"
#include "CfgServerProcess.h"
#include "KroCfgModelBuilder.h"
#include "KroCfgServerConnection.h"
#include "KroCfgUuid.h"

namespace {

constexpr int kBinds = 10000;
constexpr int kRounds = 4;  // three repetitions and a warm-up
CfgServerClient* g_client = nullptr;  // left to the end of the process: the ORB is shared with the connection
std::vector<SEQUENCE_octet> g_specs;
std::size_t g_next = 0;

CfgServer::Uuid Wire(const SEQUENCE_octet& u) {
  CfgServer::Uuid id;
  id.length(static_cast<CORBA::ULong>(u.length()));
  for (CORBA::ULong i = 0; i < id.length(); ++i) id[i] = u.data()[i];
  return id;
}

// Specifications with a category each, stored as the connected manager stores them.
void Populate(std::size_t count) {
  for (std::size_t done = 0; done < count;) {
    CfgServer::RecordSeq records;
    records.length(2000);
    for (CORBA::ULong i = 0; i < 2000; i += 2, ++done) {
      const SEQUENCE_octet category = KroCfgUuid::Generate().octets(), spec = KroCfgUuid::Generate().octets();
      records[i].id = Wire(category);
      records[i].body.category(CfgServer::ModelCategory{"Engine", "Engines"});
      CfgServer::ModelSpecification s;
      s.name = ("SPEC-" + std::to_string(done)).c_str(), s.description = "bench", s.alias = "", s.condition = "";
      s.category = Wire(category);
      records[i + 1].id = Wire(spec);
      records[i + 1].body.specification(s);
      g_specs.push_back(spec);
    }
    std::string error;
    if (FAILED(g_client->Call([&](CfgServer::Store_ptr st) { CfgServer::PackedUuids_var ids = st->create(records); }, error))) {
      std::fprintf(stderr, "populate: %s\n", error.c_str());
      std::exit(1);
    }
  }
}

void BindUnseen(benchmark::State& state) {
  const long before = KroCfgServerConnection::Requests();
  for (auto _ : state) {
    KroILinkableObject_var out;
    if (FAILED(KroCfgUuid(g_specs.at(g_next++)).bindObject(out))) state.SkipWithError("bind failed");
    benchmark::DoNotOptimize(out);
  }
  state.counters["requests/bind"] =
      static_cast<double>(KroCfgServerConnection::Requests() - before) / static_cast<double>(state.iterations());
}

// Each read asks for another specification, as each bind does (the binds take them from the front,
// the reads from the back).
void SmallRequest(benchmark::State& state) {
  std::size_t next = g_specs.size();
  std::string error;
  for (auto _ : state) {
    const CfgServer::Uuid id = Wire(g_specs.at(--next));
    CfgServer::Record_var record;
    if (FAILED(g_client->Call([&](CfgServer::Store_ptr st) { record = st->read(id); }, error)))
      state.SkipWithError("read failed");
  }
}

void BindSeen(benchmark::State& state) {
  const KroCfgUuid seen(g_specs.front());
  const long before = KroCfgServerConnection::Requests();
  for (auto _ : state) {
    KroILinkableObject_var out;
    benchmark::DoNotOptimize(seen.bindObject(out));
  }
  state.counters["requests"] = static_cast<double>(KroCfgServerConnection::Requests() - before);
}

void BindInProcess(benchmark::State& state) {
  KroICfgSimpleSpecification_var spec = KroCfgModelBuilder::Specification({.name = "LOCAL"});
  const KroCfgUuid local{KroILinkableObject_var(spec)};
  for (auto _ : state) {
    KroILinkableObject_var out;
    benchmark::DoNotOptimize(local.bindObject(out));
  }
}

BENCHMARK(BindUnseen)->Iterations(kBinds)->Repetitions(3)->ReportAggregatesOnly(false);
BENCHMARK(SmallRequest)->Iterations(kBinds)->Repetitions(3);
BENCHMARK(BindSeen)->Repetitions(3);
BENCHMARK(BindInProcess)->Repetitions(3);

void Down(const char* how, CfgServerProcess& server, int signal) {
  server.Signal(signal);
  for (int i = 0; i < 3; ++i) {
    KroILinkableObject_var out;
    const auto start = std::chrono::steady_clock::now();
    const HRESULT hr = KroCfgUuid(g_specs.at(g_next++)).bindObject(out);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("server %s: bind gave 0x%08X in %.1f ms (timeout %s ms)\n", how, static_cast<unsigned>(hr), ms,
                std::getenv("KRO_CONFIG_SERVER_TIMEOUT_MS"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  setenv("KRO_CONFIG_SERVER_TIMEOUT_MS", "1000", 0);
  CfgServerTempDir dir;
  CfgServerProcess server;
  std::string error;
  if (!server.Start(dir / "bench.db", {}, error) || FAILED(KroCfgServerConnection::Connect(server.address(), error))) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::unique_ptr<CfgServerClient> client;
  if (FAILED(CfgServerClient::Connect(server.address(), client, error))) return 1;
  g_client = client.release();
  Populate(kBinds * kRounds * 2);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  Down("frozen (SIGSTOP)", server, SIGSTOP);
  server.Signal(SIGCONT);
  Down("killed", server, SIGKILL);
  return 0;
}
