// cfgso-server run as users run it: started, its address read, talked to through the client and
// through cfgso, stopped. Requests that break the interface's rules get its declared exceptions.
#include <signal.h>

#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CfgServerClient.h"
#include "CfgServerProcess.h"

namespace {

CfgServer::Record BaseObject(const char* name) {
  CfgServer::Record record;
  CfgServer::NlsBaseObject bo;
  bo.name.text = name;
  bo.type.text = "Part";
  record.body.bo(bo);
  return record;
}

CfgServer::RecordSeq One(const CfgServer::Record& record) {
  CfgServer::RecordSeq records;
  records.length(1);
  records[0] = record;
  return records;
}

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override { Start({}); }

  void Start(const std::vector<std::string>& arguments) {
    std::string error;
    ASSERT_TRUE(m_server.Start(m_dir / "test.db", arguments, error)) << error;
    ASSERT_EQ(CfgServerClient::Connect(m_server.address(), m_client, error), S_OK) << error;
  }

  // The code of one create call, its message in m_error.
  HRESULT Create(const CfgServer::RecordSeq& records) {
    return m_client->Call([&](CfgServer::Store_ptr s) { CfgServer::PackedUuids_var ids = s->create(records); }, m_error);
  }
  CORBA::ULong Count() {
    CfgServer::RecordSeq_var all;
    EXPECT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { all = s->list(CfgServer::KindSeq(), "", 0, 100000); }, m_error),
              S_OK);
    return all.operator->() ? all->length() : 0;
  }

  CfgServerTempDir m_dir;
  CfgServerProcess m_server;
  std::unique_ptr<CfgServerClient> m_client;
  std::string m_error;
};

TEST_F(ServerTest, RecordsAreCreatedReadUpdatedListedAndRemovedByUuid) {
  CfgServer::RecordSeq records;
  records.length(2);
  records[0] = BaseObject("Gear box");
  CfgServer::ModelSpecification spec;
  spec.name = "ENGINE-V6";
  spec.alias = "V6";
  records[1].body.specification(spec);
  CfgServer::PackedUuids_var packed;
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { packed = s->create(records); }, m_error), S_OK) << m_error;
  ASSERT_EQ(packed->length(), 32u);
  CfgServer::UuidSeq ids;
  ids.length(2);
  for (CORBA::ULong i = 0; i < 2; ++i) {
    ids[i].length(16);
    std::memcpy(ids[i].get_buffer(), packed->get_buffer() + 16 * i, 16);
  }
  EXPECT_NE(std::memcmp(packed->get_buffer(), packed->get_buffer() + 16, 16), 0);

  CfgServer::Record_var read;
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { read = s->read(ids[1]); }, m_error), S_OK) << m_error;
  EXPECT_STREQ(read->body.specification().alias.in(), "V6");

  records[0].id = ids[0];
  records[0].body.bo().name.text = "Wing";
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { s->update(One(records[0])); }, m_error), S_OK) << m_error;
  CfgServer::KindSeq kinds;
  kinds.length(1);
  kinds[0] = CfgServer::K_BASE_OBJECT;
  CfgServer::RecordSeq_var listed;
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { listed = s->list(kinds, "", 0, 10); }, m_error), S_OK);
  ASSERT_EQ(listed->length(), 1u);
  EXPECT_STREQ(listed[0].body.bo().name.text.in(), "Wing");

  const CfgServer::UuidSeq& both = ids;
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { s->remove(both); }, m_error), S_OK) << m_error;
  EXPECT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { read = s->read(ids[0]); }, m_error), KRO_E_UUID_NOT_BOUND);
  EXPECT_NE(m_error.find("id"), std::string::npos) << m_error;
  EXPECT_EQ(Count(), 0u);
}

