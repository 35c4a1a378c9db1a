// The uuid list: elements as attributes uidElt<n> and runs uidRun<n>, positions, replacement, emptying,
// positions out of range, the key cache and its trace.
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

KroICfgSOUuidList_var NewList() {
  UseShippedCatalog();
  KroICfgSOUuidList_var list;
  EXPECT_EQ(KroCfgSOServices::CreateUuidList(list), S_OK);
  return list;
}

std::vector<SEQUENCE_octet> Elements(const KroICfgSOUuidList_var& list) {
  std::vector<SEQUENCE_octet> out;
  for (long i = 1; i <= list->Size(); ++i) {
    SEQUENCE_octet uuid;
    EXPECT_EQ(list->ElementAt(i, uuid), S_OK);
    out.push_back(uuid);
  }
  return out;
}

bool HasAttribute(const KroICfgSOUuidList_var& list, const char* name) {
  return KroISpecAttribute_var::Adopt(KroISpecObject_var(list)->GetAttribute(name)).ptr() != nullptr;
}

const SEQUENCE_octet kA{0xa1}, kB{0xb2, 0xb2}, kC{}, kD{0xd4};

TEST(UuidListTest, AppendReplaceAndEmpty) {
  KroICfgSOUuidList_var list = NewList();
  ASSERT_TRUE(list);
  EXPECT_EQ(list->Size(), 0);
  for (const SEQUENCE_octet& uuid : {kA, kB, kC}) EXPECT_EQ(list->Append(uuid), S_OK);
  EXPECT_EQ(list->Size(), 3);
  EXPECT_TRUE(HasAttribute(list, "uidElt0") && HasAttribute(list, "uidElt2") && !HasAttribute(list, "uidElt3"));
  EXPECT_EQ(Elements(list), (std::vector<SEQUENCE_octet>{kA, kB, kC}));  // kC has length 0

  EXPECT_EQ(list->SetElementAt(2, kD), S_OK);
  EXPECT_EQ(Elements(list), (std::vector<SEQUENCE_octet>{kA, kD, kC}));

  list->Empty();
  EXPECT_EQ(list->Size(), 0);
  EXPECT_FALSE(HasAttribute(list, "uidElt0"));
  EXPECT_EQ(list->Append(kB), S_OK);
  EXPECT_TRUE(HasAttribute(list, "uidElt0"));
  EXPECT_EQ(Elements(list), std::vector<SEQUENCE_octet>{kB});
}

TEST(UuidListTest, PositionsOutsideTheListFailAndChangeNothing) {
  KroICfgSOUuidList_var list = NewList();
  for (const SEQUENCE_octet& uuid : {kA, kB}) list->Append(uuid);
  TraceCapture capture({"CfgSOUuidList"});
  for (long position : {0L, -1L, 3L, 1L << 40}) {
    SCOPED_TRACE(position);
    SEQUENCE_octet out{0x55};
    EXPECT_EQ(list->ElementAt(position, out), E_FAIL);
    EXPECT_EQ(out, SEQUENCE_octet{0x55});
    EXPECT_EQ(list->SetElementAt(position, kD), E_FAIL);
  }
  EXPECT_TRUE(capture.has("[ElementAt] Unable to access the attribute #3"));
  // The message belongs to ElementAt: SetElementAt writes its returns line only.
  for (const std::string& line : capture.lines()) {
    if (line.rfind("[SetElementAt]", 0) == 0) {
      EXPECT_EQ(line, "[SetElementAt] returns 0x80004005");
    }
  }
  EXPECT_EQ(Elements(list), (std::vector<SEQUENCE_octet>{kA, kB}));
}

