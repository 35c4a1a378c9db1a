// The spec-object modeler: attributes of every kind by name and by key, startups and instances,
// containers, and the documents that keep them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "DMXSession.h"
#include "KroDocument.h"
#include "KroSpecModeler.h"
#include "TestPaths.h"

namespace {

class ModelerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_live = KroBaseUnknown::LiveObjects();
    m_container = KroIContainer_var::Adopt(new KroContainer("test"));
    m_startUp = KroISpecObject_var::Adopt(CreateStartUp("Thing", "Thing", "KroISpecObject", m_container, "", nullptr));
  }
  void TearDown() override {
    m_startUp = nullptr;
    m_container = nullptr;
    EXPECT_EQ(KroBaseUnknown::LiveObjects(), m_live) << "components leaked or freed twice";
  }
  KroISpecObject_var newObject() { return KroISpecObject_var::Adopt(m_startUp->Instanciate("", nullptr)); }
  KroISpecAttrKey_var key(const KroISpecObject_var& so, const char* name) {
    KroISpecAttrAccess_var access = so;
    return KroISpecAttrKey_var::Adopt(access->GetAttrKey(name));
  }
  void add(const char* name, TCKind kind, TCKind second = tk_null) {
    KroISpecAttribute_var::Adopt(second == tk_null ? m_startUp->AddAttribute(name, kind)
                                                   : m_startUp->AddAttribute(name, kind, second));
  }

  long m_live = 0;
  KroIContainer_var m_container;
  KroISpecObject_var m_startUp;
};

TEST_F(ModelerTest, ScalarKindsRoundTripByKey) {
  add("i", tk_long);
  add("d", tk_double);
  add("b", tk_boolean);
  add("s", tk_string);
  add("o", tk_specobject);
  KroISpecObject_var so = newObject(), child = newObject();
  KroISpecAttrAccess_var a = so;

  EXPECT_EQ(a->SetInteger(key(so, "i"), -7), S_OK);
  EXPECT_EQ(a->SetDouble(key(so, "d"), 0.1), S_OK);
  EXPECT_EQ(a->SetBoolean(key(so, "b"), 1), S_OK);
  EXPECT_EQ(a->SetString(key(so, "s"), "héllo"), S_OK);
  EXPECT_EQ(a->SetSpecObject(key(so, "o"), child), S_OK);
  EXPECT_EQ(a->GetInteger(key(so, "i")), -7);
  EXPECT_EQ(a->GetDouble(key(so, "d")), 0.1);
  EXPECT_EQ(a->GetBoolean(key(so, "b")), 1);
  EXPECT_EQ(a->GetString(key(so, "s")), "héllo");
  KroISpecObject_var got = KroISpecObject_var::Adopt(a->GetSpecObject(key(so, "o")));
  EXPECT_EQ(got.ptr(), child.ptr());

  // A value of another kind is refused and the stored one kept; reading another kind gives zero.
  EXPECT_EQ(a->SetString(key(so, "i"), "x"), E_FAIL);
  EXPECT_EQ(a->GetInteger(key(so, "i")), -7);
  EXPECT_EQ(a->GetInteger(key(so, "s")), 0);
  EXPECT_EQ(a->GetListInteger(key(so, "i")), nullptr);

  EXPECT_TRUE(a->TestAttribute("i"));
  EXPECT_EQ(a->UnsetAttribute(key(so, "i")), S_OK);
  EXPECT_FALSE(a->TestAttribute("i"));
  EXPECT_EQ(a->GetInteger(key(so, "i")), 0);
  EXPECT_EQ(a->SetSpecObject(key(so, "o"), nullptr), S_OK);
  EXPECT_EQ(a->GetSpecObject(key(so, "o")), nullptr);
}