// Every hostile request gets a declared exception naming the field, nothing of it is written, and
// the server answers the next request.
TEST_F(ServerTest, HostileRequestsAreRefusedWholeWithTheFieldNamed) {
  auto refused = [&](const CfgServer::RecordSeq& records, HRESULT code, const std::string& field) {
    EXPECT_EQ(Create(records), code) << m_error;
    EXPECT_NE(m_error.find(field), std::string::npos) << m_error;
  };
  // A good record first: the bad one after it must take it down with it.
  CfgServer::RecordSeq records;
  records.length(2);
  records[0] = BaseObject("fine");

  records[1] = BaseObject("bad \xC3\x28 text");
  refused(records, KRO_E_SERVER_BAD_INPUT, "records[1].body.bo.name.text");

  records[1] = BaseObject("short uuid");
  records[1].id.length(15);
  refused(records, KRO_E_SERVER_BAD_INPUT, "records[1].id");
  records[1].id.length(17);
  refused(records, KRO_E_SERVER_BAD_INPUT, "records[1].id");

  CfgServer::NlsBasicEffectivity be;
  be.date_start.year = 2004;
  be.date_start.month = 13;
  be.date_start.day = 1;
  records[1] = CfgServer::Record();
  records[1].body.be(be);
  refused(records, KRO_E_SERVER_BAD_INPUT, "records[1].body.be.date_start.month");

  CfgServer::DMX_Config::NlsNormalValue nv;
  nv.optionalRange.length(2);  // an optional part has one element or none
  records[1].body.nv(nv);
  refused(records, KRO_E_SERVER_BAD_INPUT, "records[1].body.nv.optionalRange");

  CfgServer::RecordSeq many;
  many.length(CfgServer::MAX_BATCH + 1);
  for (CORBA::ULong i = 0; i < many.length(); ++i) many[i].body.subscriber(CfgServer::ModelSubscriber());
  EXPECT_EQ(Create(many), KRO_E_SERVER_BAD_INPUT);
  EXPECT_NE(m_error.find("records"), std::string::npos) << m_error;

  CfgServer::Uuid unknown;
  unknown.length(16);
  for (CORBA::ULong i = 0; i < 16; ++i) unknown[i] = static_cast<CORBA::Octet>(i);
  CfgServer::Record_var read;
  EXPECT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { read = s->read(unknown); }, m_error), KRO_E_UUID_NOT_BOUND);
  records[1] = BaseObject("update of nothing");
  records[1].id = unknown;
  records[0].id = unknown;
  EXPECT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { s->update(records); }, m_error), KRO_E_UUID_NOT_BOUND);
  EXPECT_NE(m_error.find("records[0].id"), std::string::npos) << m_error;
  CfgServer::Uuid shortId;
  shortId.length(3);
  EXPECT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { read = s->read(shortId); }, m_error), KRO_E_SERVER_BAD_INPUT);

  // The same uuid twice in one batch: the first is not kept either.
  records[0] = BaseObject("a");
  records[1] = BaseObject("b");
  records[0].id = unknown;
  records[1].id = unknown;
  EXPECT_EQ(Create(records), KRO_E_SERVER_DUPLICATE_UUID) << m_error;

  EXPECT_EQ(Count(), 0u);
  EXPECT_EQ(Create(One(BaseObject("after all that"))), S_OK) << m_error;
  EXPECT_EQ(Count(), 1u);
}

