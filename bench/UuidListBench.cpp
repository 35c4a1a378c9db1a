// Appending to a uuid list: each append adds one attribute and extends the key cache in place, so a
// run of n appends should cost O(n) in total. tools/bench_report.py compares 100 000 with 10 000.
#include <benchmark/benchmark.h>

#include <vector>

#include "BenchSupport.h"
#include "KroCfgUuid.h"

namespace {

void BM_UuidListAppend(benchmark::State& state) {
  bench::FindCatalog();
  const int count = static_cast<int>(state.range(0));
  std::vector<SEQUENCE_octet> uuids;
  uuids.reserve(count);
  for (int i = 0; i < count; ++i) uuids.push_back(KroCfgUuid::Generate().octets());
  KroIContainer_var container;
  if (FAILED(KroCfgSOFactory::getContainer(container))) {
    state.SkipWithError("CfgSOCatalog.feat not found along KroGraphicPath");
    return;
  }

  for (auto _ : state) {
    state.PauseTiming();
    KroICfgSOUuidList_var list;
    KroCfgSOFactory::createUuidList(list);
    state.ResumeTiming();

    for (const SEQUENCE_octet& uuid : uuids) benchmark::DoNotOptimize(list->Append(uuid));

    state.PauseTiming();
    if (list->Size() != count) state.SkipWithError("the list lost elements");
    container->RemoveObject(KroISpecObject_var(list));  // a fresh list each time, without piling them up
    list = nullptr;
    state.ResumeTiming();
  }
  state.SetComplexityN(count);
  state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_UuidListAppend)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
