// The streamer's peers: the same 100 000 records built into nlohmann::json, into RapidJSON and into
// a plain vector of structures, then read back field by field into the same IDL sequence the streamer
// fills. The uid travels as 16 raw octets in each: a binary value in nlohmann::json, a string of
// explicit length in RapidJSON, a 16-octet array in the structure.
#include <benchmark/benchmark.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

constexpr int kCount = 100000;

void CopyOctets(const std::uint8_t* data, std::size_t size, _IDL_SEQUENCE_octet& out) {
  out.length(static_cast<CORBA::ULong>(size));
  std::copy(data, data + size, out.begin());
}

// ---- nlohmann::json ----

struct Nlohmann {
  using Store = nlohmann::json;

  static Store Build(const _IDL_SEQUENCE_NlsBaseObject& in) {
    Store doc = Store::array();
    for (const NlsBaseObject& bo : in) {
      Store record = Store::object();
      record["name"] = bo.name.text.str();
      record["type"] = bo.type.text.str();
      record["info"] = bo.info.text.str();
      record["uid"] = Store::binary(std::vector<std::uint8_t>(bo.uid.begin(), bo.uid.end()));
      doc.push_back(std::move(record));
    }
    return doc;
  }

  static void Read(const Store& doc, _IDL_SEQUENCE_NlsBaseObject& out) {
    out.length(static_cast<CORBA::ULong>(doc.size()));
    CORBA::ULong i = 0;
    for (const Store& record : doc) {
      NlsBaseObject& bo = out[i++];
      bo.name.text = record.at("name").get_ref<const std::string&>();
      bo.type.text = record.at("type").get_ref<const std::string&>();
      bo.info.text = record.at("info").get_ref<const std::string&>();
      const auto& uid = record.at("uid").get_binary();
      CopyOctets(uid.data(), uid.size(), bo.uid);
    }
  }
};

// ---- RapidJSON ----

struct RapidJson {
  using Store = rapidjson::Document;

  static void Build(const _IDL_SEQUENCE_NlsBaseObject& in, Store& doc) {
    doc.SetArray();
    Store::AllocatorType& allocator = doc.GetAllocator();
    auto text = [&](const std::string& s) {
      return rapidjson::Value(s.data(), static_cast<rapidjson::SizeType>(s.size()), allocator);
    };
    for (const NlsBaseObject& bo : in) {
      rapidjson::Value record(rapidjson::kObjectType);
      record.AddMember("name", text(bo.name.text.str()), allocator);
      record.AddMember("type", text(bo.type.text.str()), allocator);
      record.AddMember("info", text(bo.info.text.str()), allocator);
      std::string uid(bo.uid.begin(), bo.uid.end());
      record.AddMember("uid", text(uid), allocator);
      doc.PushBack(record, allocator);
    }
  }

  static void Read(const Store& doc, _IDL_SEQUENCE_NlsBaseObject& out) {
    out.length(doc.Size());
    CORBA::ULong i = 0;
    auto text = [](const rapidjson::Value& record, const char* name) -> const rapidjson::Value& {
      return record.FindMember(name)->value;
    };
    for (const rapidjson::Value& record : doc.GetArray()) {
      NlsBaseObject& bo = out[i++];
      const rapidjson::Value& name = text(record, "name");
      bo.name.text = std::string(name.GetString(), name.GetStringLength());
      const rapidjson::Value& type = text(record, "type");
      bo.type.text = std::string(type.GetString(), type.GetStringLength());
      const rapidjson::Value& info = text(record, "info");
      bo.info.text = std::string(info.GetString(), info.GetStringLength());
      const rapidjson::Value& uid = text(record, "uid");
      CopyOctets(reinterpret_cast<const std::uint8_t*>(uid.GetString()), uid.GetStringLength(), bo.uid);
    }
  }
};

// ---- Plain structures ----

struct PlainRecord {
  std::string name, type, info;
  std::array<std::uint8_t, 16> uid;
};

struct StructCopy {
  using Store = std::vector<PlainRecord>;

  static Store Build(const _IDL_SEQUENCE_NlsBaseObject& in) {
    Store records;
    for (const NlsBaseObject& bo : in) {
      PlainRecord& record = records.emplace_back();
      record.name = bo.name.text.str();
      record.type = bo.type.text.str();
      record.info = bo.info.text.str();
      std::copy_n(bo.uid.begin(), std::min<std::size_t>(bo.uid.length(), record.uid.size()), record.uid.begin());
    }
    return records;
  }

  static void Read(const Store& records, _IDL_SEQUENCE_NlsBaseObject& out) {
    out.length(static_cast<CORBA::ULong>(records.size()));
    CORBA::ULong i = 0;
    for (const PlainRecord& record : records) {
      NlsBaseObject& bo = out[i++];
      bo.name.text = record.name;
      bo.type.text = record.type;
      bo.info.text = record.info;
      CopyOctets(record.uid.data(), record.uid.size(), bo.uid);
    }
  }
};

// RapidJSON documents are filled in place; the others are returned.
template <class Peer>
void Build(const _IDL_SEQUENCE_NlsBaseObject& in, typename Peer::Store& store) {
  if constexpr (requires { Peer::Build(in, store); })
    Peer::Build(in, store);
  else
    store = Peer::Build(in);
}

// Built and read back, every field; dropping the store afterwards is not timed, as for the streamer.
template <class Peer>
void BM_RoundTrip(benchmark::State& state) {
  const _IDL_SEQUENCE_NlsBaseObject seq = bench::Sample(static_cast<int>(state.range(0)));
  _IDL_SEQUENCE_NlsBaseObject back;
  for (auto _ : state) {
    auto* store = new typename Peer::Store();
    Build<Peer>(seq, *store);
    Peer::Read(*store, back);
    state.PauseTiming();
    if (!(back == seq)) state.SkipWithError("round trip differs");
    delete store;
    back = _IDL_SEQUENCE_NlsBaseObject();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Growth of the resident set while the built store is held, per record.
template <class Peer>
void BM_Memory(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const _IDL_SEQUENCE_NlsBaseObject seq = bench::Sample(count);
  for (auto _ : state) {
    bench::ReturnFreeMemory();
    const long resident = bench::ResidentBytes(), heap = bench::HeapInUseBytes();
    auto* store = new typename Peer::Store();
    Build<Peer>(seq, *store);
    state.counters["bytes_per_object"] = static_cast<double>(bench::ResidentBytes() - resident) / count;
    state.counters["heap_bytes_per_object"] = static_cast<double>(bench::HeapInUseBytes() - heap) / count;
    delete store;
  }
}

}  // namespace

BENCHMARK(BM_RoundTrip<Nlohmann>)->Name("BM_RoundTrip_NlohmannJson")->Arg(kCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTrip<RapidJson>)->Name("BM_RoundTrip_RapidJson")->Arg(kCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTrip<StructCopy>)->Name("BM_RoundTrip_StructCopy")->Arg(kCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory<Nlohmann>)->Name("BM_Memory_NlohmannJson")->Arg(kCount)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory<RapidJson>)->Name("BM_Memory_RapidJson")->Arg(kCount)->Iterations(1)->Unit(benchmark::kMillisecond);