// The server keeps the uuids in memory: thousands of them, alike but for their last octets (as
// clients number their own), created, removed in part, refused when taken, and all of it read back
// the same after a restart that rebuilds them from the file.
TEST_F(ServerTest, UuidsStayUniqueThroughRemovalsFailedBatchesAndRestarts) {
  constexpr CORBA::ULong kCount = 3000;
  auto id = [](CORBA::ULong n) {
    CfgServer::Uuid u;
    u.length(16);
    for (CORBA::ULong i = 0; i < 16; ++i) u[i] = 0x11;
    u[14] = static_cast<CORBA::Octet>(n >> 8);
    u[15] = static_cast<CORBA::Octet>(n);
    return u;
  };
  auto named = [&](CORBA::ULong n) {
    CfgServer::Record record = BaseObject(("part " + std::to_string(n)).c_str());
    record.id = id(n);
    return record;
  };
  for (CORBA::ULong from = 0; from < kCount; from += 1000) {
    CfgServer::RecordSeq batch;
    batch.length(1000);
    for (CORBA::ULong i = 0; i < 1000; ++i) batch[i] = named(from + i);
    ASSERT_EQ(Create(batch), S_OK) << m_error;
  }
  CfgServer::UuidSeq thirds;
  for (CORBA::ULong n = 0; n < kCount; n += 3) {
    thirds.length(thirds.length() + 1);
    thirds[thirds.length() - 1] = id(n);
  }
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { s->remove(thirds); }, m_error), S_OK) << m_error;

  // A batch refused for a taken uuid leaves its new uuid free; a removal refused for an unknown uuid
  // leaves the known one in place.
  CfgServer::RecordSeq batch;
  batch.length(2);
  batch[0] = named(kCount);
  batch[1] = named(1);
  EXPECT_EQ(Create(batch), KRO_E_SERVER_DUPLICATE_UUID);
  EXPECT_NE(m_error.find("records[1].id"), std::string::npos) << m_error;
  CfgServer::UuidSeq kept;
  kept.length(2);
  kept[0] = id(2);
  kept[1] = id(3);  // removed above
  EXPECT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { s->remove(kept); }, m_error), KRO_E_UUID_NOT_BOUND);
  EXPECT_NE(m_error.find("ids[1]"), std::string::npos) << m_error;
  EXPECT_EQ(Create(One(named(kCount))), S_OK) << m_error;

  m_client.reset();
  ASSERT_EQ(m_server.Stop(), 0);
  Start({});
  CfgServer::Record_var read;
  for (CORBA::ULong n = 0; n <= kCount; ++n) {
    const HRESULT hr = m_client->Call([&](CfgServer::Store_ptr s) { read = s->read(id(n)); }, m_error);
    if (n % 3 == 0 && n != kCount) {
      EXPECT_EQ(hr, KRO_E_UUID_NOT_BOUND) << n;
    } else {
      ASSERT_EQ(hr, S_OK) << n << ": " << m_error;
      EXPECT_EQ(std::string(read->body.bo().name.text.in()), "part " + std::to_string(n));
    }
  }
  EXPECT_EQ(Create(One(named(3))), S_OK) << m_error;
  EXPECT_EQ(Create(One(named(4))), KRO_E_SERVER_DUPLICATE_UUID);
  EXPECT_EQ(Count(), kCount - kCount / 3 + 2);
}

// A query over more effectivities than three octets number: each record that holds is answered once,
// with its first basic effectivity that holds, records in their order and elements in theirs.
TEST_F(ServerTest, AQueryAnswersEachHoldingRecordOnceInOrder) {
  constexpr CORBA::ULong kRecords = 70, kElements = 1000;
  auto basic = [](bool holds) {
    CfgServer::NlsBasicEffectivity be;
    be.date_start = holds ? CfgServer::DMX_OrbixTypes::DateCorba{2005, 1, 1, 0, 0, 0}
                          : CfgServer::DMX_OrbixTypes::DateCorba{1990, 1, 1, 0, 0, 0};
    be.date_end = holds ? CfgServer::DMX_OrbixTypes::DateCorba{2005, 12, 31, 0, 0, 0}
                        : CfgServer::DMX_OrbixTypes::DateCorba{1990, 2, 1, 0, 0, 0};
    be.range_start = be.range_end = 0;
    be.se.expression.text = "";
    be.se.domain.text = "Plant";
    return be;
  };
  auto holds = [](CORBA::ULong record, CORBA::ULong element) { return (record * kElements + element) % 7 == 0; };
  CfgServer::RecordSeq records;
  records.length(kRecords + 1);
  for (CORBA::ULong r = 0; r < kRecords; ++r) {
    CfgServer::NlsBasicEffectivitySeq bes;
    bes.length(kElements);
    for (CORBA::ULong e = 0; e < kElements; ++e) bes[e] = basic(holds(r, e + 1));
    records[r].body.bes(bes);
  }
  CfgServer::NlsDomainEffectivity de;
  de.domain.text = "Plant";
  de.be_lst.length(4);
  for (CORBA::ULong b = 0; b < 4; ++b) de.be_lst[b] = basic(b % 2 == 1);  // the 2nd and 4th hold
  records[kRecords].body.de(de);
  CfgServer::PackedUuids_var ids;
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { ids = s->create(records); }, m_error), S_OK) << m_error;

  CfgServer::Point at;
  at.domain = "Plant";
  at.hasDate = true;
  at.date = 1117584000;  // 2005-06-01
  at.hasRank = false;
  at.rank = 0;
  at.mode150 = false;
  CfgServer::Hits_var hits;
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { hits = s->query(at); }, m_error), S_OK) << m_error;
  CORBA::ULong n = 0;
  auto expect = [&](CORBA::ULong record, CORBA::ULong element, CORBA::ULong basic, CfgServer::Kind kind) {
    ASSERT_LT(n, hits->seqs.length());
    EXPECT_EQ(std::memcmp(hits->ids.get_buffer() + 16 * n, ids->get_buffer() + 16 * record, 16), 0) << n;
    EXPECT_EQ(hits->elements[n], element) << n;
    EXPECT_EQ(hits->basics[n], basic) << n;
    EXPECT_EQ(hits->kinds[n], kind) << n;
    if (n > 0) {
      EXPECT_LE(hits->seqs[n - 1], hits->seqs[n]) << n;
    }
    ++n;
  };
  for (CORBA::ULong r = 0; r < kRecords; ++r)
    for (CORBA::ULong e = 1; e <= kElements; ++e)
      if (holds(r, e)) expect(r, e, 1, CfgServer::K_BASIC_EFFECTIVITY_SEQ);
  expect(kRecords, 0, 2, CfgServer::K_DOMAIN_EFFECTIVITY);
  EXPECT_EQ(hits->seqs.length(), n);
  EXPECT_EQ(hits->ids.length(), 16 * n);
}

