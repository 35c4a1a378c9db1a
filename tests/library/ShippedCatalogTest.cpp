// The shipped feature catalog: exactly the startups the library instantiates, each with exactly the
// attributes and kinds its readers and writers expect, and nothing set in a new instance.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "KroCfgSOStrings.h"
#include "KroCfgStreamer.h"
#include "KroDocument.h"
#include "KroSpecModeler.h"
#include "TestPaths.h"


namespace {

using S = KroCfgSOStrings;
using St = KroCfgStreamer;

// An attribute kind as the catalog file writes it.
std::string KindWord(TCKind kind, TCKind element) {
  switch (kind) {
    case tk_long: return "integer";
    case tk_double: return "double";
    case tk_boolean: return "boolean";
    case tk_string: return "string";
    case tk_specobject: return "specobject";
    case tk_list:
      switch (element) {
        case tk_octet: return "octets";
        case tk_long: return "list integer";
        case tk_double: return "list double";
        case tk_string: return "list string";
        case tk_specobject: return "list specobject";
        default: return "list " + std::to_string(element);
      }
    default: return "kind " + std::to_string(kind);
  }
}

struct Attr {
  KroUnicodeString name;
  const char* kind;
};
struct Shape {
  KroUnicodeString startup;
  std::vector<Attr> attributes;
};

// Built at run time: the names-table constants are made when the library loads.
std::vector<Shape> ExpectedShapes() {
  return {
      // Wrappers: names from the names table, unless the wrapper class owns them.
      {S::STARTUP_DATE, {{S::DATE_SEC, "integer"}}},
      {S::STARTUP_MILESTONE_DATE, {{S::MILESTONES_NAME, "string"}, {S::MILESTONES_DATE, "specobject"}}},
      {S::STARTUP_MILESTONE_RANGE, {{S::MILESTONES_NAME, "string"}, {S::MILESTONES_RANG, "integer"}}},
      {S::STARTUP_INTERVAL_DATES,
       {{S::INTERVAL_START, "specobject"}, {S::INTERVAL_END, "specobject"}, {S::INTERVAL_IS_INFINITE, "boolean"}}},
      {S::STARTUP_INTERVAL_RANGES,
       {{S::INTERVAL_START, "specobject"},
        {S::INTERVAL_END, "specobject"},
        {S::INTERVAL_START_RANGE, "integer"},
        {S::INTERVAL_END_RANGE, "integer"},
        {S::INTERVAL_IS_INFINITE, "boolean"}}},
      {S::STARTUP_SPECIFICATION,
       {{S::SPEC_NAME, "string"},
        {S::SPEC_DESC, "string"},
        {S::SPEC_UID, "octets"},
        {S::SPEC_ALIAS, "string"},
        {S::CAT_NAME, "string"},
        {S::CAT_DESC, "string"}}},
      {S::STARTUP_SPECEXPRESSION,
       {{S::SPECEXPRESSION_SPEC_LST, "list specobject"}, {S::SPECEXPRESSION_EXPR_LST, "list integer"}}},
      {S::STARTUP_BASIC_EFFECTIVITY,
       {{S::BASIC_EFFECTIVITY_INTERVAL, "specobject"}, {S::BASIC_EFFECTIVITY_SPECEXPR, "specobject"}}},
      {S::STARTUP_EFFECTIVITY, {{S::EFFECTIVITY_DOMAIN, "string"}, {S::EFFECTIVITY_BASIC_LST, "list specobject"}}},
      {S::STARTUP_MODIFICATION,
       {{S::MOD_NAME, "string"},
        {S::MOD_UID, "octets"},
        {S::MOD_ACTION_NAME, "string"},
        {S::MOD_EFF_STRING, "string"},
        {S::MOD_UNDER_ACTION, "boolean"}}},
      // The filter's own names (its late type and attribute names are members of the filter class).
      {"CfgSOFilter",
       {{"name", "string"}, {"domain", "string"}, {"uid", "octets"}, {"mode", "integer"}, {"mode150", "boolean"}}},
      {S::STARTUP_CONTEXT,
       {{S::CONTEXT_NAME, "string"}, {S::CONTEXT_TYPE, "string"}, {S::CONTEXT_INFO, "string"}, {S::CONTEXT_UID, "octets"}}},
      {S::STARTUP_VARIABILITY_SPACE,
       {{S::VARIABILITY_SPACE_VS_NAME, "string"},
        {S::VARIABILITY_SPACE_VS_UID, "octets"},
        {S::VARIABILITY_SPACE_CO_UID, "octets"},
        {S::VARIABILITY_SPACE_CO_DESC, "string"},
        {S::VARIABILITY_SPACE_CV_UID, "octets"},
        {S::VARIABILITY_SPACE_CV_NAME, "string"},
        {S::VARIABILITY_SPACE_CV_INFO, "string"}}},
      // Every attribute of a uuid list is one of its elements, added at run time.
      {S::STARTUP_UUIDLIST, {}},
      // Scripting clients reach the shared container through an instance of this one.
      {"CfgDispatchContainer", {}},

      // Streamer shapes: the streamer's own name constants.
      {St::STARTUP_BO,
       {{St::so_tofrom_bo_name, "string"},
        {St::so_tofrom_bo_type, "string"},
        {St::so_tofrom_bo_info, "string"},
        {St::so_tofrom_bo_uid, "octets"}}},
      {St::STARTUP_BO_LST, {{St::so_tofrom_bo_lst, "list specobject"}}},
      {St::STARTUP_NV,
       {{St::so_tofrom_nv_lst_range, "list integer"},
        {St::so_tofrom_nv_lst_date, "list specobject"},
        {St::so_tofrom_nv_lst_spec, "list string"},
        {St::so_tofrom_nv_lst_milestone_name, "list string"}}},
      {St::STARTUP_NV_LST, {{St::so_tofrom_nv_lst, "list specobject"}}},
      {St::STARTUP_EV_LST, {{St::so_tofrom_ev_lst, "list specobject"}}},
      {St::STARTUP_XEV,
       {{St::so_tofrom_xev_domain, "string"}, {St::so_tofrom_xev_info, "string"}, {St::so_tofrom_xev_ev, "specobject"}}},
      {St::STARTUP_XEV_LST, {{St::so_tofrom_xev_lst, "list specobject"}}},
      {St::STARTUP_MOD,
       {{St::so_tofrom_mod_bo, "specobject"},
        {St::so_tofrom_mod_xml_tree, "string"},
        {St::so_tofrom_mod_xev_lst, "specobject"}}},
      {St::STARTUP_MOD_LST, {{St::so_tofrom_mod_lst, "list specobject"}}},
      {St::STARTUP_GMOD,
       {{St::so_tofrom_gmod_mod_lst, "specobject"},
        {St::so_tofrom_gmod_bo, "specobject"},
        {St::so_tofrom_gmod_nv, "specobject"},
        {St::so_tofrom_gmod_xev_lst, "specobject"}}},
      {St::STARTUP_GMOD_LST, {{St::so_tofrom_gmod_lst, "list specobject"}}},
      {St::STARTUP_CHANGE,
       {{St::so_tofrom_chg_id, "double"},
        {St::so_tofrom_chg_op_str, "string"},
        {St::so_tofrom_chg_op, "string"},
        {St::so_tofrom_chg_bo_one, "specobject"},
        {St::so_tofrom_chg_bo_two, "specobject"},
        {St::so_tofrom_chg_bo_three, "specobject"},
        {St::so_tofrom_chg_bo_cv, "specobject"},
        {St::so_tofrom_chg_bo_mod, "specobject"},
        {St::so_tofrom_chg_bo_act, "specobject"}}},
      {St::STARTUP_CHANGE_LST, {{St::so_tofrom_chg_lst, "list specobject"}}},
      {St::STARTUP_SE,
       {{St::so_tofrom_se_domain, "string"},
        {St::so_tofrom_se_position, "integer"},
        {St::so_tofrom_se_expression, "string"}}},
      {St::STARTUP_BE,
       {{St::so_tofrom_be_date_start, "specobject"},
        {St::so_tofrom_be_date_end, "specobject"},
        {St::so_tofrom_be_range_start, "double"},
        {St::so_tofrom_be_range_end, "double"},
        {St::so_tofrom_be_mls_start, "string"},
        {St::so_tofrom_be_mls_end, "string"},
        {St::so_tofrom_be_se, "specobject"},
        {St::so_tofrom_be_usr_start, "string"},
        {St::so_tofrom_be_usr_end, "string"},
        {St::so_tofrom_be_spec_end, "string"}}},
      {St::STARTUP_BE_LST, {{St::so_tofrom_be_lst, "list specobject"}}},
      {St::STARTUP_DE, {{St::so_tofrom_de_be_lst, "specobject"}, {St::so_tofrom_de_domain, "string"}}},
      {St::STARTUP_DE_LST, {{St::so_tofrom_de_lst, "list specobject"}}},
      {St::STARTUP_DE_LST_LST, {{St::so_tofrom_de_lst_lst, "list specobject"}}},
  };
}

using AttrKinds = std::map<std::string, std::string>;

class ShippedCatalogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_live = KroBaseUnknown::LiveObjects();
    ASSERT_EQ(KroDocumentServices::Open((kro_test::ShippedCatalogDir() + "/CfgSOCatalog.feat").c_str(), m_document, 0), S_OK) << KroDocumentServices::LastError();
    ASSERT_NE(m_document, nullptr);
    m_container = KroIContainer_var::Adopt(m_document->GetDocumentContainer("KroIContainer"));
    ASSERT_TRUE(m_container);
  }
  void TearDown() override {
    m_container = nullptr;
    if (m_document) KroDocumentServices::Close(m_document);
    EXPECT_EQ(KroBaseUnknown::LiveObjects(), m_live) << "components leaked or freed twice";
  }
  static AttrKinds KindsOf(const KroISpecObject_var& so) {
    AttrKinds kinds;
    std::unique_ptr<KroListValKroISpecAttribute_var> attributes(so->ListAttributes());
    for (const KroISpecAttribute_var& a : *attributes) {
      bool fresh = kinds.emplace(a->GetName().str(), KindWord(a->GetKind(), a->GetElementKind())).second;
      EXPECT_TRUE(fresh) << so->GetName() << " lists " << a->GetName() << " twice";
    }
    return kinds;
  }

  long m_live = 0;
  KroDocument* m_document = nullptr;
  KroIContainer_var m_container;
};

