#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

#include "KroTime.h"

namespace {

struct Civil {
  int year, month, day;
  time_t seconds;
};

TEST(TimeTest, CalendarFieldsAndSecondCountsAgree) {
  const Civil cases[] = {
      {1970, 1, 1, 0},
      {1969, 12, 31, -86400},
      {1900, 3, 1, -2203891200},
      {2004, 2, 29, 1078012800},
      {2004, 3, 15, 1079308800},
      {2000, 12, 31, 978220800},
      {2100, 3, 1, 4107542400},
  };
  for (const Civil& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day));
    KroTime t(c.year, c.month, c.day, 0, 0, 0);
    EXPECT_EQ(t.Gettime_t(), c.seconds);
    KroTime back;
    back.Settime_t(c.seconds);
    EXPECT_EQ(back.GetYear(), c.year);
    EXPECT_EQ(back.GetMonth(), c.month);
    EXPECT_EQ(back.GetDay(), c.day);
  }
}

TEST(TimeTest, TimeOfDayAndOverflowingFieldsNormalise) {
  KroTime t(1969, 12, 31, 23, 59, 58);
  EXPECT_EQ(t.Gettime_t(), -2);
  EXPECT_EQ(t.GetHour(), 23);
  EXPECT_EQ(t.GetMinute(), 59);
  EXPECT_EQ(t.GetSecond(), 58);

  EXPECT_EQ(KroTime(2003, 13, 15, 0, 0, 0), KroTime(2004, 1, 15, 0, 0, 0));
  EXPECT_EQ(KroTime(2004, 0, 1, 0, 0, 0), KroTime(2003, 12, 1, 0, 0, 0));
  EXPECT_EQ(KroTime(2004, -12, 1, 0, 0, 0), KroTime(2002, 12, 1, 0, 0, 0));
  EXPECT_EQ(KroTime(2003, 2, 29, 0, 0, 0), KroTime(2003, 3, 1, 0, 0, 0));
  EXPECT_EQ(KroTime(2004, 3, 15, 25, 0, 0), KroTime(2004, 3, 16, 1, 0, 0));
  EXPECT_LT(KroTime(2004, 3, 15, 0, 0, 0), KroTime(2004, 3, 15, 0, 0, 1));
}

// Fields at the ends of int used to overflow int arithmetic; they are now exact 64-bit carries.
TEST(TimeTest, ExtremeFieldsCarryExactlyWithoutOverflow) {
  constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
  // Month INT_MIN of 2000: (INT_MIN - 1) months after January 2000 is April of -178954971.
  EXPECT_EQ(KroTime(2000, kMin, 1, 0, 0, 0), KroTime(-178954971, 4, 1, 0, 0, 0));
  EXPECT_EQ(KroTime(2000, kMax, 1, 0, 0, 0), KroTime(2000 + 178956970, 7, 1, 0, 0, 0));
  EXPECT_EQ(KroTime(1970, 1, kMin, 0, 0, 0).Gettime_t(), (static_cast<long long>(kMin) - 1) * 86400LL);
  EXPECT_EQ(KroTime(1970, 1, 1, kMax, kMax, kMax).Gettime_t(), kMax * 3661LL);
  EXPECT_EQ(KroTime(1970, 1, 1, kMin, kMin, kMin).Gettime_t(), kMin * 3661LL);
  // Beyond what gmtime handles the fields read as year 1900, January, day 0.
  const KroTime far(kMax, kMax, kMax, kMax, kMax, kMax);
  EXPECT_GT(far.Gettime_t(), 0);
  EXPECT_EQ(far.GetYear(), 1900);
  EXPECT_EQ(far.GetMonth(), 1);
  EXPECT_EQ(far.GetDay(), 0);
  EXPECT_EQ(far.ConvertToString("%Y - %B - %d"), "1900 - January - 00");
  EXPECT_LT(KroTime(kMin, kMin, kMin, kMin, kMin, kMin).Gettime_t(), 0);
}

TEST(TimeTest, ConvertToStringUsesFixedEnglishNames) {
  KroTime t(2004, 3, 15, 7, 5, 9);  // a Monday
  EXPECT_EQ(t.ConvertToString("%Y - %B - %d", 0), "2004 - March - 15");
  EXPECT_EQ(t.ConvertToString("%b %A %a %H:%M:%S"), "Mar Monday Mon 07:05:09");
  EXPECT_EQ(KroTime(1969, 12, 31, 0, 0, 0).ConvertToString("%A %B"), "Wednesday December");
  EXPECT_EQ(t.ConvertToString("100%% %"), "100% %");
  EXPECT_EQ(t.ConvertToString(""), "");
}

TEST(TimeTest, IndependentOfTimeZone) {
  const char* saved = std::getenv("TZ");
  std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();

  KroTime t(2004, 3, 15, 23, 30, 0);
  EXPECT_EQ(t.Gettime_t(), 1079308800 + 23 * 3600 + 30 * 60);
  EXPECT_EQ(t.GetDay(), 15);
  EXPECT_EQ(t.GetHour(), 23);
  EXPECT_EQ(t.ConvertToString("%d %H:%M %s"), "15 23:30 1079393400");

  if (previous)
    setenv("TZ", previous->c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace
