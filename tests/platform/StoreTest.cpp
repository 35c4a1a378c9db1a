// The store: keys shared by a startup's instances, values in slots, and the lifetime of what a
// container holds (what is held survives a collection, what nothing holds goes, cycles included).
#include <gtest/gtest.h>

#include <string>

#include "KroSpecModeler.h"
#include "platform/ClientDecorator.h"

namespace {

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_live = KroBaseUnknown::LiveObjects();
    m_container = KroIContainer_var::Adopt(new KroContainer("store"));
    m_startUp = KroISpecObject_var::Adopt(CreateStartUp("Thing", "Thing", "KroISpecObject", m_container, "", nullptr));
    add(m_startUp, "name", tk_string);
    add(m_startUp, "count", tk_long);
    add(m_startUp, "next", tk_specobject);
    add(m_startUp, "children", tk_list, tk_specobject);
    add(m_startUp, "uid", tk_list, tk_octet);
  }
  void TearDown() override {
    m_startUp = nullptr;
    m_container = nullptr;
    EXPECT_EQ(KroBaseUnknown::LiveObjects(), m_live) << "components leaked or freed twice";
  }
  static void add(const KroISpecObject_var& so, const char* name, TCKind kind, TCKind second = tk_null) {
    KroISpecAttribute_var::Adopt(second == tk_null ? so->AddAttribute(name, kind) : so->AddAttribute(name, kind, second));
  }
  KroISpecObject_var make() { return KroISpecObject_var::Adopt(m_startUp->Instanciate("", nullptr)); }
  static KroISpecAttrKey_var key(const KroISpecObject_var& so, const char* name) {
    KroISpecAttrAccess_var access = so;
    return KroISpecAttrKey_var::Adopt(access->GetAttrKey(name));
  }
  static void link(const KroISpecObject_var& from, const KroISpecObject_var& to, const char* name = "next") {
    KroISpecAttrAccess_var access = from;
    ASSERT_EQ(access->SetSpecObject(key(from, name), to), S_OK);
  }
  KroContainer& container() { return *m_container->GetModelerContainer(); }

  long m_live = 0;
  KroIContainer_var m_container;
  KroISpecObject_var m_startUp;
};

TEST_F(StoreTest, KeysOfAStartUpsAttributesWorkOnEveryInstance) {
  KroISpecObject_var a = make(), b = make();
  KroISpecAttrKey_var name = key(a, "name");
  EXPECT_EQ(name.ptr(), key(b, "name").ptr()) << "one key per attribute of the startup";
  KroISpecAttrAccess_var accessB = b;
  EXPECT_EQ(accessB->SetString(name, "from a's key"), S_OK);
  EXPECT_EQ(accessB->GetString(name), "from a's key");
  EXPECT_EQ(KroISpecAttrAccess_var(a)->GetString(name), "") << "each instance keeps its own value";

  // Removing the attribute from one instance leaves the key valid on the others only.
  KroISpecAttribute_var attribute = KroISpecAttribute_var::Adopt(b->GetAttribute("name"));
  EXPECT_EQ(b->RemoveAttribute(attribute), S_OK);
  EXPECT_EQ(accessB->SetString(name, "x"), E_INVALIDARG);
  EXPECT_EQ(KroISpecAttrAccess_var(a)->SetString(name, "y"), S_OK);
  EXPECT_EQ(b->CountAttributes(), a->CountAttributes() - 1);

  // A key of another startup's attribute works by its name, and fails where the name or kind does not fit.
  KroISpecObject_var other =
      KroISpecObject_var::Adopt(CreateStartUp("Other", "Other", "KroISpecObject", m_container, "", nullptr));
  add(other, "name", tk_string);
  add(other, "absent", tk_string);
  add(other, "count", tk_string);
  KroISpecAttrAccess_var accessA = a;
  EXPECT_EQ(accessA->SetString(key(other, "name"), "z"), S_OK);
  EXPECT_EQ(accessA->GetString(name), "z");
  EXPECT_EQ(accessA->SetString(key(other, "absent"), "z"), E_INVALIDARG);
  EXPECT_EQ(accessA->SetString(key(other, "count"), "z"), E_FAIL);
  EXPECT_EQ(accessA->SetString(name, "z"), S_OK);
  EXPECT_EQ(accessB->SetString(key(other, "name"), "z"), E_INVALIDARG) << "b's name was removed";
}

