// The streamer, through its public operations: every structure family to spec objects and back, the
// shapes it builds, its trace texts, its edge cases, and the assertions on a broken catalog.
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "KroCfgStreamer.h"
#include "LibraryTestSupport.h"

namespace {

using St = KroCfgStreamer;
namespace B = KroCfgModelBuilder;

NlsString N(const std::string& text) { return NlsString{text}; }

NlsBaseObject Bo(const std::string& name, std::initializer_list<CORBA::Octet> uid = {}) {
  return {N(name), N("type of " + name), N("info of " + name), _IDL_SEQUENCE_octet(uid)};
}

DMX_OrbixTypes::DateCorba Day(int year, int month, int day) { return {year, month, day, 0, 0, 0}; }

DMX_Config::NlsNormalValue Value(const std::string& start, const std::string& end) {
  DMX_Config::NlsNormalValue value;
  value.mlsStartName = N(start);
  value.mlsEndName = N(end);
  return value;
}

DMX_Config::NlsNormalValue FullValue() {
  DMX_Config::NlsNormalValue value = Value("M1", "M2");
  value.optionalDate = {{Day(2004, 3, 15), Day(1969, 7, 20)}};
  value.optionalRange = {{-5, 7}};
  value.optionalSpec = {N("Colour = Red")};
  return value;
}

NlsBasicEffectivity Basic(const std::string& tag) {
  NlsBasicEffectivity basic;
  basic.date_start = Day(2001, 1, 31);
  basic.date_end = {2010, 12, 1, 23, 59, 58};
  basic.range_start = -2147483647 - 1;
  basic.range_end = 2147483647;
  basic.mls_start = N(tag + "-M1");
  basic.mls_end = N(tag + "-M2");
  basic.se = {N("D"), -3, N("A.B")};
  basic.usr_start = N("u1");
  basic.usr_end = N("u2");
  basic.spec_start = N("not carried");
  basic.spec_end = N("s2");
  return basic;
}

KroUnicodeString Str(const KroISpecObject_var& so, const KroUnicodeString& name) {
  KroUnicodeString value;
  KroCfgSOServices::GetStringValue(so, name, value);
  return value;
}

KroListValKroISpecObject_var Children(const KroISpecObject_var& so, const KroUnicodeString& name) {
  KroListValKroISpecObject_var children;
  KroCfgSOServices::GetListSOValue(so, name, children);
  return children;
}

KroISpecObject_var Child(const KroISpecObject_var& so, const KroUnicodeString& name) {
  KroISpecObject_var child;
  KroCfgSOServices::GetSOValue(so, name, child);
  return child;
}

class StreamerTest : public ::testing::Test {
 protected:
  void SetUp() override { UseShippedCatalog(); }
  void TearDown() override { KroCfgFaults::Clear(); }
};

TEST_F(StreamerTest, BaseObjectsRoundTripInBothStructuresAndAsSequences) {
  const NlsBaseObject bo = Bo("part", {1, 2, 255});
  KroISpecObject_var so;
  ASSERT_EQ(St::BaseObjectToSpecObject(bo, so), S_OK);
  EXPECT_EQ(so->GetLateType(), St::STARTUP_BO);
  EXPECT_EQ(so->GetName(), "CfgSOBaseObjectInst");
  EXPECT_EQ(Str(so, St::so_tofrom_bo_type), "type of part");
  NlsBaseObject back;
  EXPECT_EQ(St::BaseObjectFromSpecObject(so, back), S_OK);
  EXPECT_EQ(back, bo);

  // The CORBA-string structure shares the shape.
  BaseObject plain;
  EXPECT_EQ(St::BaseObjectFromSpecObject(so, plain), S_OK);
  EXPECT_EQ(plain, (BaseObject{"part", "type of part", "info of part", bo.uid}));
  plain.name = "renamed";
  KroISpecObject_var plainSO;
  ASSERT_EQ(St::BaseObjectToSpecObject(plain, plainSO), S_OK);
  St::BaseObjectFromSpecObject(plainSO, back);
  EXPECT_EQ(back.name, N("renamed"));
  EXPECT_EQ(back.uid, bo.uid);

  const _IDL_SEQUENCE_NlsBaseObject seq{Bo("a"), Bo("b", {9}), Bo("")};
  KroISpecObject_var list;
  ASSERT_EQ(St::BaseObjectSeqToSpecObjectList(seq, list), S_OK);
  EXPECT_EQ(list->GetLateType(), St::STARTUP_BO_LST);
  EXPECT_EQ(list->GetName(), "CfgSOlstBaseObjectInst");
  ASSERT_EQ(Children(list, St::so_tofrom_bo_lst).Size(), 3);
  EXPECT_EQ(Str(Children(list, St::so_tofrom_bo_lst)[2], St::so_tofrom_bo_name), "b");
  _IDL_SEQUENCE_NlsBaseObject seqBack{Bo("stale")};
  EXPECT_EQ(St::BaseObjectSeqFromSpecObjectList(list, seqBack), S_OK);
  EXPECT_EQ(seqBack, seq);
}

TEST_F(StreamerTest, EmptySequencesKeepTheCallersLengthAndNullInputsChangeNothing) {
  KroISpecObject_var list;
  ASSERT_EQ(St::BaseObjectSeqToSpecObjectList({}, list), S_OK);
  EXPECT_EQ(Children(list, St::so_tofrom_bo_lst).Size(), 0);
  _IDL_SEQUENCE_NlsBaseObject kept{Bo("x"), Bo("y")};
  EXPECT_EQ(St::BaseObjectSeqFromSpecObjectList(list, kept), S_OK);
  EXPECT_EQ(kept, (_IDL_SEQUENCE_NlsBaseObject{Bo("x"), Bo("y")}));

  ASSERT_EQ(St::ChangeSeqToSpecObjectList({}, list), S_OK);
  _IDL_SEQUENCE_NlsChange changes{NlsChange{}, NlsChange{}};
  EXPECT_EQ(St::ChangeSeqFromSpecObjectList(list, changes), S_OK);
  EXPECT_EQ(changes.length(), 2u);

  const KroISpecObject_var none;
  NlsChange change{7, N("op"), N("o"), Bo("1"), Bo("2"), Bo("3"), Bo("4"), Bo("5"), Bo("6")};
  const NlsChange changeBefore = change;
  EXPECT_EQ(St::ChangeFromSpecObject(none, change), S_OK);
  EXPECT_EQ(change, changeBefore);
  NlsBasicEffectivity basic = Basic("b");
  EXPECT_EQ(St::BasicEffectivityFromSpecObject(none, basic), S_OK);
  EXPECT_EQ(basic, Basic("b"));
  DMX_Config::NlsNormalValue value = FullValue();
  EXPECT_EQ(St::NormalValueFromSpecObject(none, value), S_OK);
  EXPECT_EQ(value, FullValue());
  NlsGroupMod group{{}, Bo("g"), FullValue()};
  DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues xev{{N("D"), N("I"), {}}};
  EXPECT_EQ(St::GroupModFromSpecObject(none, group, xev), S_OK);
  EXPECT_EQ(group.bo, Bo("g"));
  EXPECT_EQ(xev.length(), 1u);
  _IDL_SEQUENCE_NlsDomainEffectivitySeq nested;
  nested.length(1);
  EXPECT_EQ(St::DomainEffectivitySeqSeqFromSpecObjectList(none, nested), S_OK);
  EXPECT_EQ(nested.length(), 1u);
}

TEST_F(StreamerTest, TraceShowsFieldsUidsAndElementsCountedFromZeroInAndOneOut) {
  TraceCapture capture({"KroCfgStreamer"});
  KroISpecObject_var so;
  St::BaseObjectToSpecObject(Bo("p", {1, 2, 255}), so);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[BaseObjectToSpecObject] Set String name :p",
                                 "[BaseObjectToSpecObject] Set String type :type of p",
                                 "[BaseObjectToSpecObject] Set String info :info of p",
                                 "[BaseObjectToSpecObject] Set ByteArray uid : ",
                                 "[ ] Size: byte(3)",
                                 "[ ] Uid :",
                                 "[ ] 12255",
                                 "[BaseObjectToSpecObject] returns 0x00000000",
                             }));

  KroISpecObject_var list;
  St::ChangeSeqToSpecObjectList({NlsChange{}, NlsChange{}}, list);
  EXPECT_TRUE(capture.has("[ChangeSeqToSpecObjectList] Nb de Change object = 2"));
  EXPECT_TRUE(capture.has("[ChangeSeqToSpecObjectList]  -> ChangeSeqToSpecObjectList element 1"));
  EXPECT_FALSE(capture.has("[ChangeSeqToSpecObjectList]  -> ChangeSeqToSpecObjectList element 2"));
  capture.clear();
  _IDL_SEQUENCE_NlsChange changes;
  St::ChangeSeqFromSpecObjectList(list, changes);
  EXPECT_TRUE(capture.has("[ChangeSeqFromSpecObjectList] Nb de SpecObject Modification = 2"));
  EXPECT_TRUE(capture.has("[ChangeSeqFromSpecObjectList]  <- ChangeSeqFromSpecObjectList element 2"));
  EXPECT_FALSE(capture.has("[ChangeSeqFromSpecObjectList]  <- ChangeSeqFromSpecObjectList element 0"));
  EXPECT_EQ(capture.lines().back(), "[ChangeSeqFromSpecObjectList] returns 0x00000000");

  capture.clear();
  St::BasicEffectivitySeqToSpecObjectList({Basic("b")}, list);
  EXPECT_TRUE(capture.has("[BasicEffectivitySeqToSpecObjectList] Nb de BasicEffectivity object = 1"));
  EXPECT_TRUE(capture.has("[BasicEffectivitySeqToSpecObjectList]  -> BasicEffectivitySeqtoSpecObjectList element 0"));
  EXPECT_TRUE(capture.has("[BasicEffectivityToSpecObject] Start milestone : b-M1"));

  // The normal-value writers end without a returns line; the reader has one.
  capture.clear();
  St::NormalValueToSpecObject(FullValue(), so);
  St::NormalValueToSpecObject(KroICfgNormalValue_var(), so);
  DMX_Config::NlsNormalValue value;
  St::NormalValueFromSpecObject(so, value);
  for (const std::string& line : capture.lines()) {
    EXPECT_EQ(line.find("[NormalValueToSpecObject] returns"), std::string::npos) << line;
    EXPECT_EQ(line.find("[CreateSpecObjectFromNormalValue] returns"), std::string::npos) << line;
  }
  EXPECT_TRUE(capture.has("[NormalValueToSpecObject] Range[ -5 , 7 ]"));
  EXPECT_TRUE(capture.has("[NormalValueToSpecObject] MlsEndName :M2"));
  EXPECT_TRUE(capture.has("[NormalValueFromSpecObject] returns 0x00000000"));
}

