// Reading one string attribute of a context record through KroCfgSOServices, by key and by name,
// beside an unordered_map holding the same attributes and values. Each copies the value out.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>

#include "BenchSupport.h"
#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"

namespace {

// Longer than a string's in-place buffer, as most names are: copying it out copies heap text.
const char* const kValue = "context benchmark";

// A context record with every attribute filled.
KroICfgSOContext_var FilledContext() {
  bench::FindCatalog();
  KroICfgSOContext_var context;
  if (FAILED(KroCfgSOFactory::createContext(context))) return nullptr;
  context->setName(kValue);
  context->setType("Context");
  context->setInfo("bench");
  context->setUuid(SEQUENCE_octet{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  return context;
}

void BM_GetString_ByKey(benchmark::State& state) {
  KroICfgSOContext_var context = FilledContext();
  KroISpecObject_var so = context;
  KroISpecAttrAccess_var access;
  KroISpecAttrKey_var key;
  if (!so || FAILED(KroCfgSOServices::GetAttrAccessAndKey(so, KroCfgSOStrings::CONTEXT_NAME, access, key))) {
    state.SkipWithError("no context record");
    return;
  }
  KroUnicodeString out;
  for (auto _ : state) {
    KroCfgSOServices::GetStringValue(so, key, out);
    benchmark::DoNotOptimize(out);
  }
  if (!(out == kValue)) state.SkipWithError("wrong value");
}

void BM_GetString_ByName(benchmark::State& state) {
  KroICfgSOContext_var context = FilledContext();
  KroISpecObject_var so = context;
  if (!so) {
    state.SkipWithError("no context record");
    return;
  }
  KroUnicodeString out;
  for (auto _ : state) {
    KroCfgSOServices::GetStringValue(so, KroCfgSOStrings::CONTEXT_NAME, out);
    benchmark::DoNotOptimize(out);
  }
  if (!(out == kValue)) state.SkipWithError("wrong value");
}

void BM_GetString_MapLookup(benchmark::State& state) {
  const std::unordered_map<std::string, std::string> record = {
      {KroCfgSOStrings::CONTEXT_NAME.str(), kValue},
      {KroCfgSOStrings::CONTEXT_TYPE.str(), "Context"},
      {KroCfgSOStrings::CONTEXT_INFO.str(), "bench"},
      {KroCfgSOStrings::CONTEXT_UID.str(), std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10")},
  };
  const std::string& name = KroCfgSOStrings::CONTEXT_NAME.str();
  std::string out;
  for (auto _ : state) {
    auto found = record.find(name);
    if (found != record.end()) out = found->second;
    benchmark::DoNotOptimize(out);
  }
  if (out != kValue) state.SkipWithError("wrong value");
}

}  // namespace

BENCHMARK(BM_GetString_ByKey);
BENCHMARK(BM_GetString_ByName);
BENCHMARK(BM_GetString_MapLookup);
