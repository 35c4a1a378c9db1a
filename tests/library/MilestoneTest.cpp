// The milestone wrappers: a named date or rank, set piecewise or taken over from a model milestone.
#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

namespace B = KroCfgModelBuilder;

const KroTime kMarch15(2004, 3, 15, 0, 0, 0);

KroICfgSOMilestoneDate_var NewDateMilestone() {
  UseShippedCatalog();
  KroICfgSOMilestoneDate_var milestone;
  EXPECT_EQ(KroCfgSOFactory::createMilestoneDate(milestone), S_OK);
  return milestone;
}

KroICfgSOMilestoneRange_var NewRangeMilestone() {
  UseShippedCatalog();
  KroICfgSOMilestoneRange_var milestone;
  EXPECT_EQ(KroCfgSOFactory::createMilestoneRange(milestone), S_OK);
  return milestone;
}

TEST(MilestoneTest, DateMilestoneKeepsItsDateInAFreshDateObject) {
  KroICfgSOMilestoneDate_var milestone = NewDateMilestone();
  ASSERT_TRUE(milestone);
  KroTime date(77);
  EXPECT_EQ(milestone->getValue(date), E_FAIL);  // no date yet
  EXPECT_EQ(date.Gettime_t(), 0);

  EXPECT_EQ(milestone->setName("M1"), S_OK);
  KroISpecObject_var first, second;
  EXPECT_EQ(milestone->setValue(KroTime(1969, 12, 31, 0, 0, 0)), S_OK);
  KroCfgSOServices::GetSOValue(KroISpecObject_var(milestone), "d", first);
  EXPECT_EQ(milestone->setValue(kMarch15), S_OK);
  KroCfgSOServices::GetSOValue(KroISpecObject_var(milestone), "d", second);
  EXPECT_TRUE(KroICfgSODate_var(second) && !(first == second));

  KroUnicodeString name;
  EXPECT_EQ(milestone->getName(name), S_OK);
  EXPECT_EQ(name, "M1");
  EXPECT_EQ(milestone->getValue(date), S_OK);
  EXPECT_EQ(date, kMarch15);
}

TEST(MilestoneTest, TakesOverModelMilestonesOfItsOwnKindOnly) {
  KroICfgSOMilestoneDate_var dates = NewDateMilestone();
  KroICfgSOMilestoneRange_var ranks = NewRangeMilestone();
  ASSERT_TRUE(dates && ranks);
  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(dates->setMilestone(B::DateMilestone("Launch", kMarch15)), S_OK);
  EXPECT_TRUE(capture.has("[KroCfgSOMilestoneDate::setData] The value tyep is Date as expected."));
  EXPECT_EQ(ranks->setMilestone(B::RangeMilestone("Unit", 12)), S_OK);

  KroUnicodeString name;
  KroTime date;
  int rank = 0;
  dates->getName(name);
  dates->getValue(date);
  EXPECT_EQ(name, "Launch");
  EXPECT_EQ(date, kMarch15);
  ranks->getName(name);
  ranks->getValue(rank);
  EXPECT_EQ(name, "Unit");
  EXPECT_EQ(rank, 12);

  // The other kind of value, or none at all, is refused and leaves the spec object as it was.
  capture.clear();
  EXPECT_EQ(dates->setMilestone(B::RangeMilestone("Wrong", 3)), E_FAIL);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSOMilestone::setMilestone] Milestone name: Wrong",
                                 "[KroCfgSOMilestoneDate::setData] The value type is not Date. Error.",
                                 "[KroCfgSOMilestoneDate::setData] returns 0x80004005",
                                 "[KroCfgSOMilestone::setMilestone] Unable to set the data into the SpecObject.",
                                 "[KroCfgSOMilestone::setMilestone] returns 0x80004005",
                             }));
  EXPECT_EQ(ranks->setMilestone(B::DateMilestone("Wrong", kMarch15)), E_FAIL);
  EXPECT_TRUE(capture.has("[KroCfgSOMilestoneRange::setData] The value type is not Range. Error."));
  EXPECT_EQ(dates->setMilestone(B::Milestone("Valueless", nullptr)), E_FAIL);
  EXPECT_EQ(ranks->setMilestone(B::Milestone("Valueless", nullptr)), E_FAIL);
  dates->getName(name);
  EXPECT_EQ(name, "Launch");
  ranks->getName(name);
  EXPECT_EQ(name, "Unit");
}

TEST(MilestoneTest, NullMilestoneClearsNameAndDateButNotTheRank) {
  KroICfgSOMilestoneDate_var dates = NewDateMilestone();
  KroICfgSOMilestoneRange_var ranks = NewRangeMilestone();
  ASSERT_TRUE(dates && ranks);
  dates->setMilestone(B::DateMilestone("Launch", kMarch15));
  ranks->setMilestone(B::RangeMilestone("Unit", 12));

  TraceCapture capture({"CfgSO"});
  EXPECT_EQ(dates->setMilestone(nullptr), S_FALSE);
  EXPECT_EQ(ranks->setMilestone(nullptr), S_FALSE);
  EXPECT_TRUE(capture.has(
      "[KroCfgSOMilestone::setMilestone] The input Milestone is NULL. Clearing the SpecObject attributes."));
  KroUnicodeString name("x");
  KroTime date;
  int rank = 0;
  EXPECT_EQ(dates->getName(name), S_OK);
  EXPECT_EQ(name, "");
  capture.clear();
  EXPECT_EQ(dates->getValue(date), E_FAIL);
  EXPECT_EQ(date.Gettime_t(), 0);
  EXPECT_TRUE(capture.has("[KroCfgSOMilestoneDate::getValue] The value in the Milestone is not a KroICfgSODate."));
  EXPECT_EQ(ranks->getValue(rank), S_OK);
  EXPECT_EQ(rank, 12);
}

TEST(MilestoneTest, ModelFailuresArePassedOnWithTheirMessages) {
  KroICfgSOMilestoneDate_var milestone = NewDateMilestone();
  ASSERT_TRUE(milestone);
  KroICfgMileStone_var model = B::DateMilestone("Launch", kMarch15);
  TraceCapture capture({"CfgSO"});
  const HRESULT kCode = static_cast<HRESULT>(0x80040123);
  KroCfgFaults::Set("KroICfgMileStone::getName", kCode);
  EXPECT_EQ(milestone->setMilestone(model), kCode);
  KroCfgFaults::Clear();
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSOMilestone::setMilestone] Unable to extract the Milestone name.",
                                 "[KroCfgSOMilestone::setMilestone] returns 0x80040123",
                             }));
  capture.clear();
  KroCfgFaults::Set("KroICfgMileStone::getValue", kCode);
  EXPECT_EQ(milestone->setMilestone(model), kCode);
  KroCfgFaults::Clear();
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSOMilestone::setMilestone] Milestone name: Launch",
                                 "[KroCfgSOMilestone::setMilestone] Unable to extract the Milestone value.",
                                 "[KroCfgSOMilestone::setMilestone] returns 0x80040123",
                             }));
  KroUnicodeString name("x");
  milestone->getName(name);
  EXPECT_EQ(name, "");  // nothing was written
}

}  // namespace
