// Saved documents come back exactly: each object with its own startup, roots in order, and a damaged
// file refused with the file and line; opening refuses what is not a regular file or is too large.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "KroDocument.h"
#include "KroDocumentFile.h"
#include "KroSpecModeler.h"
#include "TestPaths.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

KroISpecAttrKey_var Key(const KroISpecObject_var& so, const char* name) {
  KroISpecAttrAccess_var access = so;
  return KroISpecAttrKey_var::Adopt(access->GetAttrKey(name));
}

// Every object of a container as its public interfaces show it, one line each: startup, name, late type
// and each attribute's name, kind and value; references as positions in the container's list.
std::string Dump(const KroIContainer_var& container) {
  const KroListValKroISpecObject_var objects = container->ListObjects();
  auto position = [&](KroISpecObject* target) {
    for (int i = 1; i <= objects.Size(); ++i)
      if (objects[i].ptr() == target) return "#" + std::to_string(i);
    return std::string(target ? "#outside" : "null");
  };
  std::string out;
  for (int i = 1; i <= objects.Size(); ++i) {
    const KroISpecObject_var& so = objects[i];
    KroISpecAttrAccess_var access = so;
    KroISpecObject_var startUp = KroISpecObject_var::Adopt(so->GetStartUp());
    out += startUp->GetName().str() + " '" + so->GetName().str() + "' " + so->GetLateType().str() + ":";
    std::unique_ptr<KroListValKroISpecAttribute_var> attributes(so->ListAttributes());
    for (int k = 1; k <= attributes->Size(); ++k) {
      KroISpecAttribute_var attribute = (*attributes)[k];
      KroISpecAttrKey_var key = attribute;
      const std::string name = attribute->GetName().str();
      out += " " + name + "/" + std::to_string(attribute->GetKind()) + "/" + std::to_string(attribute->GetElementKind()) + "=";
      if (!access->TestAttribute(name.c_str())) {
        out += "unset";
        continue;
      }
      switch (attribute->GetKind()) {
        case tk_long: out += std::to_string(access->GetInteger(key)); break;
        case tk_double: out += std::to_string(access->GetDouble(key)); break;
        case tk_boolean: out += access->GetBoolean(key) ? "true" : "false"; break;
        case tk_string: out += "'" + access->GetString(key).str() + "'"; break;
        case tk_specobject: out += position(KroISpecObject_var::Adopt(access->GetSpecObject(key)).ptr()); break;
        default:
          switch (attribute->GetElementKind()) {
            case tk_octet: {
              std::unique_ptr<SEQUENCE_octet> octets(access->GetOctets(key));
              for (unsigned char c : octets->bytes()) out += std::to_string(c) + ".";
              break;
            }
            case tk_long: {
              std::unique_ptr<KroRawCollint> list(access->GetListInteger(key));
              for (int v : *list) out += std::to_string(v) + ",";
              break;
            }
            case tk_double: {
              std::unique_ptr<KroRawColldouble> list(access->GetListDouble(key));
              for (double v : list->items()) out += std::to_string(v) + ",";
              break;
            }
            case tk_string: {
              std::unique_ptr<KroListValKroUnicodeString> list(access->GetListString(key));
              for (const KroUnicodeString& v : *list) out += "'" + v.str() + "',";
              break;
            }
            default: {
              std::unique_ptr<KroListValKroBaseUnknown_var> list(access->GetListSpecObject(key, IID_KroISpecObject));
              for (int e = 1; e <= list->Size(); ++e) {
                KroISpecObject_var target = (*list)[e];
                out += position(target.ptr()) + ",";
              }
            }
          }
      }
    }
    out += "\n";
  }
  return out;
}

class DocumentSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::path(::testing::TempDir()) / ("save-" + std::to_string(getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    m_live = KroBaseUnknown::LiveObjects();
  }
  void TearDown() override {
    KroDoc::SetMaxFileSize(KroDoc::kDefaultMaxFileSize);
    fs::remove_all(m_dir);
    EXPECT_EQ(KroBaseUnknown::LiveObjects(), m_live);
  }
  std::string Path(const char* name) const { return (m_dir / name).string(); }

  // Opens, hands the document to `body`, closes; the open's result.
  template <class Body>
  HRESULT WithDocument(const std::string& path, Body body) {
    KroDocument* document = nullptr;
    HRESULT hr = KroDocumentServices::Open(path.c_str(), document, 0);
    if (SUCCEEDED(hr)) {
      body(*document);
      KroDocumentServices::Close(document);
    }
    return hr;
  }

  // Opens a file and saves its whole container again; the saved text.
  std::string Resave(const std::string& from, const std::string& to) {
    EXPECT_EQ(WithDocument(from, [&](KroDocument& d) {
                KroIContainer_var c = KroIContainer_var::Adopt(d.GetDocumentContainer("KroIContainer"));
                EXPECT_EQ(KroDocumentServices::Save(c, to.c_str()), S_OK);
              }),
              S_OK)
        << KroDocumentServices::LastError();
    return Slurp(to);
  }

  fs::path m_dir;
  long m_live = 0;
};

// Objects made from the startups of another container (a catalog) keep those startups when saved.
TEST_F(DocumentSaveTest, ObjectsKeepTheirStartupsAndReopenExactly) {
  {
    KroIContainer_var catalog = KroIContainer_var::Adopt(new KroContainer("catalog"));
    KroIContainer_var work = KroIContainer_var::Adopt(new KroContainer("work"));
    KroISpecObject_var date =
        KroISpecObject_var::Adopt(CreateStartUp("CfgSODate", "CfgSODate", "KroISpecObject", catalog, "", nullptr));
    KroISpecAttribute_var::Adopt(date->AddAttribute("S", tk_long));
    // Its late type is not its name: writing the late type in the startup's place changed startup.
    KroISpecObject_var special =
        KroISpecObject_var::Adopt(CreateStartUp("SpecialDate", "CfgSODate", "KroISpecObject", catalog, "", nullptr));
    KroISpecAttribute_var::Adopt(special->AddAttribute("S", tk_long, "7"));
    KroISpecAttribute_var::Adopt(special->AddAttribute("when", tk_specobject));
    KroISpecObject_var plain = KroISpecObject_var::Adopt(date->Instanciate("plain", work));
    KroISpecObject_var odd = KroISpecObject_var::Adopt(special->Instanciate("odd", work));
    KroISpecAttrAccess_var(odd)->SetSpecObject(Key(odd, "when"), plain);
    ASSERT_EQ(KroDocumentServices::Save(work, Path("first.kro").c_str()), S_OK) << KroDocumentServices::LastError();
  }
  EXPECT_EQ(WithDocument(Path("first.kro"),
                         [](KroDocument& d) {
                           KroIContainer_var c = KroIContainer_var::Adopt(d.GetDocumentContainer("KroIContainer"));
                           KroListValKroISpecObject_var objects = c->ListObjects();
                           ASSERT_EQ(objects.Size(), 2);
                           EXPECT_EQ(KroISpecObject_var::Adopt(objects[1]->GetStartUp())->GetName(), "CfgSODate");
                           EXPECT_EQ(KroISpecObject_var::Adopt(objects[2]->GetStartUp())->GetName(), "SpecialDate");
                           EXPECT_EQ(objects[2]->GetLateType(), "CfgSODate");
                           KroISpecAttrAccess_var a = objects[2];
                           EXPECT_EQ(a->GetInteger(Key(objects[2], "S")), 7);
                           EXPECT_EQ(KroISpecObject_var::Adopt(a->GetSpecObject(Key(objects[2], "when"))).ptr(),
                                     objects[1].ptr());
                         }),
            S_OK);
  // Open, save, open, save: the same bytes twice.
  const std::string second = Resave(Path("first.kro"), Path("second.kro"));
  EXPECT_EQ(Resave(Path("second.kro"), Path("third.kro")), second);
  EXPECT_EQ(second, Slurp(Path("first.kro")));
}