TEST_F(ModelerTest, ListKindsAppendSetAndUnset) {
  add("li", tk_list, tk_long);
  add("ld", tk_list, tk_double);
  add("ls", tk_list, tk_string);
  add("lo", tk_list, tk_specobject);
  add("oct", tk_list, tk_octet);
  KroISpecObject_var so = newObject(), c1 = newObject(), c2 = newObject();
  KroISpecAttrAccess_var a = so;

  // Unset lists read back empty, not null.
  std::unique_ptr<KroRawCollint> empty(a->GetListInteger(key(so, "li")));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->Size(), 0);

  KroISpecAttribute_var li = KroISpecAttribute_var::Adopt(so->GetAttribute("li"));
  li->AppendInteger(3);
  li->AppendInteger(1);
  std::unique_ptr<KroRawCollint> ints(a->GetListInteger(key(so, "li")));
  EXPECT_EQ(*ints, (KroRawCollint{3, 1}));
  a->SetListInteger(key(so, "li"), KroRawCollint{9});
  EXPECT_EQ(a->SetInteger(key(so, "li"), 5), S_OK);  // a single value on a list is appended
  EXPECT_EQ(a->SetString(key(so, "li"), "x"), E_FAIL);
  ints.reset(a->GetListInteger(key(so, "li")));
  EXPECT_EQ(*ints, (KroRawCollint{9, 5}));

  a->SetListDouble(key(so, "ld"), KroRawColldouble{1.5, -2});
  std::unique_ptr<KroRawColldouble> doubles(a->GetListDouble(key(so, "ld")));
  EXPECT_EQ(*doubles, (KroRawColldouble{1.5, -2}));

  KroISpecAttribute_var::Adopt(so->GetAttribute("ls"))->AppendString("x");
  std::unique_ptr<KroListValKroUnicodeString> strings(a->GetListString(key(so, "ls")));
  EXPECT_EQ(*strings, (KroListValKroUnicodeString{"x"}));

  // SetSpecObject on a list appends, in call order.
  a->SetSpecObject(key(so, "lo"), c2);
  a->SetSpecObject(key(so, "lo"), c1);
  std::unique_ptr<KroListValKroBaseUnknown_var> objects(a->GetListSpecObject(key(so, "lo"), IID_KroISpecObject));
  ASSERT_EQ(objects->Size(), 2);
  EXPECT_EQ(KroISpecObject_var((*objects)[1]).ptr(), c2.ptr());
  EXPECT_EQ(KroISpecObject_var((*objects)[2]).ptr(), c1.ptr());
  std::unique_ptr<KroListValKroBaseUnknown_var> asContainers(a->GetListSpecObject(key(so, "lo"), IID_KroIContainer));
  EXPECT_FALSE((*asContainers)[1]);  // positions kept, elements lacking the interface are null

  SEQUENCE_octet uid{0x00, 0xff, 0x10};
  EXPECT_EQ(a->SetOctets(key(so, "oct"), uid), S_OK);
  std::unique_ptr<SEQUENCE_octet> octets(a->GetOctets(key(so, "oct")));
  EXPECT_EQ(*octets, uid);
  EXPECT_EQ(a->GetOctets(key(so, "li")), nullptr);

  a->UnsetAttribute(key(so, "lo"));
  objects.reset(a->GetListSpecObject(key(so, "lo"), IID_KroISpecObject));
  EXPECT_EQ(objects->Size(), 0);
}