TEST_F(StreamerTest, TimesGoThroughDateSpecObjects) {
  for (time_t seconds : {time_t{1079308800}, time_t{-14182940}, time_t{0}}) {
    KroISpecObject_var so;
    ASSERT_EQ(St::KroTimeToSpecObject(KroTime(seconds), so), S_OK);
    EXPECT_EQ(so->GetLateType(), "CfgSODate");
    KroTime back(12345);
    EXPECT_EQ(St::KroTimeFromSpecObject(so, back), S_OK);
    EXPECT_EQ(back.Gettime_t(), seconds);
  }
  // Anything but a date: S_FALSE and the epoch.
  KroISpecObject_var bo;
  St::BaseObjectToSpecObject(Bo("x"), bo);
  KroTime time(99);
  EXPECT_EQ(St::KroTimeFromSpecObject(bo, time), S_FALSE);
  EXPECT_EQ(time.Gettime_t(), 0);
  time = KroTime(99);
  EXPECT_EQ(St::KroTimeFromSpecObject(KroISpecObject_var(), time), S_FALSE);
  EXPECT_EQ(time.Gettime_t(), 0);
}

TEST_F(StreamerTest, NormalValuesCarryEachOptionalPartByLength) {
  const DMX_Config::NlsNormalValue full = FullValue();
  KroISpecObject_var so;
  ASSERT_EQ(St::NormalValueToSpecObject(full, so), S_OK);
  EXPECT_EQ(so->GetName(), "CfgSONormalValueInst");
  ASSERT_EQ(Children(so, St::so_tofrom_nv_lst_date).Size(), 2);
  EXPECT_EQ(Children(so, St::so_tofrom_nv_lst_date)[1]->GetLateType(), "CfgSODate");
  DMX_Config::NlsNormalValue back;
  EXPECT_EQ(St::NormalValueFromSpecObject(so, back), S_OK);
  EXPECT_EQ(back, full);

  // Nothing optional, or a part of length 2: only the two names (empty ones too).
  DMX_Config::NlsNormalValue bare = Value("", "");
  bare.optionalRange = {{1, 2}, {3, 4}};
  ASSERT_EQ(St::NormalValueToSpecObject(bare, so), S_OK);
  KroRawCollint ranges;
  KroListValKroUnicodeString specs, names;
  KroCfgSOServices::GetListIntegerValue(so, St::so_tofrom_nv_lst_range, ranges);
  KroCfgSOServices::GetListStringValue(so, St::so_tofrom_nv_lst_spec, specs);
  KroCfgSOServices::GetListStringValue(so, St::so_tofrom_nv_lst_milestone_name, names);
  EXPECT_EQ(ranges.Size(), 0);
  EXPECT_EQ(Children(so, St::so_tofrom_nv_lst_date).Size(), 0);
  EXPECT_EQ(specs.Size(), 0);
  EXPECT_EQ(names, (KroListValKroUnicodeString{"", ""}));
  back = full;
  St::NormalValueFromSpecObject(so, back);
  EXPECT_EQ(back, Value("", ""));

  // Three integers are no range; one name leaves both names as they were.
  KroCfgSOServices::SetListIntegerValue(so, St::so_tofrom_nv_lst_range, KroRawCollint{1, 2, 3});
  KroCfgSOServices::SetListStringValue(so, St::so_tofrom_nv_lst_milestone_name, KroListValKroUnicodeString{"only"});
  back = full;
  St::NormalValueFromSpecObject(so, back);
  EXPECT_EQ(back.optionalRange.length(), 0u);
  EXPECT_EQ(back.mlsStartName, N("M1"));
  EXPECT_EQ(back.mlsEndName, N("M2"));
}