// Expression text that does not parse is damage: such a record holds nowhere, where a lenient reading
// of "NOT" would hold everywhere and "ENGINE-V6 AND" would read as ENGINE-V6.
TEST_F(ServerTest, ARecordWhoseExpressionDoesNotParseNeverHolds) {
  const char* texts[] = {"NOT", "ENGINE-V6 AND", "AND ENGINE-V6", "ENGINE-V6 AND AND GEARBOX-AUTO", "ENGINE-V6"};
  CfgServer::RecordSeq records;
  records.length(5);
  for (CORBA::ULong i = 0; i < 5; ++i) {
    CfgServer::NlsSpecExpression se;
    se.expression.text = texts[i];
    se.domain.text = "Plant";
    records[i].body.se(se);
  }
  CfgServer::PackedUuids_var ids;
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { ids = s->create(records); }, m_error), S_OK) << m_error;

  CfgServer::Point at;
  at.domain = "Plant";
  at.hasDate = at.hasRank = at.mode150 = false;
  at.date = at.rank = 0;
  at.chosen.length(1);
  at.chosen[0] = CORBA::string_dup("ENGINE-V6");
  CfgServer::Hits_var hits;
  ASSERT_EQ(m_client->Call([&](CfgServer::Store_ptr s) { hits = s->query(at); }, m_error), S_OK) << m_error;
  ASSERT_EQ(hits->seqs.length(), 1u);
  EXPECT_EQ(std::memcmp(hits->ids.get_buffer(), ids->get_buffer() + 16 * 4, 16), 0);
  // The four that do not parse are named, so the answer is not silently short.
  ASSERT_EQ(hits->damaged.length(), 16u * 4);
  EXPECT_EQ(std::memcmp(hits->damaged.get_buffer(), ids->get_buffer(), 16 * 4), 0);
}

TEST_F(ServerTest, ARequestOverTheSizeLimitIsRefusedAndTheServerGoesOn) {
  m_client.reset();
  ASSERT_EQ(m_server.Stop(), 0);
  Start({"--max-request-bytes", "65536"});
  std::string big(100000, 'x');
  // omniORB closes the connection on it, while the client sends or waits: either code.
  const HRESULT hr = Create(One(BaseObject(big.c_str())));
  EXPECT_TRUE(hr == KRO_E_SERVER_REFUSED || hr == KRO_E_SERVER_UNAVAILABLE) << m_error;
  EXPECT_EQ(Create(One(BaseObject("small"))), S_OK) << m_error;
  EXPECT_EQ(Count(), 1u);
}