// A hand-written catalog whose objects name startups of another catalog opens, and saving it keeps
// those names.
TEST_F(DocumentSaveTest, HandWrittenFilesWithoutHeaderOpenAndKeepForeignStartups) {
  Put(Path("hand.kro"),
      "# no header, no trailer\n"
      "object 2 of \"Later\" name \"b\"\nend\n"
      "object 1 of \"Elsewhere\" name \"a\" type \"Late\"\n  attribute \"n\" integer = 4\nend\n"
      "startup \"Later\"\n  attribute \"x\" string = \"init\"\nend\n");
  const std::string saved = Resave(Path("hand.kro"), Path("saved.kro"));
  // The foreign startup is written as an empty one of that name; its object's attribute goes with its kind.
  EXPECT_NE(saved.find("\nstartup 2 \"Elsewhere\" type \"Late\"\nend\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\n1 name \"b\" absent\n2 name \"a\" \"n\" integer = 4\n"), std::string::npos) << saved;
  EXPECT_EQ(Resave(Path("saved.kro"), Path("again.kro")), saved);
}

// Documents of the earlier versions (committed as written then) open as they always did, and saving them
// writes the current version, which reopens to the same objects and values.
TEST_F(DocumentSaveTest, DocumentsOfEveryOlderVersionOpenAndSaveAsTheCurrentOne) {
  auto dump = [&](const std::string& path) {
    std::string text;
    EXPECT_EQ(WithDocument(path, [&](KroDocument& d) {
                text = Dump(KroIContainer_var::Adopt(d.GetDocumentContainer("KroIContainer")));
              }),
              S_OK)
        << KroDocumentServices::LastError();
    return text;
  };
  for (const char* file : {"version0.kro", "version1.kro"}) {
    SCOPED_TRACE(file);
    const std::string old = kro_test::TestDataDir() + "/documents/" + file;
    const std::string before = dump(old);
    const std::string saved = Resave(old, Path("current.kro"));
    EXPECT_EQ(saved.rfind("document version 2\n", 0), 0u);
    EXPECT_EQ(dump(Path("current.kro")), before);
  }
  const std::string v1 = dump(kro_test::TestDataDir() + "/documents/version1.kro");
  // The first object has every kind; the second lacks most of its startup's attributes, and has its
  // own "n" of another kind than the startup's.
  EXPECT_NE(v1.find("Context '' Context: cn/18/0='ctx-0' ct/18/0='Part' cuid/25/10=0.1.2.3.4.5.6.7.8.9.10.11.12.13.14.15. "
                    "n/3/0=-2147483648 ratio/7/0=0.100000 on/8/0=true next/14/0=#2 kids/25/14=#2,null,#1, "
                    "ranks/25/3=1,-2,3, weights/25/7="),
            std::string::npos)
      << v1;
  EXPECT_NE(v1.find("Context 'second' Special: cn/18/0='a name longer than twenty-two bytes, on the heap' ct/18/0=unset "
                    "n/18/0='own attribute: the startup's n is an integer' extra/3/0=7\n"),
            std::string::npos)
      << v1;
  EXPECT_NE(v1.find("Elsewhere 'ext' Late: note/18/0='line one\nline two \x01 Gr\xc3\xbc\xc3\x9f'\n"), std::string::npos) << v1;
  EXPECT_EQ(WithDocument(kro_test::TestDataDir() + "/documents/version1.kro",
                         [&](KroDocument& d) {
                           KroListValKroISpecObject_var roots;
                           d.GetRoots(roots);
                           ASSERT_EQ(roots.Size(), 2);
                           EXPECT_EQ(roots[1]->GetName().str(), "second");
                           EXPECT_EQ(roots[2]->GetName().str(), "");
                         }),
            S_OK);
  const std::string v0 = dump(kro_test::TestDataDir() + "/documents/version0.kro");
  EXPECT_EQ(v0, "Later 'b' Later: x/18/0='set'\nElsewhere 'a' Late: n/3/0=4 back/14/0=#1\n");
}