TEST_F(StoreTest, CheckedReadsSayWhyAKeyGaveNothing) {
  KroISpecObject_var a = make();
  KroISpecAttrAccess_var access = a;
  KroISpecObject_var other =
      KroISpecObject_var::Adopt(CreateStartUp("Other", "Other", "KroISpecObject", m_container, "", nullptr));
  add(other, "missing", tk_long);
  add(other, "count", tk_long);
  int number = 7;
  EXPECT_EQ(access->ReadInteger(key(other, "missing"), number), E_INVALIDARG);
  EXPECT_EQ(number, 0);
  EXPECT_EQ(access->ReadInteger(key(other, "count"), number), S_FALSE) << "present, unset";
  ASSERT_EQ(access->SetInteger(key(other, "count"), 12), S_OK);
  EXPECT_EQ(access->ReadInteger(key(other, "count"), number), S_OK);
  EXPECT_EQ(number, 12);
  KroUnicodeString text;
  EXPECT_EQ(access->ReadString(key(a, "count"), text), E_FAIL) << "another kind";
  double real = 1;
  boolean flag = 1;
  EXPECT_EQ(access->ReadDouble(key(a, "count"), real), E_FAIL);
  EXPECT_EQ(access->ReadBoolean(key(other, "missing"), flag), E_INVALIDARG);
  EXPECT_EQ(flag, 0);
  KroISpecObject_var next;
  EXPECT_EQ(access->ReadSpecObject(key(a, "next"), next), S_FALSE);
  link(a, a);
  EXPECT_EQ(access->ReadSpecObject(key(a, "next"), next), S_OK);
  EXPECT_EQ(next.ptr(), a.ptr());
  access->SetSpecObject(key(a, "next"), nullptr);
}

TEST_F(StoreTest, KeysOutliveTheLayoutTheyCameFrom) {
  KroISpecAttrKey_var orphan;
  {
    KroIContainer_var gone = KroIContainer_var::Adopt(new KroContainer("gone"));
    KroISpecObject_var startUp =
        KroISpecObject_var::Adopt(CreateStartUp("Gone", "Gone", "KroISpecObject", gone, "", nullptr));
    add(startUp, "name", tk_string);
    KroISpecObject_var record = KroISpecObject_var::Adopt(startUp->Instanciate("", nullptr));
    orphan = key(record, "name");
  }
  KroISpecObject_var a = make();
  KroISpecAttrAccess_var access = a;
  EXPECT_EQ(access->SetString(orphan, "kept by name"), S_OK);
  EXPECT_EQ(access->GetString(key(a, "name")), "kept by name");
}

TEST_F(StoreTest, AttributesOfOneInstanceStayItsOwn) {
  KroISpecObject_var a = make(), b = make();
  add(a, "extra", tk_long);
  KroISpecAttrKey_var extra = key(a, "extra");
  ASSERT_TRUE(extra);
  EXPECT_FALSE(key(b, "extra"));
  EXPECT_EQ(KroISpecAttrAccess_var(a)->SetInteger(extra, 5), S_OK);
  EXPECT_EQ(KroISpecAttrAccess_var(b)->SetInteger(extra, 5), E_INVALIDARG);

  // Removed, then added again: the old key is dead, the new attribute comes last in order.
  KroISpecAttribute_var attribute = KroISpecAttribute_var::Adopt(a->GetAttribute("name"));
  a->RemoveAttribute(attribute);
  add(a, "name", tk_long);
  EXPECT_EQ(KroISpecAttrAccess_var(a)->SetString(key(b, "name"), "s"), E_FAIL) << "by name, now an integer";
  std::unique_ptr<KroListValKroISpecAttribute_var> list(a->ListAttributes());
  ASSERT_EQ(list->Size(), 6);
  EXPECT_EQ((*list)[5]->GetName(), "extra");
  EXPECT_EQ((*list)[6]->GetName(), "name");
  EXPECT_EQ((*list)[6]->GetKind(), tk_long);
}