TEST(UuidListTest, KeyCacheIsRebuiltOnlyWhenObsolete) {
  KroICfgSOUuidList_var list = NewList();
  TraceCapture capture({"CfgSOUuidList"});
  EXPECT_EQ(list->Size(), 0);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[updateAttrKeyList] The attribute list is obsolete. Updating it.",
                                 "[updateAttrKeyList] Attribute count: 0",
                                 "[Size] returns 0x00000000",
                             }));
  for (const SEQUENCE_octet& uuid : {kA, kB, kC}) list->Append(uuid);
  capture.clear();
  EXPECT_EQ(list->Append(kD), S_OK);
  EXPECT_EQ(list->Size(), 4);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[updateAttrKeyList] The attribute list is up-to-date. Nothing to do.",
                                 "[updateAttrKeyList] Attribute count: 3",
                                 "[Append] Adding the attribute: uidElt3",
                                 "[Append] returns 0x00000000",
                                 "[updateAttrKeyList] The attribute list is up-to-date. Nothing to do.",
                                 "[updateAttrKeyList] Attribute count: 4",
                                 "[Size] returns 0x00000004",
                             }));

  // Attributes added around the wrapper go unnoticed while the cache is current. The next name is
  // then taken, the append fails and marks the cache obsolete, and the rebuilt list counts them.
  KroISpecObject_var so = list;
  KroISpecAttribute_var::Adopt(so->AddAttribute("uidElt4", tk_list, tk_octet));
  KroISpecAttribute_var::Adopt(so->AddAttribute("other", tk_string));
  EXPECT_EQ(list->Size(), 4);
  capture.clear();
  EXPECT_EQ(list->Append(kA), E_FAIL);
  EXPECT_TRUE(capture.has("[Append] Unable to add the attribute: uidElt4"));
  EXPECT_EQ(list->Size(), 6);
  SEQUENCE_octet out;
  EXPECT_EQ(list->ElementAt(6, out), E_FAIL);  // "other" holds no octets
  EXPECT_EQ(list->Append(kA), S_OK);
  EXPECT_TRUE(HasAttribute(list, "uidElt6"));
  EXPECT_EQ(list->ElementAt(7, out), S_OK);
  EXPECT_EQ(out, kA);
}

TEST(UuidListTest, AppendAllKeepsSixteenByteUuidsInRuns) {
  KroICfgSOUuidList_var list = NewList();
  ASSERT_TRUE(list);
  auto uuid = [](int n) { return SEQUENCE_octet{static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8), 0, 0,
                                                0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x5a}; };
  KroList<SEQUENCE_octet> many;
  for (int i = 0; i < 300; ++i) many.Append(uuid(i));
  EXPECT_EQ(list->Append(kA), S_OK);
  EXPECT_EQ(list->AppendAll(many), S_OK);
  // Other lengths keep an attribute each, as Append gives them.
  EXPECT_EQ(list->AppendAll(KroList<SEQUENCE_octet>{uuid(300), kB}), S_OK);
  EXPECT_EQ(list->Size(), 303);
  EXPECT_TRUE(HasAttribute(list, "uidElt0") && HasAttribute(list, "uidRun1") && HasAttribute(list, "uidRun257"));
  EXPECT_TRUE(HasAttribute(list, "uidElt301") && HasAttribute(list, "uidElt302"));
  EXPECT_EQ(KroISpecObject_var(list)->CountAttributes(), 5);

  std::vector<SEQUENCE_octet> expected{kA};
  for (int i = 0; i <= 300; ++i) expected.push_back(uuid(i));
  expected.push_back(kB);
  EXPECT_EQ(Elements(list), expected);
  KroList<SEQUENCE_octet> all;
  EXPECT_EQ(list->GetAll(all), S_OK);
  EXPECT_EQ(all.items(), expected);

  // Within a run an element is replaced in place, by a uuid of the run's length only.
  EXPECT_EQ(list->SetElementAt(259, uuid(9999)), S_OK);
  EXPECT_EQ(list->SetElementAt(260, kA), E_INVALIDARG);
  expected[258] = uuid(9999);
  EXPECT_EQ(Elements(list), expected);

  // A rebuilt cache finds the runs again from their octets.
  KroISpecAttribute_var::Adopt(KroISpecObject_var(list)->AddAttribute("uidElt303", tk_list, tk_octet));
  EXPECT_EQ(list->Append(kD), E_FAIL);  // the name is taken: the cache is marked obsolete
  EXPECT_EQ(list->Size(), 304);
  SEQUENCE_octet out;
  EXPECT_EQ(list->ElementAt(300, out), S_OK);
  EXPECT_EQ(out, uuid(298));

  list->Empty();
  EXPECT_EQ(list->Size(), 0);
  EXPECT_EQ(list->GetAll(all), S_OK);
  EXPECT_EQ(all.Size(), 0);
}

}  // namespace