TEST_F(ShippedCatalogTest, HoldsExactlyTheExpectedStartupsAttributesAndKinds) {
  std::map<std::string, AttrKinds> expected;
  for (const Shape& shape : ExpectedShapes()) {
    AttrKinds& kinds = expected[shape.startup.str()];
    ASSERT_TRUE(kinds.empty()) << "startup " << shape.startup << " twice in the expected table";
    for (const Attr& a : shape.attributes)
      ASSERT_TRUE(kinds.emplace(a.name.str(), a.kind).second)
          << shape.startup << ": attribute " << a.name << " twice in the expected table";
  }
  ASSERT_EQ(expected.size(), 34u);

  std::map<std::string, AttrKinds> actual;
  for (const KroISpecObject_var& startUp : m_container->ListStartUps()) {
    EXPECT_EQ(startUp->GetLateType(), startUp->GetName()) << "a startup's type is its name";
    actual[startUp->GetName().str()] = KindsOf(startUp);
  }

  for (const auto& [startup, kinds] : expected) {
    auto found = actual.find(startup);
    if (found == actual.end()) {
      ADD_FAILURE() << "catalog lacks the startup " << startup;
      continue;
    }
    for (const auto& [name, kind] : kinds) {
      auto attr = found->second.find(name);
      if (attr == found->second.end())
        ADD_FAILURE() << startup << " lacks the attribute " << name << " (" << kind << ")";
      else
        EXPECT_EQ(attr->second, kind) << startup << "." << name;
    }
    for (const auto& [name, kind] : found->second)
      if (!kinds.contains(name)) ADD_FAILURE() << startup << " has an unexpected attribute " << name << " (" << kind << ")";
  }
  for (const auto& [startup, kinds] : actual)
    if (!expected.contains(startup)) ADD_FAILURE() << "catalog has an unexpected startup " << startup;
}

// Instances start empty: a value in a startup would show as data nobody stored, and in the streamer's
// list shapes every appended child would land behind it.
TEST_F(ShippedCatalogTest, NewInstancesHoldNoValue) {
  for (const KroISpecObject_var& startUp : m_container->ListStartUps()) {
    KroISpecObject_var so = KroISpecObject_var::Adopt(startUp->Instanciate("", nullptr));
    ASSERT_TRUE(so) << startUp->GetName();
    EXPECT_EQ(so->GetLateType(), startUp->GetName());
    EXPECT_EQ(so->CountAttributes(), startUp->CountAttributes());
    KroISpecAttrAccess_var access = so;
    for (const auto& [name, kind] : KindsOf(so))
      EXPECT_FALSE(access->TestAttribute(name.c_str())) << startUp->GetName() << "." << name << " has a value";
  }
}

}  // namespace