TEST_F(StreamerTest, EffectivityValuesBuildAThreeLevelTree) {
  DMX_Config::NlsXEffectivityValues xev{N("Domain"), N("Info"), {{FullValue(), Value("a", "b")}, {Value("c", "d")}}};
  KroISpecObject_var so;
  ASSERT_EQ(St::XEffectivityValuesToSpecObject(xev, so), S_OK);
  EXPECT_EQ(Str(so, St::so_tofrom_xev_domain), "Domain");
  KroISpecObject_var top = Child(so, St::so_tofrom_xev_ev);
  ASSERT_TRUE(top);
  EXPECT_EQ(top->GetLateType(), St::STARTUP_EV_LST);
  KroListValKroISpecObject_var alternatives = Children(top, St::so_tofrom_ev_lst);
  ASSERT_EQ(alternatives.Size(), 2);
  EXPECT_EQ(alternatives[1]->GetLateType(), St::STARTUP_NV_LST);
  EXPECT_EQ(Children(alternatives[1], St::so_tofrom_nv_lst).Size(), 2);
  ASSERT_EQ(Children(alternatives[2], St::so_tofrom_nv_lst).Size(), 1);
  EXPECT_EQ(Children(alternatives[2], St::so_tofrom_nv_lst)[1]->GetLateType(), St::STARTUP_NV);

  DMX_Config::NlsXEffectivityValues back;
  EXPECT_EQ(St::XEffectivityValuesFromSpecObject(so, back), S_OK);
  EXPECT_EQ(back, xev);

  const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues seq{xev, {N("E"), N(""), {}}};
  ASSERT_EQ(St::XEffectivityValuesSeqToSpecObjectList(seq, so), S_OK);
  DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues seqBack;
  EXPECT_EQ(St::XEffectivityValuesSeqFromSpecObjectList(so, seqBack), S_OK);
  EXPECT_EQ(seqBack, seq);
}

