// One of the concurrent clients of the reliability test: for SECONDS, creates records one by one and
// reads back earlier ones, writing the uuid of every acknowledged record to OUT, one per line.
// Exit status 0, or 1 at the first failure (its message on standard error).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "CfgServerClient.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: cfgso_server_load_client ADDRESS SECONDS CLIENT OUT\n");
    return 2;
  }
  std::unique_ptr<CfgServerClient> client;
  std::string error;
  if (FAILED(CfgServerClient::Connect(argv[1], client, error))) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
  const unsigned id = static_cast<unsigned>(std::atoi(argv[3]));
  FILE* out = std::fopen(argv[4], "w");
  if (!out) return 1;
  std::vector<CfgServer::Uuid> acked;
  std::mt19937 random(id);
  for (unsigned n = 0; std::chrono::steady_clock::now() < end; ++n) {
    CfgServer::RecordSeq records;
    records.length(1);
    CfgServer::Uuid& uuid = records[0].id;
    uuid.length(16);
    for (int i = 0; i < 16; ++i) uuid[i] = 0;
    uuid[0] = static_cast<CORBA::Octet>(id);
    for (int i = 0; i < 4; ++i) uuid[15 - i] = static_cast<CORBA::Octet>(n >> (8 * i));
    CfgServer::NlsBaseObject bo;
    const std::string name = "c" + std::to_string(id) + "-" + std::to_string(n);
    bo.name.text = name.c_str();
    records[0].body.bo(bo);
    HRESULT hr = client->Call([&](CfgServer::Store_ptr s) { CfgServer::PackedUuids_var ids = s->create(records); }, error);
    if (FAILED(hr)) {
      std::fprintf(stderr, "client %u: create %u failed: %s\n", id, n, error.c_str());
      return 1;
    }
    acked.push_back(uuid);
    std::fprintf(out, "%s\n", name.c_str());
    const CfgServer::Uuid& earlier = acked[random() % acked.size()];
    CfgServer::Record_var read;
    hr = client->Call([&](CfgServer::Store_ptr s) { read = s->read(earlier); }, error);
    if (FAILED(hr) || read->id[15] != earlier[15] || read->id[14] != earlier[14]) {
      std::fprintf(stderr, "client %u: reading back failed: %s\n", id, error.c_str());
      return 1;
    }
  }
  std::fclose(out);
  return 0;
}