TEST_F(ModelerTest, AttributesAreAddedListedAndRemoved) {
  KroISpecObject_var so = newObject();
  EXPECT_TRUE(KroISpecAttribute_var::Adopt(so->AddAttribute("a", tk_string, "text")));
  EXPECT_TRUE(KroISpecAttribute_var::Adopt(so->AddAttribute("uid", tk_list, tk_octet)));
  EXPECT_FALSE(KroISpecAttribute_var::Adopt(so->AddAttribute("a", tk_long)));            // name taken
  EXPECT_FALSE(KroISpecAttribute_var::Adopt(so->AddAttribute("x", tk_list)));            // list without element kind
  EXPECT_FALSE(KroISpecAttribute_var::Adopt(so->AddAttribute("y", tk_octet)));           // octet alone
  EXPECT_FALSE(KroISpecAttribute_var::Adopt(so->AddAttribute("z", tk_long, "12x")));     // text not a number
  // No attribute without a name, nor with a NUL byte in it, by any of the three overloads.
  const KroUnicodeString nul(std::string("a\0b", 3));
  for (const KroUnicodeString& bad : {KroUnicodeString(""), nul}) {
    EXPECT_FALSE(KroISpecAttribute_var::Adopt(so->AddAttribute(bad, tk_string, "text")));
    EXPECT_FALSE(KroISpecAttribute_var::Adopt(so->AddAttribute(bad, tk_long)));
    EXPECT_FALSE(KroISpecAttribute_var::Adopt(so->AddAttribute(bad, tk_list, tk_octet)));
  }
  KroISpecAttribute_var n = KroISpecAttribute_var::Adopt(so->AddAttribute("n", tk_long, "12"));
  KroISpecAttrAccess_var a = so;
  EXPECT_EQ(a->GetInteger(key(so, "n")), 12);
  EXPECT_EQ(a->GetString(key(so, "a")), "text");

  KroListValKroISpecAttrKey_var keys;
  a->ListAttrKeys(keys);
  ASSERT_EQ(keys.Size(), 3);
  EXPECT_EQ(keys[2]->GetName(), "uid");
  EXPECT_EQ(keys[2]->GetType(), 25);
  EXPECT_EQ(keys[3]->GetType(), 3);

  // A key kept after its attribute is removed no longer reaches anything.
  KroISpecAttrKey_var stale = key(so, "n");
  EXPECT_EQ(so->RemoveAttribute(n), S_OK);
  EXPECT_EQ(so->RemoveAttribute(n), S_FALSE);
  EXPECT_EQ(so->GetAttribute("n"), nullptr);
  EXPECT_EQ(a->SetInteger(stale, 1), E_INVALIDARG);
  EXPECT_EQ(a->GetInteger(stale), 0);
  std::unique_ptr<KroListValKroISpecAttribute_var> list(so->ListAttributes());
  EXPECT_EQ(list->Size(), 2);

  // An attribute of another object is not removed from this one.
  KroISpecObject_var other = newObject();
  KroISpecAttribute_var foreign = KroISpecAttribute_var::Adopt(other->AddAttribute("a", tk_long));
  EXPECT_EQ(so->RemoveAttribute(foreign), S_FALSE);
  EXPECT_EQ(so->CountAttributes(), 2);
}

TEST_F(ModelerTest, ManyAttributesKeepOrderThroughRemovals) {
  KroISpecObject_var so = newObject();
  KroISpecAttrAccess_var a = so;
  const int n = 100000;
  for (int i = 0; i < n; ++i) {
    KroISpecAttribute_var attribute =
        KroISpecAttribute_var::Adopt(so->AddAttribute(("e" + std::to_string(i)).c_str(), tk_long));
    attribute->AppendInteger(i);
  }
  for (int i = 0; i < n; i += 2) so->RemoveAttribute(KroISpecAttribute_var::Adopt(so->GetAttribute(("e" + std::to_string(i)).c_str())));
  ASSERT_EQ(so->CountAttributes(), n / 2);
  KroListValKroISpecAttrKey_var keys;
  a->ListAttrKeys(keys);
  ASSERT_EQ(keys.Size(), n / 2);
  EXPECT_EQ(keys[1]->GetName(), "e1");
  EXPECT_EQ(keys[n / 2]->GetName(), "e" + std::to_string(n - 1));
  EXPECT_EQ(a->GetInteger(key(so, "e77777")), 77777);
}

TEST_F(ModelerTest, InstancesCopyInitialValuesIntoTheirContainer) {
  KroISpecAttribute_var::Adopt(m_startUp->AddAttribute("label", tk_string, "initial"));
  KroISpecAttribute_var::Adopt(m_startUp->AddAttribute("ranks", tk_list, tk_long))->AppendInteger(4);
  int before = m_container->CountObjects();

  KroISpecObject_var so = newObject();  // empty name, null container: the startup's container
  EXPECT_EQ(m_container->CountObjects(), before + 1);
  EXPECT_EQ(so->GetLateType(), "Thing");
  EXPECT_FALSE(so->IsStartUp());
  EXPECT_EQ(KroISpecObject_var::Adopt(so->GetStartUp()).ptr(), m_startUp.ptr());
  EXPECT_EQ(KroIContainer_var::Adopt(so->GetContainer()).ptr(), m_container.ptr());
  EXPECT_EQ(so->Instanciate("", nullptr), nullptr);  // only startups make instances

  KroISpecAttrAccess_var a = so;
  EXPECT_EQ(a->GetString(key(so, "label")), "initial");
  std::unique_ptr<KroRawCollint> ranks(a->GetListInteger(key(so, "ranks")));
  EXPECT_EQ(*ranks, (KroRawCollint{4}));
  a->SetString(key(so, "label"), "changed");  // the startup keeps its own value
  EXPECT_EQ(KroISpecAttrAccess_var(m_startUp)->GetString(key(m_startUp, "label")), "initial");

  KroIContainer_var elsewhere = KroIContainer_var::Adopt(new KroContainer("elsewhere"));
  KroISpecObject_var placed = KroISpecObject_var::Adopt(m_startUp->Instanciate("named", elsewhere));
  EXPECT_EQ(elsewhere->CountObjects(), 1);
  EXPECT_EQ(placed->GetName(), "named");
}