TEST_F(DocumentSaveTest, RootsComeBackInOrderWithWhatTheyReach) {
  {
    KroIContainer_var catalog = KroIContainer_var::Adopt(new KroContainer("catalog"));
    KroISpecObject_var node =
        KroISpecObject_var::Adopt(CreateStartUp("Node", "Node", "KroISpecObject", catalog, "", nullptr));
    KroISpecObject_var unused =
        KroISpecObject_var::Adopt(CreateStartUp("Unused", "Unused", "KroISpecObject", catalog, "", nullptr));
    KroISpecAttribute_var::Adopt(node->AddAttribute("kids", tk_list, tk_specobject));
    KroISpecObject_var a = KroISpecObject_var::Adopt(node->Instanciate("a", catalog));
    KroISpecObject_var b = KroISpecObject_var::Adopt(node->Instanciate("b", catalog));
    KroISpecObject_var leaf = KroISpecObject_var::Adopt(node->Instanciate("leaf", catalog));
    KroISpecObject_var stray = KroISpecObject_var::Adopt(node->Instanciate("stray", catalog));
    KroISpecAttrAccess_var(b)->SetSpecObject(Key(b, "kids"), leaf);
    KroISpecAttrAccess_var(b)->SetSpecObject(Key(b, "kids"), b);  // a cycle
    ASSERT_EQ(KroDocumentServices::Save(KroListValKroISpecObject_var{b, a, b}, Path("roots.kro").c_str()), S_OK)
        << KroDocumentServices::LastError();

    // A startup cannot be a root, nor be referred to.
    EXPECT_EQ(KroDocumentServices::Save(KroListValKroISpecObject_var{node}, Path("bad.kro").c_str()), E_INVALIDARG);
    EXPECT_EQ(KroDocumentServices::Save(KroListValKroISpecObject_var{KroISpecObject_var()}, Path("bad.kro").c_str()),
              E_INVALIDARG);
    KroISpecAttrAccess_var(a)->SetSpecObject(Key(a, "kids"), node);
    EXPECT_EQ(KroDocumentServices::Save(KroListValKroISpecObject_var{a}, Path("bad.kro").c_str()), E_FAIL);
    EXPECT_FALSE(fs::exists(Path("bad.kro")));
  }
  const std::string text = Slurp(Path("roots.kro"));
  EXPECT_EQ(text.rfind("document version 2 roots [@1, @2, @1]\n", 0), 0u) << text;
  EXPECT_EQ(text.find("Unused"), std::string::npos) << "only the startups the objects need";
  EXPECT_EQ(WithDocument(Path("roots.kro"),
                         [](KroDocument& d) {
                           KroListValKroISpecObject_var roots;
                           EXPECT_EQ(d.GetRoots(roots), S_OK);
                           ASSERT_EQ(roots.Size(), 3);
                           EXPECT_EQ(roots[1]->GetName(), "b");
                           EXPECT_EQ(roots[2]->GetName(), "a");
                           EXPECT_EQ(roots[3].ptr(), roots[1].ptr());
                           KroIContainer_var c = KroIContainer_var::Adopt(d.GetDocumentContainer("KroIContainer"));
                           KroListValKroISpecObject_var objects = c->ListObjects();
                           ASSERT_EQ(objects.Size(), 3);  // b, a, leaf; not stray
                           EXPECT_EQ(objects[1].ptr(), roots[1].ptr());
                           EXPECT_EQ(objects[3]->GetName(), "leaf");
                         }),
            S_OK);
}