TEST_F(StoreTest, StartUpChangesReachOnlyLaterInstances) {
  KroISpecObject_var before = make();
  add(m_startUp, "late", tk_string);
  KroISpecObject_var after = make();
  EXPECT_FALSE(key(before, "late"));
  EXPECT_TRUE(key(after, "late"));

  // Removed from the startup and added back with another kind: older instances keep theirs.
  KroISpecAttribute_var count = KroISpecAttribute_var::Adopt(m_startUp->GetAttribute("count"));
  ASSERT_EQ(m_startUp->RemoveAttribute(count), S_OK);
  add(m_startUp, "count", tk_string);
  KroISpecObject_var latest = make();
  KroISpecAttribute_var old = KroISpecAttribute_var::Adopt(before->GetAttribute("count"));
  KroISpecAttribute_var now = KroISpecAttribute_var::Adopt(latest->GetAttribute("count"));
  ASSERT_TRUE(old && now);
  EXPECT_EQ(old->GetKind(), tk_long);
  EXPECT_EQ(now->GetKind(), tk_string);
}

// The lookup by platform string remembers where it found a name, keyed by the string object: the
// same object holding another name, a name that a startup gains later, an own attribute and a heap
// text must all still resolve as a fresh lookup would.
TEST_F(StoreTest, LookupsThroughOneStringObjectFollowItsText) {
  KroISpecObject_var a = make();
  KroISpecAttrAccess_var access = a;
  auto keyOf = [&](const KroUnicodeString& name) { return KroISpecAttrKey_var::Adopt(access->GetAttrKey(name)); };

  KroUnicodeString name("name");
  KroISpecAttrKey_var first = keyOf(name);
  ASSERT_TRUE(first);
  EXPECT_EQ(first.ptr(), keyOf(name).ptr());
  name = KroUnicodeString("count");  // same object, other text
  EXPECT_EQ(keyOf(name).ptr(), key(a, "count").ptr());
  name = KroUnicodeString("late");
  EXPECT_FALSE(keyOf(name));
  add(m_startUp, "late", tk_long);  // the layout grows: a later instance has it
  KroISpecObject_var b = make();
  EXPECT_TRUE(KroISpecAttrKey_var::Adopt(KroISpecAttrAccess_var(b)->GetAttrKey(name)));
  EXPECT_FALSE(keyOf(name)) << "the earlier instance still lacks it";
  add(a, "late", tk_double);  // now as an own attribute of the earlier one
  EXPECT_EQ(keyOf(name).ptr(), key(a, "late").ptr());

  KroUnicodeString withNul(std::string_view("name\0x", 6));
  EXPECT_FALSE(keyOf(withNul)) << "a NUL byte does not cut the name short";
  EXPECT_FALSE(keyOf(KroUnicodeString()));
  const std::string longName(40, 'n');  // a heap text is never remembered
  add(a, longName.c_str(), tk_long);
  KroUnicodeString heap(longName);
  EXPECT_TRUE(keyOf(heap));
  heap = KroUnicodeString(std::string(40, 'm'));
  EXPECT_FALSE(keyOf(heap));
}

TEST_F(StoreTest, ValuesAroundTheInlineLimitReadBackWhole) {
  KroISpecObject_var so = make();
  KroISpecAttrAccess_var access = so;
  for (std::size_t length : {0u, 1u, 22u, 23u, 200u}) {
    const std::string text(length, 'x');
    ASSERT_EQ(access->SetString(key(so, "name"), KroUnicodeString(text)), S_OK);
    EXPECT_EQ(access->GetString(key(so, "name")).str(), text);
    std::vector<unsigned char> bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(i * 7);
    ASSERT_EQ(access->SetOctets(key(so, "uid"), SEQUENCE_octet(bytes)), S_OK);
    std::unique_ptr<SEQUENCE_octet> back(access->GetOctets(key(so, "uid")));
    EXPECT_EQ(back->bytes(), bytes);
  }
  // A string with a NUL byte inside is kept whole.
  const std::string withNul("a\0b", 3);
  access->SetString(key(so, "name"), KroUnicodeString(withNul));
  EXPECT_EQ(access->GetString(key(so, "name")).str(), withNul);
}