TEST_F(ModelerTest, StartUpsAreFoundByNameAndType) {
  EXPECT_FALSE(KroISpecObject_var::Adopt(CreateStartUp("Thing", "Thing", "KroISpecObject", m_container, "", nullptr)));
  EXPECT_FALSE(KroISpecObject_var::Adopt(CreateStartUp("X", "X", "KroISpecObject", nullptr, "", nullptr)));
  KroISpecAttribute_var::Adopt(m_startUp->AddAttribute("inherited", tk_long, "5"));
  KroISpecObject_var derived =
      KroISpecObject_var::Adopt(CreateStartUp("Derived", "", "KroISpecObject", m_container, "", m_startUp));
  ASSERT_TRUE(derived);
  EXPECT_EQ(derived->GetLateType(), "Derived");
  EXPECT_TRUE(KroISpecAttribute_var::Adopt(derived->GetAttribute("inherited")));

  KroBaseUnknown_var found = KroBaseUnknown_var::Adopt(FindStartUp("KroISpecObject", "Derived", "Derived", m_container));
  EXPECT_EQ(KroISpecObject_var(found).ptr(), derived.ptr());
  EXPECT_EQ(FindStartUp("KroISpecObject", "Derived", "OtherType", m_container), nullptr);
  EXPECT_EQ(FindStartUp("KroISpecObject", "Missing", "", m_container), nullptr);
  EXPECT_EQ(FindStartUp("KroISpecObject", "Derived", "", nullptr), nullptr);
}

TEST_F(ModelerTest, ClosingAContainerBreaksReferenceCycles) {
  KroISpecAttribute_var::Adopt(m_startUp->AddAttribute("peer", tk_specobject));
  KroISpecObject_var a = newObject(), b = newObject();
  KroISpecAttrAccess_var(a)->SetSpecObject(key(a, "peer"), b);
  KroISpecAttrAccess_var(b)->SetSpecObject(key(b, "peer"), a);
  a = nullptr;
  b = nullptr;
  // TearDown releases the container and checks that both objects went with it.
}

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { m_live = KroBaseUnknown::LiveObjects(); }
  void TearDown() override { EXPECT_EQ(KroBaseUnknown::LiveObjects(), m_live); }
  static std::string write(const std::string& name, const std::string& text) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
  }
  long m_live = 0;
};

TEST_F(DocumentTest, CatalogGivesStartUpsWithInitialValuesAndBases) {
  KroDocument* document = nullptr;
  ASSERT_EQ(KroDocumentServices::Open((kro_test::TestDataDir() + "/sample.feat").c_str(), document, 0), S_OK);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->GetDocumentContainer("KroISpecObject"), nullptr);
  {
    KroIContainer_var container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
    ASSERT_TRUE(container);
    KroISpecObject_var derived = KroISpecObject_var::Adopt(container->FindStartUpByName("SampleDerived"));
    ASSERT_TRUE(derived);
    KroISpecObject_var so = KroISpecObject_var::Adopt(derived->Instanciate("", nullptr));
    KroISpecAttrAccess_var a = so;
    auto k = [&](const char* n) { return KroISpecAttrKey_var::Adopt(a->GetAttrKey(n)); };
    EXPECT_EQ(a->GetInteger(k("count")), 7);
    EXPECT_EQ(a->GetDouble(k("ratio")), 2.5);
    EXPECT_EQ(a->GetBoolean(k("enabled")), 1);
    std::unique_ptr<SEQUENCE_octet> uid(a->GetOctets(k("uid")));
    EXPECT_EQ(*uid, (SEQUENCE_octet{1, 2}));
    std::unique_ptr<KroListValKroUnicodeString> names(a->GetListString(k("names")));
    EXPECT_EQ(*names, (KroListValKroUnicodeString{"a", "b c"}));
    EXPECT_FALSE(a->TestAttribute("extra"));
  }
  KroDocumentServices::Close(document);
}