TEST_F(StreamerTest, ModelNormalValuesReadBackThroughTheIdlReader) {
  auto spec = B::Specification({.name = "S1", .condition = "Colour = Red"});
  auto value =
      B::NormalValue({.dateInterval = B::DateInterval(KroTime(2004, 3, 15, 0, 0, 0), KroTime(2005, 1, 1, 0, 0, 0)),
                      .rangeInterval = B::RangeInterval(-5, 7),
                      .condition = spec,
                      .startMilestone = "M1",
                      .endMilestone = "M2"});
  KroISpecObject_var so;
  ASSERT_EQ(St::NormalValueToSpecObject(value, so), S_OK);
  DMX_Config::NlsNormalValue back;
  St::NormalValueFromSpecObject(so, back);
  DMX_Config::NlsNormalValue expected = Value("M1", "M2");
  expected.optionalDate = {{Day(2004, 3, 15), Day(2005, 1, 1)}};
  expected.optionalRange = {{-5, 7}};
  expected.optionalSpec = {N("Colour = Red")};
  EXPECT_EQ(back, expected);

  // Each handle is asked for its own kind only; no condition, still both names.
  auto dates = B::NormalValue({.dateInterval = B::DateInterval(KroTime(2004, 3, 15, 0, 0, 0), KroTime(0)),
                               .rangeInterval = B::DateInterval(KroTime(1), KroTime(2)),
                               .startMilestone = "A"});
  ASSERT_EQ(St::NormalValueToSpecObject(dates, so), S_OK);
  back = FullValue();
  St::NormalValueFromSpecObject(so, back);
  EXPECT_EQ(back.optionalDate.length(), 1u);
  EXPECT_EQ(back.optionalRange.length(), 0u);
  EXPECT_EQ(back.optionalSpec.length(), 0u);
  EXPECT_EQ(back.mlsStartName, N("A"));
  EXPECT_EQ(back.mlsEndName, N(""));

  // A null value gives the empty shape.
  ASSERT_EQ(St::NormalValueToSpecObject(KroICfgNormalValue_var(), so), S_OK);
  EXPECT_EQ(so->GetLateType(), St::STARTUP_NV);
  KroListValKroUnicodeString names;
  KroCfgSOServices::GetListStringValue(so, St::so_tofrom_nv_lst_milestone_name, names);
  EXPECT_EQ(names.Size(), 0);

  // A failing model call stops the operation with what was appended so far.
  KroCfgFaults::Set("KroICfgSimpleSpecification::getConditionString", E_UNEXPECTED);
  EXPECT_EQ(St::NormalValueToSpecObject(value, so), E_UNEXPECTED);
  KroRawCollint ranges;
  KroCfgSOServices::GetListIntegerValue(so, St::so_tofrom_nv_lst_range, ranges);
  KroCfgSOServices::GetListStringValue(so, St::so_tofrom_nv_lst_milestone_name, names);
  EXPECT_EQ(Children(so, St::so_tofrom_nv_lst_date).Size(), 2);
  EXPECT_EQ(ranges, (KroRawCollint{-5, 7}));
  EXPECT_EQ(names.Size(), 0);
}

