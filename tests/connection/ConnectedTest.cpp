// Clients connected to cfgso-server, each test with a server of its own: a record written by one
// process binds in another; binds while the server is down fail with its code and work once it is
// back; a connection where no server answers fails at the connecting call; without a connection
// nothing is loaded.
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "CfgServerProcess.h"

namespace {

const std::string kClient = KRO_CONNECTED_CLIENT;

std::string Client(const std::string& environment, const std::string& arguments, int& status) {
  std::string out;
  status = CfgServerRun(environment + " " + kClient + " " + arguments + " 2>&1", out);
  return out;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ConnectedClients, ARecordWrittenByOneProcessBindsInAnother) {
  CfgServerTempDir dir;
  CfgServerProcess server;
  std::string error;
  ASSERT_TRUE(server.Start(dir / "cfg.db", {}, error)) << error;
  int status = -1;
  const std::string written = Client("KRO_CONFIG_SERVER=" + server.address(), "write " + dir / "pt.kro", status);
  ASSERT_EQ(status, 0) << written;
  for (const char* expected : {"specification ENGINE-V6 (V6 engine, V6, , Engine/Engines)",
                               "specification GEARBOX-AUTO", "expression ENGINE-V6", "modification MOD-PT-2024",
                               "subscriber action Release 2024 subscriber action Homologation",
                               "filter FLT-PT domain Powertrain context Powertrain line mode 2 mode150 1",
                               "value dates 1704067200..1735603200, ranks 100..-1, condition ENGINE-V6"})
    EXPECT_NE(written.find(expected), std::string::npos) << expected << " in\n" << written;
  // A fresh process, connected by the call rather than the variable, binds every record.
  const std::string read = Client("", "--connect " + server.address() + " read " + dir / "pt.kro", status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(read, written);
  // Without the server the records are the writing process's only.
  const std::string alone = Client("", "read " + dir / "pt.kro", status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(alone.find("FAILED getSpecification 0x80040201"), std::string::npos) << alone;
}

TEST(ConnectedClients, BindsFailWhileTheServerIsDownAndWorkOnceItIsBack) {
  CfgServerTempDir dir;
  const std::string db = dir / "cfg.db";
  // A Unix socket: the restarted server answers at the same address at once.
  const std::vector<std::string> endpoint = {"--endpoint", "giop:unix:" + dir / "cfg.sock"};
  std::string address, written, error;
  {
    CfgServerProcess server;
    ASSERT_TRUE(server.Start(db, endpoint, error)) << error;
    address = server.address();
    int status = -1;
    written = Client("KRO_CONFIG_SERVER=" + address, "write " + dir / "pt.kro", status);
    ASSERT_EQ(status, 0) << written;
    server.Kill9();
  }
  const std::string out = dir / "out.txt", go = dir / "go";
  std::string ignored;
  CfgServerRun("(KRO_CONFIG_SERVER=" + address + " KRO_CONFIG_SERVER_TIMEOUT_MS=1000 " + kClient + " down " +
                   dir / "pt.kro" + " " + go + " >" + out + " 2>&1; echo $? >" + dir / "status" + ") >/dev/null 2>&1 &",
               ignored);
  // Five records, five failed binds, then it waits for the server.
  std::string down;
  for (int i = 0; i < 600; ++i) {
    down = Slurp(out);
    std::size_t lines = 0;
    for (std::size_t at = down.find("down "); at != std::string::npos; at = down.find("down ", at + 1)) ++lines;
    if (lines == 5) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::istringstream lines(down);
  std::string line;
  int failures = 0;
  while (std::getline(lines, line))
    if (line.starts_with("down ")) {
      ++failures;
      EXPECT_TRUE(line.starts_with("down 0x80040220") || line.starts_with("down 0x80040221")) << line;
    }
  EXPECT_EQ(failures, 5) << down;

  // Back on the same database and address: the same process binds every record.
  CfgServerProcess server;
  ASSERT_TRUE(server.Start(db, endpoint, error)) << error;
  ASSERT_EQ(server.address(), address);
  std::ofstream(go) << "go\n";
  for (int i = 0; i < 600 && Slurp(dir / "status").empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Slurp(dir / "status"), "0\n");
  const std::string after = Slurp(out);
  EXPECT_EQ(after.substr(after.find("specification")), written);
}

TEST(ConnectedClients, ConnectingWhereNoServerAnswersFailsAtTheCallNamingTheAddress) {
  CfgServerTempDir dir;
  CfgServerProcess server;
  std::string error;
  ASSERT_TRUE(server.Start(dir / "cfg.db", {}, error)) << error;
  const std::string address = server.address();
  server.Stop();
  int status = -1;
  const std::string out = Client("KRO_CONFIG_SERVER_TIMEOUT_MS=1000", "--connect " + address + " read x.kro", status);
  EXPECT_EQ(status, 3);
  EXPECT_NE(out.find("connect failed: cannot connect to " + address), std::string::npos) << out;
  EXPECT_NE(out.find("no server answers"), std::string::npos) << out;
  const std::string bad = Client("", "--connect nowhere read x.kro", status);
  EXPECT_EQ(status, 3);
  EXPECT_NE(bad.find("'nowhere' is not a server address"), std::string::npos) << bad;
}

// The libraries proper need nothing of the transport: it is loaded only on connecting.
TEST(ConnectedClients, TheLibrariesLinkNothingOfTheTransport) {
  for (const char* library : {KRO_PLATFORM_LIBRARY, KRO_SERVICES_LIBRARY}) {
    std::string needed;
    ASSERT_EQ(CfgServerRun(std::string("readelf -d ") + library + " | grep NEEDED", needed), 0);
    EXPECT_EQ(needed.find("omni"), std::string::npos) << library << ":\n" << needed;
    EXPECT_EQ(needed.find("CfgServer"), std::string::npos) << library << ":\n" << needed;
  }
}

}  // namespace