// Every cut of a written document, and every changed byte, fails to open with its file and line;
// none opens as fewer objects.
// What a save writes opens again, with every value: an instance's attribute whose name its startup
// later declared, or redeclared, with another kind; and a list holding a null element in its place.
TEST_F(DocumentSaveTest, InstancesOlderThanTheirStartupsKindsAndNullElementsReopen) {
  {
    KroIContainer_var work = KroIContainer_var::Adopt(new KroContainer("work"));
    KroISpecObject_var startUp =
        KroISpecObject_var::Adopt(CreateStartUp("Thing", "Thing", "KroISpecObject", work, "", nullptr));
    KroISpecAttribute_var::Adopt(startUp->AddAttribute("list", tk_list, tk_specobject));
    KroISpecAttribute_var::Adopt(startUp->AddAttribute("redone", tk_long));
    KroISpecObject_var early = KroISpecObject_var::Adopt(startUp->Instanciate("early", work));
    KroISpecObject_var e1 = KroISpecObject_var::Adopt(startUp->Instanciate("e1", work));
    KroISpecObject_var e2 = KroISpecObject_var::Adopt(startUp->Instanciate("e2", work));
    KroISpecAttrAccess_var a = early;
    // Its own "zz" first, then the startup declares "zz" with another kind.
    KroISpecAttribute_var::Adopt(early->AddAttribute("zz", tk_string));
    ASSERT_EQ(a->SetString(Key(early, "zz"), "own text"), S_OK);
    ASSERT_EQ(a->SetInteger(Key(early, "redone"), 41), S_OK);
    KroISpecAttribute_var::Adopt(startUp->AddAttribute("zz", tk_long));
    // "redone" removed from the startup and declared again as a string between two instances.
    ASSERT_EQ(startUp->RemoveAttribute(KroISpecAttribute_var::Adopt(startUp->GetAttribute("redone"))), S_OK);
    KroISpecAttribute_var::Adopt(startUp->AddAttribute("redone", tk_string));
    KroISpecObject_var late = KroISpecObject_var::Adopt(startUp->Instanciate("late", work));
    KroISpecAttrAccess_var l = late;
    ASSERT_EQ(l->SetString(Key(late, "redone"), "forty-two"), S_OK);
    ASSERT_EQ(l->SetInteger(Key(late, "zz"), 7), S_OK);
    KroISpecAttribute_var list = KroISpecAttribute_var::Adopt(early->GetAttribute("list"));
    ASSERT_EQ(list->AppendSpecObject(e1), S_OK);
    ASSERT_EQ(list->AppendSpecObject(nullptr), S_OK);
    ASSERT_EQ(a->SetSpecObject(Key(early, "list"), e2), S_OK);
    ASSERT_EQ(KroDocumentServices::Save(work, Path("first.kro").c_str()), S_OK) << KroDocumentServices::LastError();
  }
  EXPECT_EQ(WithDocument(Path("first.kro"),
                         [](KroDocument& d) {
                           KroIContainer_var c = KroIContainer_var::Adopt(d.GetDocumentContainer("KroIContainer"));
                           KroListValKroISpecObject_var objects = c->ListObjects();
                           ASSERT_EQ(objects.Size(), 4);
                           KroISpecAttrAccess_var early = objects[1], late = objects[4];
                           EXPECT_EQ(early->GetString(Key(objects[1], "zz")), "own text");
                           EXPECT_EQ(early->GetInteger(Key(objects[1], "redone")), 41);
                           EXPECT_EQ(late->GetString(Key(objects[4], "redone")), "forty-two");
                           EXPECT_EQ(late->GetInteger(Key(objects[4], "zz")), 7);
                           std::unique_ptr<KroListValKroBaseUnknown_var> list(
                               early->GetListSpecObject(Key(objects[1], "list"), IID_KroISpecObject));
                           ASSERT_TRUE(list);
                           ASSERT_EQ(list->Size(), 3) << "the null element keeps its place";
                           EXPECT_EQ(KroISpecObject_var((*list)[1])->GetName(), "e1");
                           EXPECT_FALSE((*list)[2]);
                           EXPECT_EQ(KroISpecObject_var((*list)[3])->GetName(), "e2");
                         }),
            S_OK)
      << KroDocumentServices::LastError();
  const std::string second = Resave(Path("first.kro"), Path("second.kro"));
  EXPECT_EQ(Resave(Path("second.kro"), Path("third.kro")), second);
}

