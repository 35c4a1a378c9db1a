// cfgso-server under faults: killed during writes, down or frozen during calls, eight clients at once.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <thread>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "CfgServerClient.h"
#include "CfgServerProcess.h"

namespace {

CfgServer::RecordSeq Named(unsigned round, unsigned n) {
  CfgServer::RecordSeq records;
  records.length(1);
  records[0].id.length(16);
  for (CORBA::ULong i = 0; i < 16; ++i) records[0].id[i] = 0;
  records[0].id[0] = static_cast<CORBA::Octet>(round + 1);
  records[0].id[14] = static_cast<CORBA::Octet>(n >> 8);
  records[0].id[15] = static_cast<CORBA::Octet>(n);
  CfgServer::NlsBaseObject bo;
  bo.name.text = ("r" + std::to_string(round) + "-" + std::to_string(n)).c_str();
  bo.info.text = std::string(200, 'i').c_str();  // something to be half written, were writes not whole
  records[0].body.bo(bo);
  return records;
}

std::string Sql(const std::string& db, const char* query) {
  sqlite3* handle = nullptr;
  std::string result;
  if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_exec(
        handle, query,
        [](void* out, int, char** values, char**) {
          *static_cast<std::string*>(out) += values[0] ? values[0] : "";
          return 0;
        },
        &result, nullptr);
  }
  sqlite3_close(handle);
  return result;
}

// kill -9 at a random point of a stream of 1 000 single-record writes, 20 times, on one database:
// every acknowledged write is there whole; of the one in flight, all or nothing.
TEST(Reliability, KilledDuringWritesLosesNoAcknowledgedWrite) {
  CfgServerTempDir dir;
  const std::string db = dir / "kill.db";
  std::mt19937 random(29);
  std::vector<std::pair<unsigned, unsigned>> acknowledged;
  unsigned kills = 0;
  for (unsigned round = 0; round < 20; ++round) {
    CfgServerProcess server;
    std::string error;
    ASSERT_TRUE(server.Start(db, {}, error)) << error;
    std::unique_ptr<CfgServerClient> client;
    ASSERT_EQ(CfgServerClient::Connect(server.address(), client, error), S_OK);
    std::atomic<unsigned> done{0};
    std::thread writer([&] {
      for (unsigned n = 0; n < 1000; ++n) {
        std::string message;
        CfgServer::RecordSeq records = Named(round, n);
        if (FAILED(client->Call([&](CfgServer::Store_ptr s) { CfgServer::PackedUuids_var ids = s->create(records); }, message)))
          return;
        done = n + 1;
      }
    });
    const unsigned killAt = 1 + random() % 900;
    while (done < killAt) std::this_thread::sleep_for(std::chrono::microseconds(200));
    server.Kill9();
    ++kills;
    writer.join();
    for (unsigned n = 0; n < done; ++n) acknowledged.emplace_back(round, n);
  }
  EXPECT_EQ(kills, 20u);

  CfgServerProcess server;
  std::string error;
  ASSERT_TRUE(server.Start(db, {}, error)) << error;
  std::unique_ptr<CfgServerClient> client;
  ASSERT_EQ(CfgServerClient::Connect(server.address(), client, error), S_OK);
  unsigned lost = 0;
  for (const auto& [round, n] : acknowledged) {
    CfgServer::RecordSeq expected = Named(round, n);
    CfgServer::Record_var read;
    if (FAILED(client->Call([&](CfgServer::Store_ptr s) { read = s->read(expected[0].id); }, error))) {
      ++lost;
      continue;
    }
    EXPECT_STREQ(read->body.bo().name.text.in(), expected[0].body.bo().name.text.in());
    EXPECT_STREQ(read->body.bo().info.text.in(), expected[0].body.bo().info.text.in());
  }
  EXPECT_EQ(lost, 0u);
  // At most the one write in flight per kill beyond those acknowledged, each whole.
  CfgServer::RecordSeq_var all;
  ASSERT_EQ(client->Call([&](CfgServer::Store_ptr s) { all = s->list(CfgServer::KindSeq(), "", 0, 100000); }, error), S_OK);
  EXPECT_GE(all->length(), acknowledged.size());
  EXPECT_LE(all->length(), acknowledged.size() + kills);
  for (CORBA::ULong i = 0; i < all->length(); ++i) EXPECT_EQ(std::string(all[i].body.bo().info.text.in()).size(), 200u);
  client.reset();
  EXPECT_EQ(server.Stop(), 0);
  EXPECT_EQ(Sql(db, "PRAGMA integrity_check"), "ok");
}

// A server that is gone or frozen: the documented codes, within the timeout; back, the next call works.
TEST(Reliability, CallsWhileTheServerIsDownFailQuicklyAndWorkOnceItIsBack) {
  CfgServerTempDir dir;
  CfgServerProcess server;
  std::string error;
  ASSERT_TRUE(server.Start(dir / "down.db", {}, error)) << error;
  const std::string address = server.address();
  const std::string port = address.substr(address.rfind(':') + 1, address.rfind('/') - address.rfind(':') - 1);
  // A short timeout where the server cannot answer; the usual one where it can, as a loaded machine
  // may be slow.
  std::unique_ptr<CfgServerClient> fast, usual;
  ASSERT_EQ(CfgServerClient::Connect(address, fast, error, 500), S_OK);
  ASSERT_EQ(CfgServerClient::Connect(address, usual, error, 20000), S_OK);
  CfgServerClient* client = usual.get();
  auto call = [&](HRESULT& hr) {
    const auto start = std::chrono::steady_clock::now();
    CfgServer::RecordSeq records = Named(0, 1);
    records[0].id.length(0);
    hr = client->Call([&](CfgServer::Store_ptr s) { CfgServer::PackedUuids_var ids = s->create(records); }, error);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  };
  HRESULT hr = E_FAIL;
  call(hr);
  EXPECT_EQ(hr, S_OK) << error;

  // Frozen: the call times out. A generous bound catches a hang without timing the call.
  client = fast.get();
  server.Signal(SIGSTOP);
  EXPECT_LT(call(hr), 500 + 5000);
  EXPECT_EQ(hr, KRO_E_SERVER_TIMEOUT) << error;
  server.Signal(SIGCONT);

  server.Kill9();
  for (int i = 0; i < 3; ++i) {
    EXPECT_LT(call(hr), 500 + 5000);
    EXPECT_EQ(hr, KRO_E_SERVER_UNAVAILABLE) << error;
    EXPECT_NE(error.find(address), std::string::npos) << error;
  }
  ASSERT_TRUE(server.Start(dir / "down.db", {"--endpoint", "giop:tcp:127.0.0.1:" + port}, error)) << error;
  ASSERT_EQ(server.address(), address);
  client = usual.get();
  call(hr);
  EXPECT_EQ(hr, S_OK) << error;
}

// Eight client processes writing and reading at once: every acknowledged record there once, no
// other, the database sound.
TEST(Reliability, EightConcurrentClientsLoseAndDuplicateNothing) {
  CfgServerTempDir dir;
  const std::string db = dir / "load.db";
  CfgServerProcess server;
  std::string error;
  ASSERT_TRUE(server.Start(db, {}, error)) << error;
  const char* seconds = std::getenv("CFG_SERVER_LOAD_SECONDS");
  std::vector<pid_t> clients;
  for (int i = 0; i < 8; ++i) {
    const std::string id = std::to_string(i + 1), out = dir / ("client" + id);
    pid_t pid = fork();
    if (pid == 0) {
      execl(KRO_LOAD_CLIENT, KRO_LOAD_CLIENT, server.address().c_str(), seconds ? seconds : "30", id.c_str(),
            out.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    clients.push_back(pid);
  }
  int failed = 0;
  for (pid_t pid : clients) {
    int status = 0;
    waitpid(pid, &status, 0);
    failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(server.Stop(), 0);

  std::set<std::string> acknowledged;
  std::size_t lines = 0;
  for (int i = 1; i <= 8; ++i) {
    std::ifstream in(dir / ("client" + std::to_string(i)));
    for (std::string line; std::getline(in, line); ++lines) acknowledged.insert(line);
  }
  EXPECT_EQ(acknowledged.size(), lines);
  EXPECT_GT(lines, 8u);
  EXPECT_EQ(Sql(db, "SELECT count(*) FROM record"), std::to_string(lines));
  EXPECT_EQ(Sql(db, "SELECT count(DISTINCT name) FROM record"), std::to_string(lines));
  EXPECT_EQ(Sql(db, "PRAGMA integrity_check"), "ok");
  std::printf("8 clients: %zu records acknowledged, all there once\n", lines);
}

}  // namespace