TEST_F(DocumentTest, MalformedOrMissingFilesFailWithFileAndLine) {
  KroDocument* document = nullptr;
  std::string bad = write("bad.feat", "startup \"A\"\n  attribute \"x\" integer = 12abc\nend\n");
  EXPECT_EQ(KroDocumentServices::Open(bad.c_str(), document, 0), KRO_E_BAD_FORMAT);
  EXPECT_EQ(document, nullptr);
  EXPECT_NE(KroDocumentServices::LastError().find(bad + ":2:"), std::string::npos) << KroDocumentServices::LastError();

  std::string clash = write("clash.feat", "startup \"A\"\n  attribute \"x\" integer\nend\n"
                                          "startup \"B\" base \"A\"\n  attribute \"x\" string\nend\n");
  EXPECT_EQ(KroDocumentServices::Open(clash.c_str(), document, 0), KRO_E_BAD_FORMAT);
  EXPECT_NE(KroDocumentServices::LastError().find(":5:"), std::string::npos) << KroDocumentServices::LastError();

  EXPECT_EQ(KroDocumentServices::Open("/nonexistent/dir/x.feat", document, 0), KRO_E_FILE_NOT_FOUND);
  EXPECT_EQ(KroDocumentServices::Open("", document, 0), KRO_E_FILE_NOT_FOUND);
  EXPECT_EQ(document, nullptr);
}

