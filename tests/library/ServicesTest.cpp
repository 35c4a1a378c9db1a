// Attribute services by name and by key, their results and their exact trace lines.
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgUuid.h"
#include "KroCfgModelBuilder.h"
#include "LibraryTestSupport.h"

namespace {

class ServicesTest : public ::testing::Test {
 protected:
  // A spec object with one attribute of every kind, made in the factory's container.
  static KroISpecObject_var NewThing() {
    UseShippedCatalog();
    KroIContainer_var container;
    EXPECT_EQ(KroCfgSOFactory::getContainer(container), S_OK);
    KroISpecObject_var startup = KroISpecObject_var::Adopt(container->FindStartUpByName("ServicesTestThing"));
    if (!startup) {
      startup = KroISpecObject_var::Adopt(
          CreateStartUp("ServicesTestThing", "ServicesTestThing", "KroISpecObject", container, "", nullptr));
      auto add = [&](const char* name, TCKind kind, TCKind second = tk_null) {
        KroISpecAttribute_var::Adopt(second == tk_null ? startup->AddAttribute(name, kind)
                                                       : startup->AddAttribute(name, kind, second));
      };
      add("s", tk_string);
      add("i", tk_long);
      add("d", tk_double);
      add("b", tk_boolean);
      add("o", tk_specobject);
      add("oct", tk_list, tk_octet);
      add("li", tk_list, tk_long);
      add("ld", tk_list, tk_double);
      add("ls", tk_list, tk_string);
      add("lo", tk_list, tk_specobject);
    }
    return KroISpecObject_var::Adopt(startup->Instanciate("", nullptr));
  }
  static KroISpecAttrKey_var Key(const KroISpecObject_var& so, const char* name) {
    KroISpecAttrAccess_var access;
    KroISpecAttrKey_var key;
    KroCfgSOServices::GetAttrAccessAndKey(so, name, access, key);
    return key;
  }
};

TEST_F(ServicesTest, EveryKindRoundTripsByName) {
  KroISpecObject_var so = NewThing(), child = NewThing();
  using S = KroCfgSOServices;
  EXPECT_EQ(S::SetStringValue(so, "s", "text"), S_OK);
  EXPECT_EQ(S::SetIntegerValue(so, "i", -42), S_OK);
  EXPECT_EQ(S::SetDoubleValue(so, "d", 2.75), S_OK);
  EXPECT_EQ(S::SetBooleanValue(so, "b", 1), S_OK);
  EXPECT_EQ(S::SetSOValue(so, "o", child), S_OK);
  EXPECT_EQ(S::SetByteArrayValue(so, "oct", SEQUENCE_octet{1, 2, 3}), S_OK);
  EXPECT_EQ(S::SetListIntegerValue(so, "li", KroRawCollint{5, 6}), S_OK);
  EXPECT_EQ(S::SetListDoubleValue(so, "ld", KroRawColldouble{0.5}), S_OK);
  EXPECT_EQ(S::SetListStringValue(so, "ls", KroListValKroUnicodeString{"x", "y"}), S_OK);
  EXPECT_EQ(S::SetListSOValue(so, "lo", KroListValKroISpecObject_var{child, so}), S_OK);

  KroUnicodeString s;
  int i = 0;
  double d = 0;
  boolean b = 0;
  KroISpecObject_var o;
  SEQUENCE_octet oct;
  KroRawCollint li{99};
  KroRawColldouble ld{99};
  KroListValKroUnicodeString ls{"old"};
  KroListValKroISpecObject_var lo{child};
  EXPECT_EQ(S::GetStringValue(so, "s", s), S_OK);
  EXPECT_EQ(S::GetIntegerValue(so, "i", i), S_OK);
  EXPECT_EQ(S::GetDoubleValue(so, "d", d), S_OK);
  EXPECT_EQ(S::GetBooleanValue(so, "b", b), S_OK);
  EXPECT_EQ(S::GetSOValue(so, "o", o), S_OK);
  EXPECT_EQ(S::GetByteArrayValue(so, "oct", oct), S_OK);
  EXPECT_EQ(S::GetListIntegerValue(so, "li", li), S_OK);
  EXPECT_EQ(S::GetListDoubleValue(so, "ld", ld), S_OK);
  EXPECT_EQ(S::GetListStringValue(so, "ls", ls), S_OK);
  EXPECT_EQ(S::GetListSOValue(so, "lo", lo), S_OK);
  EXPECT_EQ(s, "text");
  EXPECT_EQ(i, -42);
  EXPECT_EQ(d, 2.75);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(o.ptr(), child.ptr());
  EXPECT_EQ(oct, (SEQUENCE_octet{1, 2, 3}));
  // By name, a list holds only the attribute's values: the caller's are cleared first.
  EXPECT_EQ(li, (KroRawCollint{5, 6}));
  EXPECT_EQ(ld, (KroRawColldouble{0.5}));
  EXPECT_EQ(ls, (KroListValKroUnicodeString{"x", "y"}));
  ASSERT_EQ(lo.Size(), 2);
  EXPECT_EQ(lo[1].ptr(), child.ptr());
  EXPECT_EQ(lo[2].ptr(), so.ptr());

  // A null element keeps its place.
  EXPECT_EQ(S::SetListSOValue(so, "lo", KroListValKroISpecObject_var{child, KroISpecObject_var(), child}), S_OK);
  EXPECT_EQ(S::GetListSOValue(so, "lo", lo), S_OK);
  ASSERT_EQ(lo.Size(), 3);
  EXPECT_EQ(lo[1].ptr(), child.ptr());
  EXPECT_FALSE(lo[2]);
  EXPECT_EQ(lo[3].ptr(), child.ptr());

  // An empty list empties the attribute.
  EXPECT_EQ(S::SetListSOValue(so, "lo", KroListValKroISpecObject_var{}), S_OK);
  EXPECT_EQ(S::GetListSOValue(so, "lo", lo), S_OK);
  EXPECT_EQ(lo.Size(), 0);
  S::SetListSOValue(so, "lo", KroListValKroISpecObject_var{});  // no self-reference left behind
}

TEST_F(ServicesTest, MissingAttributeFailsWithNestedTraceLines) {
  KroISpecObject_var so = NewThing();
  TraceCapture capture({"CfgIDLInterfaces"});
  KroUnicodeString out("kept");
  EXPECT_EQ(KroCfgSOServices::GetStringValue(so, "nope", out), E_FAIL);
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSOServices::GetAttrAccessAndKey] Unable to retrieve attribute key for: nope",
                                 "[KroCfgSOServices::GetAttrAccessAndKey] returns 0x80004005",
                                 "[KroCfgSOServices::GetStringValue] Unable to access the attribute nope",
                                 "[KroCfgSOServices::GetStringValue] returns 0x80004005",
                             }));

  KroListValKroUnicodeString list{"stale"};
  EXPECT_EQ(KroCfgSOServices::GetListStringValue(so, "nope", list), E_FAIL);
  EXPECT_EQ(list.Size(), 0);
  SEQUENCE_octet octets{1};
  EXPECT_EQ(KroCfgSOServices::GetByteArrayValue(so, "nope", octets), E_FAIL);
  EXPECT_EQ(octets.length(), 0u);
  int i = 7;
  EXPECT_EQ(KroCfgSOServices::GetIntegerValue(so, "nope", i), E_FAIL);
  EXPECT_EQ(i, 7);

  // The two misspelt step names.
  capture.clear();
  KroCfgSOServices::SetIntegerValue(so, "nope", 1);
  KroCfgSOServices::SetListIntegerValue(so, "nope", KroRawCollint{});
  EXPECT_TRUE(capture.has("[KroCfgSOServices::SetIntergerValue] returns 0x80004005")) << capture.text();
  EXPECT_TRUE(capture.has("[KroCfgSOServices::SetListIntergerValue] returns 0x80004005")) << capture.text();
}