TEST(ServerProgram, ListensOnUnixSocketsAndLoopbackOnlyUnlessAllowedAndStopsOnSigterm) {
  CfgServerTempDir dir;
  CfgServerProcess server;
  std::string error;
  ASSERT_TRUE(server.Start(dir / "u.db", {"--endpoint", "giop:unix:" + (dir / "socket")}, error)) << error;
  EXPECT_TRUE(server.address().starts_with("corbaloc:omniunix:")) << server.address();
  std::unique_ptr<CfgServerClient> client;
  ASSERT_EQ(CfgServerClient::Connect(server.address(), client, error), S_OK) << error;
  CfgServer::PackedUuids_var ids;
  EXPECT_EQ(client->Call([&](CfgServer::Store_ptr s) { ids = s->create(One(BaseObject("over a socket"))); }, error), S_OK)
      << error;
  client.reset();
  EXPECT_EQ(server.Stop(), 0);

  std::string out;
  const std::string program = CfgServerProcess::ServerProgram();
  EXPECT_EQ(CfgServerRun(program + " --db " + (dir / "n.db") + " --endpoint giop:tcp:0.0.0.0: 2>&1", out), 2);
  EXPECT_NE(out.find("--listen-any"), std::string::npos) << out;
  EXPECT_EQ(CfgServerRun(program + " --help", out), 0);
  EXPECT_NE(out.find("network"), std::string::npos) << out;
  EXPECT_EQ(CfgServerRun(program + " 2>&1", out), 2);
  EXPECT_NE(out.find("--db"), std::string::npos) << out;
  EXPECT_EQ(CfgServerRun(program + " --version", out), 0);
  EXPECT_TRUE(out.starts_with("cfgso-server ")) << out;
  for (const char* bad : {"--max-request-bytes 1023", "--max-request-bytes=12x", "--bogus", "--endpoint", "stray"}) {
    EXPECT_EQ(CfgServerRun(program + " --db " + (dir / "n.db") + " " + bad + " 2>&1", out), 2) << bad;
    EXPECT_NE(out.find(std::string(bad).substr(0, 8)), std::string::npos) << bad << ": " << out;
  }
  EXPECT_EQ(CfgServerRun(program + " --db /nonexistent/folder/x.db 2>&1", out), 1);
  EXPECT_NE(out.find("/nonexistent/folder/x.db"), std::string::npos) << out;

  // One server holds a database: a second one on the same file is refused, the first goes on.
  ASSERT_TRUE(server.Start(dir / "u.db", {}, error)) << error;
  EXPECT_EQ(CfgServerRun(program + " --db " + (dir / "u.db") + " 2>&1", out), 1);
  EXPECT_NE(out.find("another server"), std::string::npos) << out;
  ASSERT_EQ(CfgServerClient::Connect(server.address(), client, error), S_OK) << error;
  CfgServer::RecordSeq_var all;
  EXPECT_EQ(client->Call([&](CfgServer::Store_ptr s) { all = s->list(CfgServer::KindSeq(), "", 0, 10); }, error), S_OK)
      << error;
  EXPECT_EQ(all->length(), 1u);
  client.reset();
  EXPECT_EQ(server.Stop(), 0);
}

// ---- cfgso push, pull and query --server ----

class CfgsoServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(m_server.Start(m_dir / "cfgso.db", {}, error)) << error;
  }
  // cfgso's exit status, its output in out.
  int Cfgso(const std::string& arguments, std::string& out) {
    return CfgServerRun(CfgServerProcess::CfgsoProgram() + " " + arguments + " 2>&1", out);
  }
  static nlohmann::json Records(const std::string& show) {
    nlohmann::json objects = nlohmann::json::parse(show)["objects"];
    std::function<void(nlohmann::json&)> strip = [&](nlohmann::json& j) {
      if (j.is_object()) {
        j.erase("id");
        for (auto& [key, value] : j.items()) strip(value);
      } else if (j.is_array()) {
        for (auto& value : j) strip(value);
      }
    };
    strip(objects);
    return objects;
  }

  CfgServerTempDir m_dir;
  CfgServerProcess m_server;
};