TEST_F(StreamerTest, ModificationsAndGroupModificationsRoundTrip) {
  const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues xev{{N("D"), N("I"), {{Value("a", "b")}}}};
  const NlsModification mod{Bo("m1", {4}), N("<tree/>"), xev};
  KroISpecObject_var so;
  ASSERT_EQ(St::ModificationToSpecObject(mod, so), S_OK);
  EXPECT_EQ(so->GetName(), "CfgModificationInst");
  NlsModification modBack;
  EXPECT_EQ(St::ModificationFromSpecObject(so, modBack), S_OK);
  EXPECT_EQ(modBack, mod);

  const NlsGroupMod group{{mod, {Bo("m2"), N(""), {}}}, Bo("group"), FullValue()};
  const DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues groupXev{{N("G"), N("gi"), {}}, xev[0]};
  ASSERT_EQ(St::GroupModToSpecObject(group, groupXev, so), S_OK);
  EXPECT_EQ(so->GetLateType(), St::STARTUP_GMOD);
  NlsGroupMod groupBack;
  DMX_Config::_IDL_SEQUENCE_DMX_Config_NlsXEffectivityValues xevBack;
  EXPECT_EQ(St::GroupModFromSpecObject(so, groupBack, xevBack), S_OK);
  EXPECT_EQ(groupBack, group);
  EXPECT_EQ(xevBack, groupXev);
  NlsGroupMod twoArgBack;
  EXPECT_EQ(St::GroupModFromSpecObject(so, twoArgBack), S_OK);
  EXPECT_EQ(twoArgBack, group);

  // Written by the two-argument operation: no extended values to read.
  ASSERT_EQ(St::GroupModToSpecObject(group, so), S_OK);
  EXPECT_FALSE(Child(so, St::so_tofrom_gmod_xev_lst));
  xevBack = groupXev;
  St::GroupModFromSpecObject(so, groupBack, xevBack);
  EXPECT_EQ(xevBack, groupXev);

  const _IDL_SEQUENCE_NlsGroupMod groups{group, NlsGroupMod{}};
  ASSERT_EQ(St::GroupModSeqToSpecObjectList(groups, so), S_OK);
  _IDL_SEQUENCE_NlsGroupMod groupsBack;
  EXPECT_EQ(St::GroupModSeqFromSpecObjectList(so, groupsBack), S_OK);
  EXPECT_EQ(groupsBack, groups);
}