TEST_F(StoreTest, TransientModeReclaimsWhatNothingHolds) {
  ASSERT_EQ(m_container->SetTransient(1), S_OK);
  const long start = KroBaseUnknown::LiveObjects();
  KroISpecObject_var root = make();
  {
    // root -> a -> b, a list of two children, and a child replaced by a later write.
    KroISpecObject_var a = make(), b = make(), replaced = make();
    link(root, a);
    link(a, b);
    KroISpecAttrAccess_var access = a;
    access->SetSpecObject(key(a, "children"), make());
    access->SetSpecObject(key(a, "children"), make());
    link(b, replaced);
    link(b, make());
    make();  // dropped at once
  }
  EXPECT_EQ(m_container->CountObjects(), 8);
  EXPECT_EQ(m_container->Collect(), 2) << "the replaced child and the dropped object";
  EXPECT_EQ(m_container->CountObjects(), 6);
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), start + 6);

  // Held through an attribute handle only: the handle is a reference from outside.
  KroISpecObject_var a = KroISpecObject_var::Adopt(KroISpecAttrAccess_var(root)->GetSpecObject(key(root, "next")));
  KroISpecAttribute_var handle = KroISpecAttribute_var::Adopt(a->GetAttribute("name"));
  a = nullptr;
  root = nullptr;
  EXPECT_EQ(m_container->Collect(), 1) << "only the root goes: the handle holds a, which holds the rest";
  handle = nullptr;
  EXPECT_EQ(m_container->Collect(), 5);
  EXPECT_EQ(m_container->CountObjects(), 0);
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), start);
}

TEST_F(StoreTest, CyclesAreReclaimedOnceUnlistedOrInTheTransientMode) {
  for (boolean transient : {0, 1}) {
    SCOPED_TRACE(transient ? "transient" : "store");
    m_container->SetTransient(transient);
    const long start = KroBaseUnknown::LiveObjects();
    {
      KroISpecObject_var a = make(), b = make(), c = make(), d = make();
      link(a, b);
      link(b, a);
      link(c, d);
      link(d, c);
      link(c, c, "children");
      EXPECT_EQ(m_container->Collect(), 0) << "held from outside";
      EXPECT_EQ(m_container->RemoveObject(c), S_OK);
      EXPECT_EQ(m_container->RemoveObject(d), S_OK);
      EXPECT_EQ(m_container->RemoveObject(d), S_FALSE);
      EXPECT_EQ(m_container->CountObjects(), 2);
      KroISpecAttrAccess_var access = c;
      KroISpecObject_var fromC = KroISpecObject_var::Adopt(access->GetSpecObject(key(c, "next")));
      EXPECT_EQ(fromC.ptr(), d.ptr()) << "a removed object keeps its values while held";
    }
    // The listed cycle a-b stays in the store mode, whoever holds it.
    EXPECT_EQ(m_container->Collect(), transient ? 4 : 2);
    EXPECT_EQ(m_container->CountObjects(), transient ? 0 : 2);
    EXPECT_EQ(KroBaseUnknown::LiveObjects(), start + (transient ? 0 : 2));
    for (const KroISpecObject_var& object : m_container->ListObjects()) m_container->RemoveObject(object);
    EXPECT_EQ(m_container->Collect(), transient ? 0 : 2);
  }
}

