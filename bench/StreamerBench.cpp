// The streamer on a large sequence: 100 000 base objects to a spec-object list and back, the round
// trip, and the memory a streamed base object takes. The peers doing the same work are in
// PeerBench.cpp; tools/bench_report.py sets the figures side by side.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "KroCfgStreamer.h"

namespace {

constexpr int kCount = 100000;

// Opens the catalog and makes what the first streaming of a process makes once (meta objects, tie
// factories). At full size it also grows the heap and the container's tables as far as a run needs:
// a first run at 100 000 costs several times a later one, and a benchmark that needs only one
// iteration would report it, while the peers' first runs are dropped among their many iterations.
void WarmUp(int count) {
  bench::FindCatalog();
  KroISpecObject_var list;
  KroCfgStreamer::BaseObjectSeqToSpecObjectList(bench::Sample(count), list);
  _IDL_SEQUENCE_NlsBaseObject back;
  KroCfgStreamer::BaseObjectSeqFromSpecObjectList(list, back);
  list = nullptr;
  bench::EmptyContainer();
}

void BM_BaseObjectSeqToSpecObjectList(benchmark::State& state) {
  WarmUp(static_cast<int>(state.range(0)));
  const _IDL_SEQUENCE_NlsBaseObject seq = bench::Sample(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    KroISpecObject_var list;
    if (FAILED(KroCfgStreamer::BaseObjectSeqToSpecObjectList(seq, list))) state.SkipWithError("streaming failed");
    benchmark::DoNotOptimize(list.ptr());
    state.PauseTiming();
    list = nullptr;
    bench::EmptyContainer();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_BaseObjectSeqFromSpecObjectList(benchmark::State& state) {
  WarmUp(static_cast<int>(state.range(0)));
  KroISpecObject_var list;
  if (FAILED(KroCfgStreamer::BaseObjectSeqToSpecObjectList(bench::Sample(static_cast<int>(state.range(0))), list)))
    state.SkipWithError("streaming failed");
  for (auto _ : state) {
    _IDL_SEQUENCE_NlsBaseObject back;
    KroCfgStreamer::BaseObjectSeqFromSpecObjectList(list, back);
    benchmark::DoNotOptimize(back.length());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  list = nullptr;
  bench::EmptyContainer();
}

// Built and read back, every field; dropping the tree afterwards is not timed, as for the peers.
void BM_RoundTrip_Streamer(benchmark::State& state) {
  WarmUp(static_cast<int>(state.range(0)));
  const _IDL_SEQUENCE_NlsBaseObject seq = bench::Sample(static_cast<int>(state.range(0)));
  _IDL_SEQUENCE_NlsBaseObject back;
  for (auto _ : state) {
    KroISpecObject_var list;
    KroCfgStreamer::BaseObjectSeqToSpecObjectList(seq, list);
    KroCfgStreamer::BaseObjectSeqFromSpecObjectList(list, back);
    state.PauseTiming();
    if (!(back == seq)) state.SkipWithError("round trip differs");
    list = nullptr;
    bench::EmptyContainer();
    back = _IDL_SEQUENCE_NlsBaseObject();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Growth of the resident set while a streamed tree is held, per base object.
void BM_Memory_Streamer(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const _IDL_SEQUENCE_NlsBaseObject seq = bench::Sample(count);
  WarmUp(1);  // made once per process, not per object; the tables' growth is per object
  for (auto _ : state) {
    bench::ReturnFreeMemory();
    const long resident = bench::ResidentBytes(), heap = bench::HeapInUseBytes();
    KroISpecObject_var list;
    KroCfgStreamer::BaseObjectSeqToSpecObjectList(seq, list);
    state.counters["bytes_per_object"] = static_cast<double>(bench::ResidentBytes() - resident) / count;
    state.counters["heap_bytes_per_object"] = static_cast<double>(bench::HeapInUseBytes() - heap) / count;
    list = nullptr;
    bench::EmptyContainer();
  }
}

}  // namespace

BENCHMARK(BM_BaseObjectSeqToSpecObjectList)->Arg(kCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaseObjectSeqFromSpecObjectList)->Arg(kCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTrip_Streamer)->Arg(kCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory_Streamer)->Arg(kCount)->Iterations(1)->Unit(benchmark::kMillisecond);
