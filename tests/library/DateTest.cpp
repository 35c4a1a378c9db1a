// The date wrapper: a time kept as its second count, through the factory and KroICfgSODate.
#include "KroCfgSOFactory.h"
#include "KroCfgSOServices.h"
#include "LibraryTestSupport.h"

namespace {

KroICfgSODate_var NewDate() {
  UseShippedCatalog();
  KroICfgSODate_var date;
  EXPECT_EQ(KroCfgSOFactory::createDate(date), S_OK);
  return date;
}

TEST(DateTest, KeepsExactSecondCountsBothSidesOf1970) {
  KroICfgSODate_var date = NewDate();
  ASSERT_TRUE(date);
  KroTime time(99);
  EXPECT_EQ(date->getKroTime(time), S_OK);  // never written: the unset integer, 0
  EXPECT_EQ(time.Gettime_t(), 0);

  for (const KroTime& given : {KroTime(2004, 3, 15, 10, 20, 30), KroTime(1969, 7, 20, 20, 17, 40),
                               KroTime(1901, 12, 14, 0, 0, 0), KroTime(2038, 1, 19, 3, 14, 7)}) {
    EXPECT_EQ(date->setKroTime(given), S_OK);
    KroTime back;
    EXPECT_EQ(date->getKroTime(back), S_OK);
    EXPECT_EQ(back.Gettime_t(), given.Gettime_t()) << given.ConvertToString("%Y-%m-%d %H:%M:%S");
    int stored = 0;
    KroCfgSOServices::GetIntegerValue(KroISpecObject_var(date), "S", stored);
    EXPECT_EQ(stored, given.Gettime_t());
  }
}

TEST(DateTest, TracesTheCountAndFallsBackToTheEpoch) {
  KroICfgSODate_var date = NewDate();
  ASSERT_TRUE(date);
  TraceCapture capture({"CfgSO"});
  date->setKroTime(KroTime(2004, 3, 15, 0, 0, 0));
  KroTime time;
  date->getKroTime(time);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSODate::setKroTime] Input date: 2004 - March - 15",
                                 "[KroCfgSODate::setKroTime] Setting time_t: 1079308800",
                                 "[KroCfgSODate::setKroTime] returns 0x00000000",
                                 "[KroCfgSODate::getKroTime] Setting time_t: 1079308800 - 1079308800",
                                 "[KroCfgSODate::getKroTime] Returned date: 2004 - March - 15",
                                 "[KroCfgSODate::getKroTime] returns 0x00000000",
                             }));

  // A date spec object without its "S" attribute: the read fails and the time is the epoch.
  KroIContainer_var container;
  ASSERT_EQ(KroCfgSOFactory::getContainer(container), S_OK);
  KroISpecObject_var startup = KroISpecObject_var::Adopt(container->FindStartUpByName("DateTestBare"));
  if (!startup)
    startup = KroISpecObject_var::Adopt(CreateStartUp("DateTestBare", "CfgSODate", "KroISpecObject", container, "", nullptr));
  KroICfgSODate_var bare = KroISpecObject_var::Adopt(startup->Instanciate("", nullptr));
  ASSERT_TRUE(bare);
  capture.clear();
  time = KroTime(12345);
  EXPECT_EQ(bare->getKroTime(time), E_FAIL);
  EXPECT_EQ(time.Gettime_t(), 0);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "[KroCfgSODate::getKroTime] Setting time_t: 0 - 0",
                                 "[KroCfgSODate::getKroTime] Returned date: 1970 - January - 01",
                                 "[KroCfgSODate::getKroTime] returns 0x80004005",
                             }));
  EXPECT_EQ(bare->setKroTime(KroTime(1)), E_FAIL);
}

}  // namespace