TEST_F(StreamerTest, ChangesKeepTheirIdAsADoubleAndAllSixBaseObjects) {
  const NlsChange change{-1, N("op str"), N("op"), {}, {}, {}, {}, {}, {}};
  KroISpecObject_var so;
  ASSERT_EQ(St::ChangeToSpecObject(change, so), S_OK);
  double stored = 0;
  KroCfgSOServices::GetDoubleValue(so, St::so_tofrom_chg_id, stored);
  EXPECT_EQ(stored, -1.0);
  for (const KroUnicodeString* role :
       {&St::so_tofrom_chg_bo_one, &St::so_tofrom_chg_bo_three, &St::so_tofrom_chg_bo_act}) {
    KroISpecObject_var bo = Child(so, *role);
    ASSERT_TRUE(bo) << *role;
    EXPECT_EQ(bo->GetLateType(), St::STARTUP_BO);
    EXPECT_EQ(Str(bo, St::so_tofrom_bo_name), "");
  }
  NlsChange back{5, N("x"), N("y"), Bo("1"), Bo("2"), Bo("3"), Bo("4"), Bo("5"), Bo("6")};
  EXPECT_EQ(St::ChangeFromSpecObject(so, back), S_OK);
  EXPECT_EQ(back, change);

  const std::vector<std::pair<double, int>> truncated{{2.9, 2}, {-2.9, -2}, {2147483647.0, 2147483647}};
  for (const auto& [value, expected] : truncated) {
    KroCfgSOServices::SetDoubleValue(so, St::so_tofrom_chg_id, value);
    St::ChangeFromSpecObject(so, back);
    EXPECT_EQ(back.id, expected) << value;
  }

  // No "chg_id": E_FAIL, the whole structure untouched.
  KroISpecObject_var bo;
  St::BaseObjectToSpecObject(Bo("not a change"), bo);
  const NlsChange untouched{3, N("a"), N("b"), Bo("1"), {}, {}, {}, {}, {}};
  back = untouched;
  TraceCapture capture({"KroCfgStreamer"});
  EXPECT_EQ(St::ChangeFromSpecObject(bo, back), E_FAIL);
  EXPECT_EQ(back, untouched);
  EXPECT_TRUE(capture.has("[ChangeFromSpecObject] Unable to access the attribute chg_id"));

  // A failing element stops the list loop: earlier elements filled, later ones as they were.
  const _IDL_SEQUENCE_NlsChange changes{{1, N("first"), N(""), {}, {}, {}, {}, {}, {}}, change, change};
  KroISpecObject_var list;
  ASSERT_EQ(St::ChangeSeqToSpecObjectList(changes, list), S_OK);
  _IDL_SEQUENCE_NlsChange changesBack;
  EXPECT_EQ(St::ChangeSeqFromSpecObjectList(list, changesBack), S_OK);
  EXPECT_EQ(changesBack, changes);
  KroListValKroISpecObject_var children = Children(list, St::so_tofrom_chg_lst);
  KroCfgSOServices::SetListSOValue(list, St::so_tofrom_chg_lst,
                                   KroListValKroISpecObject_var{children[1], bo, children[3]});
  changesBack = _IDL_SEQUENCE_NlsChange{untouched};
  EXPECT_EQ(St::ChangeSeqFromSpecObjectList(list, changesBack), E_FAIL);
  ASSERT_EQ(changesBack.length(), 3u);
  EXPECT_EQ(changesBack[0], changes[0]);
  EXPECT_EQ(changesBack[2], NlsChange{});
}

