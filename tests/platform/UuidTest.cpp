#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <set>
#include <sstream>

#include "KroCfgUuid.h"

namespace {

class Linkable : public KroILinkableObject {
 public:
  HRESULT QueryInterface(const IID& iid, void** out) override {
    return KroQueryInterfaces<KroILinkableObject>(this, iid, out);
  }
  HRESULT GetUuid(SEQUENCE_octet& uuid) override {
    uuid = m_registration.uuid();
    return S_OK;
  }

 private:
  KroUuidRegistration m_registration{this};
};

// A linkable object whose uuid cannot be read.
class Unreadable : public KroILinkableObject {
 public:
  HRESULT QueryInterface(const IID& iid, void** out) override {
    return KroQueryInterfaces<KroILinkableObject>(this, iid, out);
  }
  HRESULT GetUuid(SEQUENCE_octet&) override { return E_UNEXPECTED; }
};

class UuidTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(KroBaseUnknown::LiveObjects(), m_liveAtStart); }
  long m_liveAtStart = KroBaseUnknown::LiveObjects();
};

TEST_F(UuidTest, BindsLiveObjectsOnly) {
  auto* object = new Linkable;
  auto* other = new Linkable;
  KroCfgUuid uuid{KroILinkableObject_var(object)};
  EXPECT_EQ(uuid.octets().length(), 16u);
  EXPECT_FALSE(uuid == KroCfgUuid{KroILinkableObject_var(other)});

  KroILinkableObject_var bound;
  ASSERT_EQ(uuid.bindObject(bound), S_OK);
  EXPECT_EQ(bound.ptr(), object);
  EXPECT_EQ(object->GetRefCount(), 2u);  // the handle holds its own reference
  bound = nullptr;

  object->Release();
  KroILinkableObject_var kept(other);
  EXPECT_EQ(uuid.bindObject(kept), KRO_E_UUID_NOT_BOUND);
  EXPECT_EQ(kept.ptr(), other);

  EXPECT_EQ(KroCfgUuid::Generate().bindObject(kept), KRO_E_UUID_NOT_BOUND);
  EXPECT_EQ(KroCfgUuid().bindObject(kept), KRO_E_UUID_INVALID);
  EXPECT_EQ(kept.ptr(), other);
  EXPECT_EQ(KroCfgUuid(KroILinkableObject_var(nullptr)).octets().length(), 0u);

  kept = nullptr;
  other->Release();
}

TEST_F(UuidTest, GetUuidGivesTheObjectsOwnResult) {
  SEQUENCE_octet out{0x55};
  {
    KroILinkableObject_var object = KroILinkableObject_var::Adopt(new Linkable);
    EXPECT_EQ(KroCfgUuid(object).getUuid(out), S_OK);
    EXPECT_EQ(out.length(), 16u);
  }
  {
    KroILinkableObject_var object = KroILinkableObject_var::Adopt(new Unreadable);
    EXPECT_EQ(KroCfgUuid(object).getUuid(out), E_UNEXPECTED);
    EXPECT_EQ(out.length(), 0u);
  }
  out = SEQUENCE_octet{0x55};
  EXPECT_EQ(KroCfgUuid(KroILinkableObject_var(nullptr)).getUuid(out), E_NOINTERFACE);
  EXPECT_EQ(out.length(), 0u);
  EXPECT_EQ(KroCfgUuid(SEQUENCE_octet{1, 2}).getUuid(out), S_OK);
  EXPECT_EQ(out, (SEQUENCE_octet{1, 2}));
}

TEST_F(UuidTest, GeneratesDistinctVersion4Uuids) {
  const std::regex form("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) {
    std::string text = KroCfgUuid::Generate().ToString();
    EXPECT_TRUE(std::regex_match(text, form)) << text;
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 100u);

  KroCfgUuid fixed(SEQUENCE_octet{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd,
                                  0xee, 0xff});
  EXPECT_EQ(fixed.ToString(), "00112233-4455-6677-8899-aabbccddeeff");
  EXPECT_EQ(KroCfgUuid(SEQUENCE_octet{0x0a, 0xb0}).ToString(), "0ab0");
}

// A forked process must not hand out the uuids its parent hands out: each uuid draws fresh entropy,
// not the next number of a generator whose state the child inherited.
TEST_F(UuidTest, ForkedProcessesDrawDifferentUuids) {
  KroCfgUuid::Generate();  // whatever state a generator keeps is now set up in the parent
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string text = KroCfgUuid::Generate().ToString();
    _exit(write(fds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  close(fds[1]);
  const std::string mine = KroCfgUuid::Generate().ToString();
  char buffer[64] = {};
  const ssize_t n = read(fds[0], buffer, sizeof buffer - 1);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(n, 36);
  EXPECT_NE(std::string(buffer, 36), mine);
}

TEST_F(UuidTest, TracesCanonicalForm) {
  std::ostringstream out;
  KroDmxTrace::ReadEnvironment();
  KroDmxTrace::DisableAll();
  KroDmxTrace::SetOutputOverride(&out);
  KroDmxTrace trace("UuidT_Trace", nullptr, "STDOUT");
  KroCfgUuid fixed(SEQUENCE_octet{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd,
                                  0xee, 0xff});
  trace << fixed << KroDmxTrace_nl;
  KroDmxTrace::Enable("UuidT_Trace");
  trace << "uuid " << fixed << KroDmxTrace_nl;
  KroDmxTrace::DisableAll();
  KroDmxTrace::SetOutputOverride(nullptr);
  EXPECT_EQ(out.str(), "uuid 00112233-4455-6677-8899-aabbccddeeff\n");
}

}  // namespace
