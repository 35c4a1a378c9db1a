// The names table: size and uniqueness, availability during static initialisation of a client,
// the values that are easy to get wrong, repeated values, and the load-time guard.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "KroCfgSOStrings.h"
#include "KroCfgSOStringsIndex.h"
#include "KroCfgStreamer.h"

namespace {

// Read while this binary's statics are built: the library must have built its constants already.
const KroUnicodeString g_firstAtLoad = KroCfgSOStrings::Catalog_Name;
const std::string g_lastAtLoad = KroCfgSOStrings::CFG_PRODUCT_FREEZE_IS_ERROR_MESSAGE.str();
const KroUnicodeString g_streamerAtLoad = KroCfgStreamer::so_tofrom_de_lst_lst;

TEST(NamesTable, HoldsThreeHundredNinetyTwoUniquelyNamedConstantsInDeclarationOrder) {
  ASSERT_EQ(KroCfgSOStringsCount(), 392);
  std::set<std::string> names;
  for (int i = 0; i < KroCfgSOStringsCount(); ++i) {
    const char* name = KroCfgSOStringsNameAt(i);
    EXPECT_TRUE(names.insert(name).second) << "repeated name " << name;
    EXPECT_FALSE(KroCfgSOStringsValueAt(i).IsEmpty()) << name;
    EXPECT_EQ(KroCfgSOStringsFind(name), &KroCfgSOStringsValueAt(i)) << name;
  }
  EXPECT_STREQ(KroCfgSOStringsNameAt(0), "Catalog_Name");
  EXPECT_EQ(&KroCfgSOStringsValueAt(0), &KroCfgSOStrings::Catalog_Name);
  EXPECT_STREQ(KroCfgSOStringsNameAt(391), "CFG_PRODUCT_FREEZE_IS_ERROR_MESSAGE");
  EXPECT_EQ(&KroCfgSOStringsValueAt(391), &KroCfgSOStrings::CFG_PRODUCT_FREEZE_IS_ERROR_MESSAGE);

  EXPECT_EQ(KroCfgSOStringsFind("NoSuchConstant"), nullptr);
  EXPECT_EQ(KroCfgSOStringsFind(nullptr), nullptr);
  EXPECT_THROW(KroCfgSOStringsNameAt(-1), std::out_of_range);
  EXPECT_THROW(KroCfgSOStringsValueAt(392), std::out_of_range);
}

TEST(NamesTable, ConstantsAreStaticStringMembersOfTheirClass) {
  EXPECT_TRUE((std::is_same_v<decltype(KroCfgSOStrings::Catalog_Name), KroUnicodeString>));
  EXPECT_TRUE((std::is_same_v<decltype(KroCfgSOStrings::CFG_PRODUCT_FREEZE_IS_ERROR_MESSAGE), KroUnicodeString>));
  EXPECT_TRUE((std::is_same_v<decltype(KroCfgStreamer::STARTUP_BO), KroUnicodeString>));
  EXPECT_TRUE((std::is_same_v<decltype(KroCfgStreamer::so_tofrom_de_lst_lst), KroUnicodeString>));
  EXPECT_EQ(KroCfgStreamer::STARTUP_BO, "StreamerBaseObject");
  EXPECT_EQ(KroCfgStreamer::so_tofrom_de_lst_lst, "de_lst_lst");
}

TEST(NamesTable, ConstantsAreBuiltBeforeClientStaticInitialisation) {
  EXPECT_EQ(g_firstAtLoad, "CfgSOCatalog.feat");
  EXPECT_EQ(g_lastAtLoad, "cfg_product_freeze_is_error_message");
  EXPECT_EQ(g_streamerAtLoad, "de_lst_lst");
}

TEST(NamesTable, ValuesEasyToGetWrong) {
  EXPECT_EQ(KroCfgSOStrings::STARTUP_INTERVAL, "CfgSOInterval");
  EXPECT_EQ(KroCfgSOStrings::STARTUP_INTERVAL_DATES, "CfgSOIntervalDates");
  EXPECT_EQ(KroCfgSOStrings::STARTUP_INTERVAL_RANGES, "CfgSOIntervalRanges");
  EXPECT_EQ(KroCfgSOStrings::MILESTONES_RANG, "r");
  EXPECT_EQ(KroCfgSOStrings::DATE_MIN, "I");
  EXPECT_EQ(KroCfgSOStrings::DATE_MONTH, "M");
  EXPECT_EQ(KroCfgSOStrings::STARTUP_UUID_LST, "CfgSOlstUuid");
  EXPECT_EQ(KroCfgSOStrings::CMD_GET_MATRIX, "GetMatrixCommand");
}

TEST(NamesTable, RepeatedValuesAreSeparateConstants) {
  EXPECT_EQ(KroCfgSOStrings::CMD_GET_CH, "CfgGetCH");
  EXPECT_EQ(KroCfgSOStrings::GET_CH_CMD, KroCfgSOStrings::CMD_GET_CH);
  EXPECT_NE(&KroCfgSOStrings::GET_CH_CMD, &KroCfgSOStrings::CMD_GET_CH);
  EXPECT_EQ(KroCfgSOStrings::CATEGORY_NAME, "CatName");
  EXPECT_EQ(KroCfgSOStrings::CAT_NAME, KroCfgSOStrings::CATEGORY_NAME);
  EXPECT_NE(&KroCfgSOStrings::CAT_NAME, &KroCfgSOStrings::CATEGORY_NAME);
}

TEST(NamesTable, SecondInitialisationBuildsNothing) {
  // A rebuild would give the constant its literal again, so change one constant, run the load pass
  // again and see the change survive.
  KroUnicodeString& name = KroCfgSOStrings::CFG_PRODUCT_FREEZE_MSG;
  const KroUnicodeString saved = name;
  name = KroUnicodeString("a value long enough to live outside the string object");
  const char* text = name.ConvertToChar();

  KroCfgSOStringsInitialise();

  EXPECT_EQ(name, "a value long enough to live outside the string object");
  EXPECT_EQ(name.ConvertToChar(), text);
  EXPECT_EQ(KroCfgSOStrings::Catalog_Name, "CfgSOCatalog.feat");
  name = saved;
}

}  // namespace