TEST_F(ServicesTest, ByKeyAccessorsAppendWhereTheyDoNotClear) {
  KroISpecObject_var so = NewThing();
  using S = KroCfgSOServices;
  KroISpecAttrKey_var li = Key(so, "li"), ls = Key(so, "ls"), oct = Key(so, "oct"), s = Key(so, "s");
  ASSERT_TRUE(li);
  EXPECT_EQ(S::SetListIntegerValue(so, li, KroRawCollint{1, 2}), S_OK);
  KroRawCollint ints{0};
  EXPECT_EQ(S::GetListIntegerValue(so, li, ints), S_OK);
  EXPECT_EQ(ints, (KroRawCollint{0, 1, 2}));
  S::SetListStringValue(so, ls, KroListValKroUnicodeString{"a"});
  KroListValKroUnicodeString strings{"old"};
  S::GetListStringValue(so, ls, strings);  // this one clears first
  EXPECT_EQ(strings, (KroListValKroUnicodeString{"a"}));
  S::SetByteArrayValue(so, oct, SEQUENCE_octet{9});
  SEQUENCE_octet octets;
  S::GetByteArrayValue(so, oct, octets);
  EXPECT_EQ(octets, (SEQUENCE_octet{9}));

  // The services never check kinds: a refused value still reports success when the key exists.
  EXPECT_EQ(S::SetIntegerValue(so, s, 5), S_OK);
  EXPECT_EQ(S::SetStringValue(so, s, "still"), S_OK);
  KroUnicodeString text;
  S::GetStringValue(so, s, text);
  EXPECT_EQ(text, "still");

  TraceCapture capture({"CfgIDLInterfaces"});
  KroISpecObject_var none;
  EXPECT_EQ(S::SetStringValue(none, s, "x"), E_FAIL);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{"[KroCfgSOServices::SetStringValue] Unable to access the attribute.",
                                                       "[KroCfgSOServices::SetStringValue] returns 0x80004005"}));
}