TEST_F(StreamerTest, SpecExpressionsAndBasicEffectivitiesRoundTrip) {
  KroISpecObject_var so;
  const NlsSpecExpression se{N("D"), -3, N("A.B")};
  ASSERT_EQ(St::SpecExpressionToSpecObject(se, so), S_OK);
  NlsSpecExpression seBack;
  EXPECT_EQ(St::SpecExpressionFromSpecObject(so, seBack), S_OK);
  EXPECT_EQ(seBack, se);
  KroCfgSOServices::SetIntegerValue(so, St::so_tofrom_se_position, 70000);
  St::SpecExpressionFromSpecObject(so, seBack);
  EXPECT_EQ(seBack.position, 4464);

  const NlsBasicEffectivity basic = Basic("b");
  ASSERT_EQ(St::BasicEffectivityToSpecObject(basic, so), S_OK);
  EXPECT_EQ(Child(so, St::so_tofrom_be_date_start)->GetLateType(), "CfgSODate");
  NlsBasicEffectivity back;
  back.spec_start = N("caller's own");
  EXPECT_EQ(St::BasicEffectivityFromSpecObject(so, back), S_OK);
  EXPECT_EQ(back.spec_start, N("caller's own"));
  back.spec_start = basic.spec_start;
  EXPECT_EQ(back, basic);
  KroCfgSOServices::SetDoubleValue(so, St::so_tofrom_be_range_end, 7.9);
  St::BasicEffectivityFromSpecObject(so, back);
  EXPECT_EQ(back.range_end, 7);

  // Without "be_range_end": E_FAIL after the dates and the start bound; the rest keeps its values.
  KroCfgSOServices::RemoveAttribute(so, St::so_tofrom_be_range_end);
  NlsBasicEffectivity partial;
  partial.mls_start = N("old");
  EXPECT_EQ(St::BasicEffectivityFromSpecObject(so, partial), E_FAIL);
  EXPECT_EQ(partial.date_end, basic.date_end);
  EXPECT_EQ(partial.range_start, basic.range_start);
  EXPECT_EQ(partial.range_end, 0);
  EXPECT_EQ(partial.mls_start, N("old"));

  // In a list the broken element stops the loop, which the domain reader does not pass on.
  KroISpecObject_var list;
  ASSERT_EQ(St::BasicEffectivitySeqToSpecObjectList({basic, Basic("c")}, list), S_OK);
  KroCfgSOServices::SetListSOValue(list, St::so_tofrom_be_lst, KroListValKroISpecObject_var{so});
  _IDL_SEQUENCE_NlsBasicEffectivity basics;
  EXPECT_EQ(St::BasicEffectivitySeqFromSpecObjectList(list, basics), E_FAIL);
  KroISpecObject_var domain;
  ASSERT_EQ(St::DomainEffectivityToSpecObject({{}, N("D")}, domain), S_OK);
  KroCfgSOServices::SetSOValue(domain, St::so_tofrom_de_be_lst, list);
  NlsDomainEffectivity domainBack;
  EXPECT_EQ(St::DomainEffectivityFromSpecObject(domain, domainBack), S_OK);
  EXPECT_EQ(domainBack.domain, N("D"));
}

TEST_F(StreamerTest, DomainEffectivitiesRoundTripAndNestedListsReadBack) {
  const _IDL_SEQUENCE_NlsDomainEffectivity domains{{{Basic("a"), Basic("b")}, N("D1")}, {{}, N("D2")}};
  KroISpecObject_var first, second;
  ASSERT_EQ(St::DomainEffectivitySeqToSpecObjectList(domains, first), S_OK);
  _IDL_SEQUENCE_NlsDomainEffectivity back;
  EXPECT_EQ(St::DomainEffectivitySeqFromSpecObjectList(first, back), S_OK);
  // spec_start is not carried: it reads back empty in fresh elements.
  _IDL_SEQUENCE_NlsDomainEffectivity expected = domains;
  for (NlsBasicEffectivity& basic : expected[0].be_lst) basic.spec_start = NlsString{};
  EXPECT_EQ(back, expected);

  // The library builds no list of lists; one made by hand reads back.
  ASSERT_EQ(St::DomainEffectivitySeqToSpecObjectList({{{}, N("D3")}}, second), S_OK);
  KroISpecObject_var nested;
  ASSERT_EQ(KroCfgSOFactory::instanciateSpecObject(St::STARTUP_DE_LST_LST, "KroISpecObject", nested), S_OK);
  KroCfgSOServices::SetListSOValue(nested, St::so_tofrom_de_lst_lst, KroListValKroISpecObject_var{first, second});
  _IDL_SEQUENCE_NlsDomainEffectivitySeq nestedBack;
  EXPECT_EQ(St::DomainEffectivitySeqSeqFromSpecObjectList(nested, nestedBack), S_OK);
  ASSERT_EQ(nestedBack.length(), 2u);
  EXPECT_EQ(nestedBack[0], expected);
  EXPECT_EQ(nestedBack[1], (_IDL_SEQUENCE_NlsDomainEffectivity{{{}, N("D3")}}));
}

