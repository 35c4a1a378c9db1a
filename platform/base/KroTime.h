// The platform date and time: a second count since 1970-01-01 UTC. All calendar fields are in UTC, so
// results never depend on the machine's time zone.
#pragma once

#include "KroExport.h"

#include <ctime>

#include "KroUnicodeString.h"

class KRO_PLATFORM_API KroTime {
 public:
  KroTime() = default;
  explicit KroTime(time_t seconds) : m_seconds(seconds) {}
  // Calendar fields as an IDL date carries them: month 1-12, day 1-31, in UTC. Out-of-range fields
  // carry over the way the C library normalises them: month 13 is January of the next year, month 0
  // December of the year before, day 0 the last day of the month before, hour 24 midnight of the next
  // day, negative values count back. Any six ints give a defined result, computed exactly in 64 bits
  // (never an overflow). A result beyond the years gmtime handles reads back through the field
  // getters and ConvertToString as year 1900, January, day 0, 00:00:00.
  KroTime(int year, int month, int day, int hour, int minute, int second);

  time_t Gettime_t() const { return m_seconds; }
  void Settime_t(time_t seconds) { m_seconds = seconds; }

  int GetYear() const;
  int GetMonth() const;   // 1-12
  int GetDay() const;     // 1-31
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;

  // strftime conversions in the C locale ("%Y - %B - %d" gives "2004 - March - 15"). The second argument
  // is kept for callers that pass a mode; only 0 is defined.
  KroUnicodeString ConvertToString(const char* format, int mode = 0) const;

  friend bool operator==(const KroTime& a, const KroTime& b) { return a.m_seconds == b.m_seconds; }
  friend auto operator<=>(const KroTime& a, const KroTime& b) { return a.m_seconds <=> b.m_seconds; }

 private:
  std::tm fields() const;
  time_t m_seconds = 0;
};