TEST_F(ServicesTest, RemoveClearTestAndDump) {
  KroISpecObject_var so = NewThing();
  using S = KroCfgSOServices;
  TraceCapture capture({"CfgIDLInterfaces"});
  EXPECT_EQ(S::RemoveAttribute(so, "absent"), S_FALSE);
  EXPECT_TRUE(capture.has("[KroCfgSOServices::RemoveAttribute] No attibute named absent"));
  EXPECT_TRUE(capture.has("[KroCfgSOServices::RemoveAttribute] returns 0x00000001"));

  boolean present = 1;
  S::SetStringValue(so, "s", "v");
  EXPECT_EQ(S::TestAttribute(so, "s", present), S_OK);
  EXPECT_TRUE(present);
  EXPECT_EQ(S::ClearAttribute(so, "s"), S_OK);
  S::TestAttribute(so, "s", present);
  EXPECT_FALSE(present);
  EXPECT_EQ(S::ClearAttribute(so, "absent"), E_FAIL);

  EXPECT_EQ(S::RemoveAttribute(so, "s"), S_OK);
  EXPECT_EQ(S::TestAttribute(so, "s", present), S_OK);
  EXPECT_FALSE(present);

  capture.clear();
  EXPECT_EQ(S::Dump(so), S_OK);
  std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 10u);  // the count, nine attributes, no returns line
  EXPECT_EQ(lines[0], "[KroCfgSOServices::Dump] Nombre attributs : 9");
  EXPECT_EQ(lines[1], "[KroCfgSOServices::Dump] Attribut 1 : Nom = i Type = 3");
  EXPECT_EQ(lines[5], "[KroCfgSOServices::Dump] Attribut 5 : Nom = oct Type = 25");

  capture.clear();
  EXPECT_EQ(S::Dump(KroISpecObject_var()), E_FAIL);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSOServices::Dump] QueryInterface KroISpecObject => KroIAttrAccess failed."}));

  EXPECT_EQ(S::ClearSpecObject(so), S_OK);
  EXPECT_EQ(so->CountAttributes(), 0);
  EXPECT_EQ(S::ClearSpecObject(so), S_OK);  // an empty list is still a list
}

TEST_F(ServicesTest, AddAndInstanciateReportWhatTheModelerRefuses) {
  KroISpecObject_var so = NewThing();
  using S = KroCfgSOServices;
  KroISpecAttribute_var added;
  EXPECT_EQ(S::AddAttribute(so, "uidElt0", tk_list, tk_octet, added), S_OK);
  ASSERT_TRUE(added);
  EXPECT_EQ(added->GetName(), "uidElt0");
  KroISpecAttribute_var kept = added;
  TraceCapture capture({"CfgIDLInterfaces"});
  EXPECT_EQ(S::AddAttribute(so, "uidElt0", tk_long, added), E_FAIL);
  EXPECT_EQ(added.ptr(), kept.ptr());  // out left as it was
  EXPECT_TRUE(capture.has("[KroCfgSOServices::AddAttribute] Unable to add an attribute to the SpecObject."));
  EXPECT_EQ(S::AddAttribute(so, "withText", tk_string, KroUnicodeString("initial"), added), S_OK);

  KroISpecObject_var instance;
  EXPECT_EQ(S::Instanciate(so, instance, "", nullptr), E_FAIL);  // an instance is not a startup
  EXPECT_TRUE(capture.has("[KroCfgSOServices::Instanciate] Unable to instanciate a SpecObject."));
  KroISpecObject_var startup = KroISpecObject_var::Adopt(so->GetStartUp());
  EXPECT_EQ(S::Instanciate(startup, instance, "named", nullptr), S_OK);
  EXPECT_EQ(instance->GetName(), "named");

  KroISpecObject_var none;
  EXPECT_THROW(S::AddAttribute(none, "x", tk_long, added), KroNullVarError);
  EXPECT_THROW(S::Instanciate(none, instance, "", nullptr), KroNullVarError);
  KroUnicodeString out;
  EXPECT_THROW(S::GetStringValue(none, "s", out), KroNullVarError);
}