TEST_F(DocumentTest, SavedContainerReopensWithValuesReferencesAndUuids) {
  std::string path = ::testing::TempDir() + "saved.feat";
  SEQUENCE_octet uuid{0xde, 0xad, 0xbe, 0xef, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  {
    KroIContainer_var container = KroIContainer_var::Adopt(new KroContainer("saved"));
    KroISpecObject_var startUp =
        KroISpecObject_var::Adopt(CreateStartUp("Node", "Node", "KroISpecObject", container, "", nullptr));
    KroISpecAttribute_var::Adopt(startUp->AddAttribute("label", tk_string, "none"));
    KroISpecAttribute_var::Adopt(startUp->AddAttribute("uid", tk_list, tk_octet));
    KroISpecAttribute_var::Adopt(startUp->AddAttribute("next", tk_specobject));
    KroISpecAttribute_var::Adopt(startUp->AddAttribute("kids", tk_list, tk_specobject));
    KroISpecObject_var root = KroISpecObject_var::Adopt(startUp->Instanciate("root", nullptr));
    KroISpecObject_var leaf = KroISpecObject_var::Adopt(startUp->Instanciate("leaf", nullptr));
    KroISpecAttrAccess_var a = root;
    auto k = [&](const char* n) { return KroISpecAttrKey_var::Adopt(a->GetAttrKey(n)); };
    a->SetString(k("label"), "the \"root\"");
    a->SetOctets(k("uid"), uuid);
    a->SetSpecObject(k("next"), leaf);
    a->SetSpecObject(k("kids"), leaf);
    a->SetSpecObject(k("kids"), root);  // a cycle, saved as references
    ASSERT_EQ(KroDocumentServices::Save(container, path.c_str()), S_OK);

    // A reference to an object outside the container cannot be written.
    KroIContainer_var other = KroIContainer_var::Adopt(new KroContainer("other"));
    KroISpecObject_var outsider = KroISpecObject_var::Adopt(startUp->Instanciate("out", other));
    a->SetSpecObject(k("next"), outsider);
    EXPECT_EQ(KroDocumentServices::Save(container, (path + ".2").c_str()), E_FAIL);
  }

  KroDocument* document = nullptr;
  ASSERT_EQ(KroDocumentServices::Open(path.c_str(), document, 0), S_OK) << KroDocumentServices::LastError();
  {
    KroIContainer_var container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
    KroListValKroISpecObject_var objects = container->ListObjects();
    ASSERT_EQ(objects.Size(), 2);
    KroISpecObject_var root = objects[1], leaf = objects[2];
    EXPECT_EQ(root->GetName(), "root");
    EXPECT_EQ(root->GetLateType(), "Node");
    KroISpecAttrAccess_var a = root;
    auto k = [&](const char* n) { return KroISpecAttrKey_var::Adopt(a->GetAttrKey(n)); };
    EXPECT_EQ(a->GetString(k("label")), "the \"root\"");
    std::unique_ptr<SEQUENCE_octet> uid(a->GetOctets(k("uid")));
    EXPECT_EQ(*uid, uuid);
    EXPECT_EQ(KroISpecObject_var::Adopt(a->GetSpecObject(k("next"))).ptr(), leaf.ptr());
    std::unique_ptr<KroListValKroBaseUnknown_var> kids(a->GetListSpecObject(k("kids"), IID_KroISpecObject));
    ASSERT_EQ(kids->Size(), 2);
    EXPECT_EQ(KroISpecObject_var((*kids)[2]).ptr(), root.ptr());
    EXPECT_EQ(KroISpecObject_var::Adopt(root->GetStartUp())->GetName(), "Node");
  }
  KroDocumentServices::Close(document);
}

TEST(SessionTest, SessionHandsOutItsFactoryManager) {
  DMXSession* session = DMXSession::OpenSession();
  ASSERT_NE(session, nullptr);
  KroIDmxFactoryManager_var first, second;
  EXPECT_EQ(session->GetDMXObjectFactory(first), S_OK);
  session->GetDMXObjectFactory(second);
  ASSERT_TRUE(first);
  EXPECT_EQ(first.ptr(), second.ptr());
  DMXSession::SetAvailable(false);
  EXPECT_EQ(DMXSession::OpenSession(), nullptr);
  DMXSession::SetAvailable(true);
}

TEST(CfgsoToolTest, SavesWhatItMadeAndShowsDocuments) {
  auto run = [](const std::string& args, std::string& out) {
    FILE* pipe = popen(("env -u KroGraphicPath " + kro_test::CfgsoTool() + " " + args + " 2>&1").c_str(), "r");
    char buf[4096];
    out.clear();
    while (std::size_t n = fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
    return WEXITSTATUS(pclose(pipe));
  };
  const std::string demo = ::testing::TempDir() + "cfgso-demo.kro", stream = ::testing::TempDir() + "cfgso-stream.kro";
  std::string out;
  ASSERT_EQ(run("demo --save " + demo, out), 0) << out;
  EXPECT_NE(out.find("cfgso: saved "), std::string::npos) << out;
  ASSERT_EQ(run("show " + demo, out), 0) << out;
  // The context first, a nested date indented under its interval.
  EXPECT_NE(out.find("object 1 \"\" of \"CfgSOContext\" (type CfgSOContext)\n  cn string = \"Assembly line A\"\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("  Start specobject =\n    object "), std::string::npos) << out;
  EXPECT_NE(out.find("of \"CfgSODate\" (type CfgSODate)\n      S integer = "), std::string::npos) << out;
  ASSERT_EQ(run("show --json " + demo, out), 0) << out;
  EXPECT_EQ(out.rfind("{\n  \"file\": ", 0), 0u) << out;
  EXPECT_NE(out.find("\"startup\": \"CfgSOContext\""), std::string::npos);
  EXPECT_NE(out.find("{\n          \"name\": \"cn\",\n          \"kind\": \"string\",\n          \"value\": \"Assembly line A\"\n"),
            std::string::npos)
      << out;

  ASSERT_EQ(run("stream --save " + stream, out), 0) << out;
  ASSERT_EQ(run("show " + stream, out), 0) << out;
  EXPECT_NE(out.find("of \"StreamerlstBaseObject\""), std::string::npos) << out;
  EXPECT_NE(out.find("  bo_lst list specobject = [\n    object "), std::string::npos) << out;

  EXPECT_EQ(run("show /nonexistent.kro", out), 1);
  EXPECT_EQ(run("show", out), 2);
  EXPECT_EQ(run("demo --save /nonexistent/dir/x.kro", out), 1);
  EXPECT_NE(out.find("the folder does not exist"), std::string::npos) << out;
  std::remove(demo.c_str());
  std::remove(stream.c_str());
}

}  // namespace
