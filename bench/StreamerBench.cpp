// The streamer on a large sequence: 100 000 base objects to a spec-object list, and back.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "KroCfgSOFactory.h"
#include "KroCfgStreamer.h"

namespace {

constexpr int kCount = 100000;

// The catalog lies next to cfgso, one directory above this program, unless KroGraphicPath says otherwise.
void FindCatalog() {
  if (std::getenv("KroGraphicPath")) return;
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return;
  std::string path = self.parent_path().string() + ":" + self.parent_path().parent_path().string();
  setenv("KroGraphicPath", path.c_str(), 1);
}

_IDL_SEQUENCE_NlsBaseObject Sample(int count) {
  _IDL_SEQUENCE_NlsBaseObject seq;
  seq.length(static_cast<CORBA::ULong>(count));
  for (int i = 0; i < count; ++i) {
    NlsBaseObject& bo = seq[static_cast<CORBA::ULong>(i)];
    bo.name.text = "part-" + std::to_string(i);
    bo.type.text = "Part";
    bo.info.text = "benchmark sample";
    bo.uid.length(16);
    for (CORBA::ULong k = 0; k < 16; ++k) bo.uid[k] = static_cast<CORBA::Octet>(i + k);
  }
  return seq;
}

// The factory's container keeps every instance; empty it so that iterations do not pile up.
void EmptyContainer() {
  KroIContainer_var container;
  if (FAILED(KroCfgSOFactory::getContainer(container))) return;
  for (const KroISpecObject_var& object : container->ListObjects()) container->RemoveObject(object);
}

void BM_BaseObjectSeqToSpecObjectList(benchmark::State& state) {
  FindCatalog();
  const _IDL_SEQUENCE_NlsBaseObject seq = Sample(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    KroISpecObject_var list;
    if (FAILED(KroCfgStreamer::BaseObjectSeqToSpecObjectList(seq, list))) state.SkipWithError("streaming failed");
    benchmark::DoNotOptimize(list.ptr());
    state.PauseTiming();
    list = nullptr;
    EmptyContainer();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_BaseObjectSeqFromSpecObjectList(benchmark::State& state) {
  FindCatalog();
  KroISpecObject_var list;
  if (FAILED(KroCfgStreamer::BaseObjectSeqToSpecObjectList(Sample(static_cast<int>(state.range(0))), list)))
    state.SkipWithError("streaming failed");
  for (auto _ : state) {
    _IDL_SEQUENCE_NlsBaseObject back;
    KroCfgStreamer::BaseObjectSeqFromSpecObjectList(list, back);
    benchmark::DoNotOptimize(back.length());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  list = nullptr;
  EmptyContainer();
}

void BM_BaseObjectSeqRoundTrip(benchmark::State& state) {
  FindCatalog();
  const _IDL_SEQUENCE_NlsBaseObject seq = Sample(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    KroISpecObject_var list;
    _IDL_SEQUENCE_NlsBaseObject back;
    KroCfgStreamer::BaseObjectSeqToSpecObjectList(seq, list);
    KroCfgStreamer::BaseObjectSeqFromSpecObjectList(list, back);
    state.PauseTiming();
    if (!(back == seq)) state.SkipWithError("round trip differs");
    list = nullptr;
    EmptyContainer();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_BaseObjectSeqToSpecObjectList)->Arg(kCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaseObjectSeqFromSpecObjectList)->Arg(kCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaseObjectSeqRoundTrip)->Arg(kCount)->Unit(benchmark::kMillisecond);