// An empty name is refused by every AddAttribute (the text overload used to crash on it), and a name
// holding a NUL byte reaches no attribute: "s\0junk" is not "s".
TEST_F(ServicesTest, EmptyAndNulNamesReachNothing) {
  using S = KroCfgSOServices;
  KroISpecObject_var so = NewThing();
  KroISpecAttribute_var added;
  EXPECT_EQ(S::AddAttribute(so, "", tk_string, KroUnicodeString("text"), added), E_FAIL);
  EXPECT_EQ(S::AddAttribute(so, "", tk_long, KroUnicodeString("12"), added), E_FAIL);
  EXPECT_EQ(S::AddAttribute(so, "", tk_long, added), E_FAIL);
  EXPECT_EQ(S::AddAttribute(so, "", tk_list, tk_octet, added), E_FAIL);
  EXPECT_FALSE(added);

  const KroUnicodeString nul(std::string("s\0junk", 6));
  ASSERT_EQ(S::SetStringValue(so, "s", "kept"), S_OK);
  EXPECT_EQ(S::SetStringValue(so, nul, "overwritten"), E_FAIL);
  KroUnicodeString text;
  EXPECT_EQ(S::GetStringValue(so, nul, text), E_FAIL);
  EXPECT_EQ(S::GetStringValue(so, "s", text), S_OK);
  EXPECT_EQ(text, "kept");
  boolean present = 1;
  EXPECT_EQ(S::TestAttribute(so, nul, present), S_OK);
  EXPECT_EQ(present, 0);
  EXPECT_EQ(S::ClearAttribute(so, nul), E_FAIL);
  EXPECT_EQ(S::RemoveAttribute(so, nul), S_FALSE);
  EXPECT_EQ(S::AddAttribute(so, nul, tk_string, added), E_FAIL);
  EXPECT_EQ(S::AddAttribute(so, KroUnicodeString(std::string("\0", 1)), tk_string, KroUnicodeString("x"), added), E_FAIL);
  EXPECT_EQ(S::GetStringValue(so, "s", text), S_OK);
  EXPECT_EQ(text, "kept");
}

TEST_F(ServicesTest, FactoryObjectsAreBoundByUuid) {
  KroICfgSimpleSpecification_var spec = KroCfgModelBuilder::Specification({"S1", "desc", "alias", "", "Cat", "cat desc"});
  KroCfgUuid uuid{KroILinkableObject_var(spec)};
  KroIDmxFactoryObject_var object;
  EXPECT_EQ(KroCfgSOServices::GetFactoryObject(uuid.octets(), object), S_OK);
  EXPECT_TRUE(object->IsEqual(spec));

  TraceCapture capture({"CfgIDLInterfaces"});
  KroIDmxFactoryObject_var untouched = object;
  EXPECT_EQ(KroCfgSOServices::GetFactoryObject(SEQUENCE_octet{1, 2, 3}, untouched), KRO_E_UUID_NOT_BOUND);
  EXPECT_EQ(untouched.ptr(), object.ptr());
  EXPECT_TRUE(capture.has("[KroCfgSOServices::GetFactoryObject] Failed to bind the uuid."));
}

TEST_F(ServicesTest, ConfigurationManagerIsFetchedOnce) {
  InFreshProcess([] {
    TraceCapture capture({"CfgIDLInterfaces"});
    KroICfgManager_var first = KroCfgSOServices::GetCfgManager();
    std::string firstText = capture.text();
    capture.clear();
    KroICfgManager_var second = KroCfgSOServices::GetCfgManager();
    if (!first || first.ptr() != second.ptr()) return std::string("not the same manager");
    if (firstText != "[KroCfgSOServices::GetCfgManager] First time the method is called => initialization of the "
                     "static member.\n")
      return "first call wrote: " + firstText;
    if (!capture.text().empty()) return "second call wrote: " + capture.text();
    return std::string();
  });
}

TEST(ServicesDeathTest, NoSessionIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        DMXSession::SetAvailable(false);
        KroCfgSOServices::GetCfgManager();
      },
      "AssertionFailed:Session.*DMXCfgIDLInterfaces/CfgSIDLServices.m/src/KroCfgSOServices.*125");
}

}  // namespace
