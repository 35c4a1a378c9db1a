// Memory per record: a four-attribute context made through the factory's wrapper with its handles
// dropped, beside the same values written to a spec object without a wrapper and beside a plain struct.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"

namespace {

constexpr int kRecords = 1000000;

SEQUENCE_octet Uuid(int i) {
  SEQUENCE_octet uuid;
  uuid.length(16);
  for (CORBA::ULong k = 0; k < 16; ++k) uuid[k] = static_cast<CORBA::Octet>(i + static_cast<int>(k));
  return uuid;
}

template <class Make>
void MeasureRecords(benchmark::State& state, Make make) {
  const int count = static_cast<int>(state.range(0));
  bench::FindCatalog();  // also when a filter leaves out the benchmarks that would have found it
  make(-1);  // what is made once per process (the catalog, meta objects) stays out of the figure
  bench::EmptyContainer();
  for (auto _ : state) {
    bench::ReturnFreeMemory();
    const long resident = bench::ResidentBytes(), heap = bench::HeapInUseBytes();
    for (int i = 0; i < count; ++i)
      if (!make(i)) {
        state.SkipWithError("a record could not be made");
        return;
      }
    state.counters["bytes_per_object"] = static_cast<double>(bench::ResidentBytes() - resident) / count;
    state.counters["heap_bytes_per_object"] = static_cast<double>(bench::HeapInUseBytes() - heap) / count;
    bench::EmptyContainer();
  }
}

void BM_Memory_FactoryContext(benchmark::State& state) {
  MeasureRecords(state, [](int i) {
    KroICfgSOContext_var context;
    return SUCCEEDED(KroCfgSOFactory::createContext(context)) &&
           SUCCEEDED(context->setName(KroUnicodeString("ctx-").AppendNum(i))) && SUCCEEDED(context->setType("Part")) &&
           SUCCEEDED(context->setInfo("information")) && SUCCEEDED(context->setUuid(Uuid(i)));
  });
}

using Str = KroCfgSOStrings;

void BM_Memory_ServicesContext(benchmark::State& state) {
  MeasureRecords(state, [](int i) {
    KroISpecObject_var so;
    using S = KroCfgSOServices;
    return SUCCEEDED(KroCfgSOFactory::instanciateSpecObject(Str::STARTUP_CONTEXT, KroISpecObject::InterfaceName(), so)) &&
           SUCCEEDED(S::SetStringValue(so, Str::CONTEXT_NAME, KroUnicodeString("ctx-").AppendNum(i))) &&
           SUCCEEDED(S::SetStringValue(so, Str::CONTEXT_TYPE, "Part")) &&
           SUCCEEDED(S::SetStringValue(so, Str::CONTEXT_INFO, "information")) &&
           SUCCEEDED(S::SetByteArrayValue(so, Str::CONTEXT_UID, Uuid(i)));
  });
}

struct PlainContext {
  std::string name, type, info;
  std::array<unsigned char, 16> uuid;
};

void BM_Memory_StructContext(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    bench::ReturnFreeMemory();
    const long resident = bench::ResidentBytes(), heap = bench::HeapInUseBytes();
    std::vector<PlainContext> records;
    for (int i = 0; i < count; ++i) {
      PlainContext c{"ctx-" + std::to_string(i), "Part", "information", {}};
      for (int k = 0; k < 16; ++k) c.uuid[static_cast<std::size_t>(k)] = static_cast<unsigned char>(i + k);
      records.push_back(std::move(c));
    }
    state.counters["bytes_per_object"] = static_cast<double>(bench::ResidentBytes() - resident) / count;
    state.counters["heap_bytes_per_object"] = static_cast<double>(bench::HeapInUseBytes() - heap) / count;
    benchmark::DoNotOptimize(records.data());
  }
}

}  // namespace

BENCHMARK(BM_Memory_FactoryContext)->Arg(kRecords)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory_ServicesContext)->Arg(kRecords)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory_StructContext)->Arg(kRecords)->Iterations(1)->Unit(benchmark::kMillisecond);