TEST_F(StreamerTest, NoCatalogMeansTheFactorysFailureAndAnUntouchedOutput) {
  InFreshProcess([] {
    setenv("KroGraphicPath", "/nonexistent-directory", 1);
    KroISpecObject_var so;
    HRESULT hr = St::BaseObjectSeqToSpecObjectList({Bo("x")}, so);
    if (hr != KRO_E_FILE_NOT_FOUND) return "unexpected result " + std::to_string(hr);
    return std::string(so ? "output set" : "");
  });
}

// ---- Assertions on a catalog broken on purpose ----

// The lines of KroCfgStreamer.cpp where an assertion stands: those that report a failed condition.
std::vector<int> AssertionLines() {
  std::ifstream source(kro_test::SourceDir() + "/DMXCfgIDLInterfaces/CfgSIDLServices.m/src/KroCfgStreamer.cpp");
  std::vector<int> lines;
  std::string text;
  for (int line = 1; std::getline(source, text); ++line)
    if (text.find("AssertionFailed(") != std::string::npos && text.find("__LINE__") != std::string::npos &&
        text.find("#define") == std::string::npos && text.find("condition") == std::string::npos)
      lines.push_back(line);
  return lines;
}

// The fatal error of an assertion: the path the streamer reports and a line of KroCfgStreamer.cpp that
// holds an assertion (for a missing attribute, the one checked lookup), not a line of another source.
std::string Fatal(const std::string& condition) {
  const std::vector<int> lines = AssertionLines();
  EXPECT_EQ(lines.size(), 1u) << "expected one checked attribute lookup in KroCfgStreamer.cpp";
  return "Fatal error: AssertionFailed:" + condition +
         "\n  at DMXCfgIDLInterfaces/CfgSIDLServices\\.m/src/KroCfgStreamer, line " +
         std::to_string(lines.empty() ? -1 : lines.front()) + "\n";
}

void UseCatalog(const std::string& dir) { setenv("KroGraphicPath", dir.c_str(), 1); }

TEST(StreamerDeathTest, AMissingAttributeEndsTheProcessNamingItsHandle) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string noList = CatalogDirWith("streamer-no-bo-lst", "\"bo_lst\"", "\"bo_list\"");
  EXPECT_DEATH(
      {
        UseCatalog(noList);
        KroISpecObject_var so;
        St::BaseObjectSeqToSpecObjectList({}, so);
      },
      Fatal("plstBO"));
  const std::string noAct = CatalogDirWith("streamer-no-act", "\"chg_bo_act\"", "\"chg_bo_action\"");
  EXPECT_DEATH(
      {
        UseCatalog(noAct);
        KroISpecObject_var so;
        St::ChangeToSpecObject(NlsChange{}, so);
      },
      Fatal("pCHGboact"));
  const std::string noMls = CatalogDirWith("streamer-no-mls", "\"nv_lst_milestone_name\"", "\"nv_lst_mls\"");
  EXPECT_DEATH(
      {
        UseCatalog(noMls);
        KroISpecObject_var so;
        St::NormalValueToSpecObject(KroICfgNormalValue_var(), so);
      },
      Fatal("plstMls"));
}

TEST(StreamerDeathTest, OnlyTheThreeArgumentGroupWriterNeedsTheExtendedValues) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string dir = CatalogDirWith("streamer-no-gmod-xev", "\"gmod_xev_lst\"", "\"gmod_xev\"");
  InFreshProcess([dir] {
    UseCatalog(dir);
    KroISpecObject_var so;
    return std::string(St::GroupModToSpecObject(NlsGroupMod{}, so) == S_OK ? "" : "two-argument writer failed");
  });
  EXPECT_DEATH(
      {
        UseCatalog(dir);
        KroISpecObject_var so;
        St::GroupModToSpecObject(NlsGroupMod{}, {}, so);
      },
      Fatal("pGMXEV"));
}

TEST(StreamerDeathTest, AMissingStartupRaisesTheNullHandleError) {
  const std::string dir = CatalogDirWith("streamer-no-change", "startup \"StreamerChange\" type \"StreamerChange\"",
                                         "startup \"StreamerChangeX\" type \"StreamerChangeX\"");
  InFreshProcess([dir] {
    UseCatalog(dir);
    KroISpecObject_var so;
    try {
      St::ChangeToSpecObject(NlsChange{}, so);
    } catch (const KroNullVarError&) {
      return std::string(so ? "output set" : "");
    }
    return std::string("no null-handle error");
  });
}

}  // namespace