TEST_F(StoreTest, CollectionsRunByThemselvesAndKeepMemoryBounded) {
  container().setCollectionFloor(64);
  KroISpecObject_var kept = make();
  for (boolean transient : {0, 1}) {
    SCOPED_TRACE(transient ? "transient" : "store");
    m_container->SetTransient(transient);
    for (int i = 0; i < 10000; ++i) {
      KroISpecObject_var so = make();
      link(so, so);  // a cycle of its own: only a collection frees it
      link(kept, so);
      if (!transient) m_container->RemoveObject(so);
    }
    EXPECT_LE(container().tracked(), 129u) << "a collection whenever the count has doubled past the floor";
    m_container->Collect();
    EXPECT_EQ(m_container->CountObjects(), transient ? 2 : 1) << "kept, and in the transient mode the last one";
  }
}

TEST_F(StoreTest, StoreModeKeepsEveryInstanceListedWhenCollectingAlways) {
  container().setCollectionFloor(1);
  KroISpecObject_var first = make();
  link(first, make());
  KroISpecAttrAccess_var(first)->SetString(key(first, "name"), "first");
  first = nullptr;
  for (int i = 0; i < 1000; ++i) make();
  EXPECT_EQ(m_container->Collect(), 0);
  ASSERT_EQ(m_container->CountObjects(), 1002);
  KroISpecObject_var again = m_container->ListObjects()[1];
  EXPECT_EQ(KroISpecAttrAccess_var(again)->GetString(key(again, "name")), "first");
  KroISpecObject_var nested = KroISpecObject_var::Adopt(KroISpecAttrAccess_var(again)->GetSpecObject(key(again, "next")));
  EXPECT_TRUE(nested);
}

TEST_F(StoreTest, RemoveTreeAndRemoveObjectNeverTakeAStartUpTheTreeRefersTo) {
  int removed = -1;
  KroISpecObject_var root = make();
  {
    KroISpecObject_var nested = make();
    link(root, m_startUp);  // a record that refers to its own startup
    link(nested, m_startUp);
    KroISpecAttrAccess_var(root)->SetSpecObject(key(root, "children"), nested);
  }
  EXPECT_EQ(m_container->RemoveTree(root, removed), S_OK);
  root = nullptr;
  EXPECT_EQ(removed, 2) << "the root and the nested record, not the startup";
  EXPECT_EQ(m_container->RemoveObject(m_startUp), S_FALSE);
  m_container->Collect();
  KroISpecObject_var found = KroISpecObject_var::Adopt(m_container->FindStartUpByName("Thing"));
  ASSERT_TRUE(found) << "the startup is still listed";
  EXPECT_TRUE(make()) << "and still makes instances";
}

TEST_F(StoreTest, RemoveTreeTakesWhatOnlyItsRootReaches) {
  const long start = KroBaseUnknown::LiveObjects();
  KroISpecObject_var root = make(), outside = make(), held;
  {
    // root -> a -> (b, shared), b -> root; outside -> shared; a client holds c, and root -> c -> d.
    KroISpecObject_var a = make(), b = make(), shared = make(), c = make(), d = make();
    link(root, a);
    KroISpecAttrAccess_var access = a;
    access->SetSpecObject(key(a, "children"), b);
    access->SetSpecObject(key(a, "children"), shared);
    link(outside, shared);
    access = root;
    access->SetSpecObject(key(root, "children"), c);
    link(c, d);
    link(b, root);  // a cycle back to the root
    held = c;
  }
  ASSERT_EQ(m_container->CountObjects(), 7);
  int removed = -1;
  EXPECT_EQ(m_container->RemoveTree(root, removed), S_OK);
  EXPECT_EQ(removed, 3) << "root, a and b; shared is reached from outside, c is held, d through c";
  EXPECT_EQ(m_container->CountObjects(), 4);
  EXPECT_EQ(m_container->RemoveTree(root, removed), S_FALSE);
  EXPECT_EQ(removed, 0);
  EXPECT_EQ(m_container->RemoveTree(nullptr, removed), S_FALSE);
  EXPECT_EQ(m_container->RemoveTree(m_startUp, removed), S_FALSE);

  // Letting go of the held part and removing it frees everything but what is still listed.
  EXPECT_EQ(m_container->RemoveTree(held, removed), S_OK);
  EXPECT_EQ(removed, 2);
  EXPECT_EQ(m_container->CountObjects(), 2);
  root = nullptr;
  held = nullptr;
  EXPECT_EQ(m_container->Collect(), 5) << "root, a and b hold each other, and c and d through root";
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), start + 2) << "outside and shared";
}