TEST_F(CfgsoServerTest, APushedDocumentPullsBackWithTheSameRecords) {
  std::string out, before, after;
  ASSERT_EQ(Cfgso("stream --save " + (m_dir / "sent.kro"), out), 0) << out;
  ASSERT_EQ(Cfgso("push " + (m_dir / "sent.kro") + " --server " + m_server.address(), out), 0) << out;
  EXPECT_NE(out.find("7 record(s) sent"), std::string::npos) << out;
  ASSERT_EQ(Cfgso("pull --server " + m_server.address() + " --save " + (m_dir / "back.kro"), out), 0) << out;
  ASSERT_EQ(CfgServerRun(CfgServerProcess::CfgsoProgram() + " show --json " + (m_dir / "sent.kro"), before), 0);
  ASSERT_EQ(CfgServerRun(CfgServerProcess::CfgsoProgram() + " show --json " + (m_dir / "back.kro"), after), 0);
  const nlohmann::json sent = Records(before), back = Records(after);
  ASSERT_EQ(sent.size(), back.size());
  for (std::size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(sent[i], back[i]) << "record " << i;

  // Only the records of the domain asked for.
  ASSERT_EQ(Cfgso("pull --server " + m_server.address() + " --domain 'Plant A' --save " + (m_dir / "a.kro"), out), 0)
      << out;
  EXPECT_NE(out.find("1 StreamerXEffectivityValues"), std::string::npos) << out;
  EXPECT_EQ(out.find("StreamerChange"), std::string::npos) << out;
}

// The server's answer and the in-process answer over the same records: same records, same basics.
TEST_F(CfgsoServerTest, QueriesAnswerAsTheInProcessQueryDoes) {
  std::string out, local, remote;
  ASSERT_EQ(Cfgso("stream --save " + (m_dir / "sent.kro"), out), 0) << out;
  ASSERT_EQ(Cfgso("demo --save " + (m_dir / "demo.kro"), out), 0) << out;
  ASSERT_EQ(Cfgso("push " + (m_dir / "sent.kro") + " --server " + m_server.address(), out), 0) << out;
  ASSERT_EQ(Cfgso("pull --server " + m_server.address() + " --save " + (m_dir / "back.kro"), out), 0) << out;
  for (const char* point : {"--domain 'Plant A' --date 2005-06-01 --rank 5", "--domain 'Plant A' --date 2004-04-01 --rank 15 --spec S9",
                            "--domain 'Plant A' --date 2007-01-01 --150", "--domain 'Plant B' --rank 3"}) {
    ASSERT_EQ(CfgServerRun(CfgServerProcess::CfgsoProgram() + " query --json " + (m_dir / "back.kro") + " " + point, local),
              0);
    ASSERT_EQ(CfgServerRun(CfgServerProcess::CfgsoProgram() + " query --json --server " + m_server.address() + " " + point,
                           remote),
              0);
    nlohmann::json l = nlohmann::json::parse(local), r = nlohmann::json::parse(remote);
    ASSERT_EQ(l.size(), r.size()) << point << "\n" << local << remote;
    for (std::size_t i = 0; i < l.size(); ++i) {
      EXPECT_EQ(l[i]["type"], r[i]["type"]) << point;
      EXPECT_EQ(l[i]["basic"], r[i]["basic"]) << point;
    }
  }
  // The README's walk: the demo's Powertrain effectivity holds on the server.
  ASSERT_EQ(Cfgso("push " + (m_dir / "demo.kro") + " --server " + m_server.address(), out), 0) << out;
  ASSERT_EQ(Cfgso("query --server " + m_server.address() + " --domain Powertrain --date 2004-06-01 --rank 120 --spec ENGINE-V6",
                  out),
            0);
  EXPECT_NE(out.find("1 record(s) hold"), std::string::npos) << out;
  EXPECT_NE(out.find("StreamerDomainEffectivity): basic effectivity 1"), std::string::npos) << out;
  EXPECT_EQ(Cfgso("query --domain Powertrain", out), 2) << out;
}

}  // namespace

TEST_F(CfgsoServerTest, AServerThatIsGoneIsNamedInTheFailure) {
  std::string out;
  const std::string address = m_server.address();
  ASSERT_EQ(m_server.Stop(), 0);
  EXPECT_EQ(Cfgso("pull --server " + address + " --save " + (m_dir / "back.kro"), out), 1);
  EXPECT_NE(out.find("KRO_E_SERVER_UNAVAILABLE (0x80040220)"), std::string::npos) << out;
}