// Records of one startup usually share their shape, and the writer matches a shape to its block once;
// records of other shapes in between (an attribute removed, one of their own, made before the startup
// grew, of another startup) must each come back as they were, and so must the plain ones after them.
TEST_F(DocumentSaveTest, RecordsOfMixedShapesReopenAsTheyWere) {
  std::string before;
  {
    KroIContainer_var work = KroIContainer_var::Adopt(new KroContainer("work"));
    KroISpecObject_var part = KroISpecObject_var::Adopt(CreateStartUp("Part", "Part", "KroISpecObject", work, "", nullptr));
    KroISpecObject_var tool = KroISpecObject_var::Adopt(CreateStartUp("Tool", "Tool", "KroISpecObject", work, "", nullptr));
    KroISpecAttribute_var::Adopt(part->AddAttribute("a", tk_long));
    KroISpecAttribute_var::Adopt(part->AddAttribute("b", tk_string));
    KroISpecAttribute_var::Adopt(tool->AddAttribute("b", tk_string));
    KroISpecAttribute_var::Adopt(tool->AddAttribute("a", tk_long));
    int n = 0;
    auto make = [&](const KroISpecObject_var& startUp) {
      KroISpecObject_var so = KroISpecObject_var::Adopt(startUp->Instanciate("", work));
      KroISpecAttrAccess_var access = so;
      ++n;
      access->SetInteger(Key(so, "a"), n);
      access->SetString(Key(so, "b"), "text " + std::to_string(n));
      return so;
    };
    make(part);
    KroISpecObject_var older = make(part);  // made before "c" joins the startup: one slot fewer
    KroISpecAttribute_var::Adopt(part->AddAttribute("c", tk_double));
    make(part);
    KroISpecObject_var removed = make(part);
    ASSERT_EQ(removed->RemoveAttribute(KroISpecAttribute_var::Adopt(removed->GetAttribute("a"))), S_OK);
    make(part);
    KroISpecObject_var own = make(part);
    KroISpecAttribute_var::Adopt(own->AddAttribute("mine", tk_string));
    KroISpecAttrAccess_var(own)->SetString(Key(own, "mine"), "only here");
    make(tool);
    make(part);
    make(tool);
    make(part);
    KroISpecAttrAccess_var(older)->SetInteger(Key(older, "a"), -2);
    before = Dump(work);
    ASSERT_EQ(KroDocumentServices::Save(work, Path("mixed.kro").c_str()), S_OK) << KroDocumentServices::LastError();
  }
  EXPECT_EQ(WithDocument(Path("mixed.kro"),
                         [&](KroDocument& d) {
                           EXPECT_EQ(Dump(KroIContainer_var::Adopt(d.GetDocumentContainer("KroIContainer"))), before);
                         }),
            S_OK)
      << KroDocumentServices::LastError();
  const std::string second = Resave(Path("mixed.kro"), Path("second.kro"));
  EXPECT_EQ(Resave(Path("second.kro"), Path("third.kro")), second);
}

// Two startups of one name (two catalogs) that give a name two kinds cannot share the one block a
// document has for the name: the save fails before the old file is touched, naming all three.
TEST_F(DocumentSaveTest, TwoStartUpsOfOneNameWithAnotherKindFailTheSaveAndKeepTheOldFile) {
  Put(Path("old.kro"), "startup \"Kept\"\nend\n");
  const std::string old = Slurp(Path("old.kro"));
  {
    KroIContainer_var first = KroIContainer_var::Adopt(new KroContainer("first"));
    KroIContainer_var second = KroIContainer_var::Adopt(new KroContainer("second"));
    KroISpecObject_var s1 = KroISpecObject_var::Adopt(CreateStartUp("Part", "Part", "KroISpecObject", first, "", nullptr));
    KroISpecObject_var s2 = KroISpecObject_var::Adopt(CreateStartUp("Part", "Part", "KroISpecObject", second, "", nullptr));
    KroISpecAttribute_var::Adopt(s1->AddAttribute("zz", tk_long));
    KroISpecAttribute_var::Adopt(s2->AddAttribute("zz", tk_string));
    KroListValKroISpecObject_var roots;
    roots.Append(KroISpecObject_var::Adopt(s1->Instanciate("one", first)));
    roots.Append(KroISpecObject_var::Adopt(s2->Instanciate("two", second)));
    EXPECT_EQ(KroDocumentServices::Save(roots, Path("old.kro").c_str()), KRO_E_KIND_CONFLICT);
    const std::string error = KroDocumentServices::LastError();
    EXPECT_NE(error.find("startup \"Part\" of object 2 (\"two\")"), std::string::npos) << error;
    EXPECT_NE(error.find("attribute \"zz\""), std::string::npos) << error;
    EXPECT_EQ(Slurp(Path("old.kro")), old);
  }
}