TEST_F(StoreTest, AChainOfFiftyThousandRemovedObjectsGoesWithoutDeepRecursion) {
  const long start = KroBaseUnknown::LiveObjects();
  KroISpecObject_var head = make();
  {
    KroISpecObject_var last = head;
    for (int i = 0; i < 50000; ++i) {
      KroISpecObject_var next = make();
      link(last, next);
      last = next;
    }
  }
  for (const KroISpecObject_var& object : m_container->ListObjects()) m_container->RemoveObject(object);
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), start + 50001);
  head = nullptr;
  EXPECT_EQ(KroBaseUnknown::LiveObjects(), start);
}

TEST_F(StoreTest, ObjectsHeldThroughAClientsWrapperStayWithWhatTheyReach) {
  m_container->SetTransient(1);
  KroISpecObject_var outer = make();
  {
    KroISpecObject_var inner = make(), leaf = make();
    link(inner, leaf);
    KroISpecObject_var wrapper = KroISpecObject_var::Adopt(new Decorator(inner));
    link(outer, wrapper);
  }
  make();  // dropped
  EXPECT_EQ(m_container->Collect(), 1) << "only the dropped one: the wrapper holds inner, which holds leaf";
  KroISpecObject_var wrapper = KroISpecObject_var::Adopt(KroISpecAttrAccess_var(outer)->GetSpecObject(key(outer, "next")));
  KroISpecObject_var inner(wrapper->GetModelerObject());
  KroISpecObject_var leaf = KroISpecObject_var::Adopt(KroISpecAttrAccess_var(inner)->GetSpecObject(key(inner, "next")));
  EXPECT_TRUE(leaf) << "what the wrapped object reaches is still there";
  EXPECT_EQ(m_container->CountObjects(), 3);
}

TEST_F(StoreTest, ClosingKeepsHeldObjectsWholeAndFreesTheRest) {
  KroISpecObject_var held = make();
  {
    KroISpecObject_var a = make(), b = make(), nested = make();
    link(a, b);
    link(b, a);
    m_container->RemoveObject(a);
    link(held, nested);
    KroISpecAttrAccess_var(nested)->SetString(key(nested, "name"), "nested");
    link(nested, held, "children");  // a cycle through the held object
  }
  KroISpecAttrAccess_var access = held;
  access->SetString(key(held, "name"), "still here");
  const KroISpecAttrKey_var next = key(held, "next"), name = key(held, "name");
  m_container = nullptr;
  EXPECT_EQ(access->GetString(name), "still here");
  KroISpecObject_var nested = KroISpecObject_var::Adopt(access->GetSpecObject(next));
  ASSERT_TRUE(nested) << "spec-object attributes of held objects survive the close";
  EXPECT_EQ(KroISpecAttrAccess_var(nested)->GetString(name), "nested");
  EXPECT_EQ(KroIContainer_var::Adopt(held->GetContainer()).ptr(), nullptr);
  EXPECT_FALSE(KroISpecObject_var::Adopt(m_startUp->Instanciate("", nullptr))) << "its container has closed";
  // The client breaks its own cycle; TearDown checks that everything went.
  KroISpecAttrAccess_var(nested)->UnsetAttribute(key(nested, "children"));
}

TEST_F(StoreTest, AContainerBeingDestroyedTakesNoNewInstance) {
  {
    KroISpecObject_var owner = make();
    auto* wrapper = new Decorator(make());
    wrapper->onDestroy = [startUp = m_startUp] { KroISpecObject_var::Adopt(startUp->Instanciate("", nullptr)); };
    link(owner, KroISpecObject_var::Adopt(wrapper));
  }
  m_startUp = nullptr;
  m_container = nullptr;  // the wrapper's destructor instantiates while the container closes
}

}  // namespace