TEST_F(DocumentSaveTest, TruncatedOrAlteredDocumentsFailWithFileAndLine) {
  {
    KroIContainer_var c = KroIContainer_var::Adopt(new KroContainer("c"));
    KroISpecObject_var s = KroISpecObject_var::Adopt(CreateStartUp("S", "S", "KroISpecObject", c, "", nullptr));
    KroISpecAttribute_var::Adopt(s->AddAttribute("n", tk_long));
    for (int i = 0; i < 4; ++i) {
      KroISpecObject_var o = KroISpecObject_var::Adopt(s->Instanciate("o", nullptr));
      KroISpecAttrAccess_var(o)->SetInteger(Key(o, "n"), i);
    }
    ASSERT_EQ(KroDocumentServices::Save(c, Path("doc.kro").c_str()), S_OK);
  }
  const std::string text = Slurp(Path("doc.kro"));
  const std::string damaged = Path("damaged.kro");
  auto expectRefused = [&](const std::string& content, const std::string& what) {
    SCOPED_TRACE(what);
    Put(damaged, content);
    EXPECT_EQ(WithDocument(damaged, [](KroDocument&) {}), KRO_E_BAD_FORMAT);
    const std::string& error = KroDocumentServices::LastError();
    ASSERT_EQ(error.rfind(damaged + ":", 0), 0u) << error;
    EXPECT_GT(std::atoi(error.c_str() + damaged.size() + 1), 0) << error;
  };
  // Every cut but the one that only drops the final newline.
  for (std::size_t n = 0; n + 1 < text.size(); ++n) expectRefused(text.substr(0, n), "cut at " + std::to_string(n));
  // Cut at a block boundary: the kind of damage that used to open as fewer objects.
  expectRefused(text.substr(0, text.find("\n1 name \"o\" 3\n") + 1), "cut before the last object");
  EXPECT_NE(KroDocumentServices::LastError().find("truncated"), std::string::npos);
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::string altered = text;
    altered[i] = static_cast<char>(altered[i] ^ 0x01);
    expectRefused(altered, "byte " + std::to_string(i) + " altered");
  }
  std::string digit = text;
  digit[digit.find(" \"o\" 2\n") + 5] = '5';
  expectRefused(digit, "a value changed");
  EXPECT_NE(KroDocumentServices::LastError().find("checksum mismatch"), std::string::npos);
}

TEST_F(DocumentSaveTest, OnlyRegularFilesWithinTheSizeLimitAreRead) {
  // A FIFO without a writer would block a plain open for ever.
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(WithDocument(Path("fifo"), [](KroDocument&) {}), KRO_E_NOT_REGULAR_FILE);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
  EXPECT_NE(KroDocumentServices::LastError().find("not a regular file (a FIFO)"), std::string::npos);
  EXPECT_EQ(WithDocument("/dev/zero", [](KroDocument&) {}), KRO_E_NOT_REGULAR_FILE);
  EXPECT_NE(KroDocumentServices::LastError().find("(a device)"), std::string::npos);
  EXPECT_EQ(WithDocument(m_dir.string(), [](KroDocument&) {}), KRO_E_NOT_REGULAR_FILE);
  EXPECT_EQ(WithDocument(Path("missing.kro"), [](KroDocument&) {}), KRO_E_FILE_NOT_FOUND);

  Put(Path("empty.kro"), "");
  EXPECT_EQ(WithDocument(Path("empty.kro"), [](KroDocument&) {}), KRO_E_BAD_FORMAT);
  EXPECT_EQ(KroDocumentServices::LastError(), Path("empty.kro") + ":1: the file is empty");

  Put(Path("small.kro"), "startup \"A\"\n  attribute \"x\" string = \"0123456789\"\nend\n");
  const auto size = fs::file_size(Path("small.kro"));
  EXPECT_EQ(KroDoc::MaxFileSize(), std::uint64_t{1} << 30);
  KroDoc::SetMaxFileSize(size);
  EXPECT_EQ(WithDocument(Path("small.kro"), [](KroDocument&) {}), S_OK);
  KroDoc::SetMaxFileSize(size - 1);
  EXPECT_EQ(WithDocument(Path("small.kro"), [](KroDocument&) {}), KRO_E_FILE_TOO_LARGE);
  EXPECT_NE(KroDocumentServices::LastError().find("over the size limit of " + std::to_string(size - 1)),
            std::string::npos);
}

}  // namespace
