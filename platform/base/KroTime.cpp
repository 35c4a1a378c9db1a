#include "KroTime.h"

#include <array>
#include <cstdio>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm); exact for dates
// before 1970 and independent of the process's time zone, unlike mktime.
long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

KroTime::KroTime(int year, int month, int day, int hour, int minute, int second) {
  // Every field is widened before any arithmetic: with 64 bits the extreme int fields cannot overflow
  // (the largest magnitude reached is about 7e16 seconds). The month is brought into 1..12 first so
  // that DaysFromCivil sees a valid month; days, hours and the rest carry over through the count.
  long long y = year;
  long long m = static_cast<long long>(month) - 1;
  y += m >= 0 ? m / 12 : (m - 11) / 12;
  m = ((m % 12) + 12) % 12 + 1;
  const long long days = DaysFromCivil(y, m, 1) + (static_cast<long long>(day) - 1);
  m_seconds = static_cast<time_t>(days * 86400LL + static_cast<long long>(hour) * 3600LL +
                                  static_cast<long long>(minute) * 60LL + static_cast<long long>(second));
}

std::tm KroTime::fields() const {
  std::tm tm{};
  time_t t = m_seconds;
  // A year beyond what gmtime represents leaves every field 0 (1900, January, day 0).
  if (!gmtime_r(&t, &tm)) tm = std::tm{};
  return tm;
}

int KroTime::GetYear() const { return fields().tm_year + 1900; }
int KroTime::GetMonth() const { return fields().tm_mon + 1; }
int KroTime::GetDay() const { return fields().tm_mday; }
int KroTime::GetHour() const { return fields().tm_hour; }
int KroTime::GetMinute() const { return fields().tm_min; }
int KroTime::GetSecond() const { return fields().tm_sec; }

KroUnicodeString KroTime::ConvertToString(const char* format, int /*mode*/) const {
  if (!format || !*format) return KroUnicodeString();
  std::tm tm = fields();
  // %B and %A must not follow the machine's locale: the trace texts are fixed English.
  static const std::array<const char*, 12> months = {"January", "February", "March",     "April",
                                                     "May",     "June",     "July",      "August",
                                                     "September", "October", "November", "December"};
  static const std::array<const char*, 7> days = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
  std::string out;
  char buf[128];
  for (const char* p = format; *p; ++p) {
    if (*p != '%' || !p[1]) {
      out += *p;
      continue;
    }
    ++p;
    switch (*p) {
      case 'B': out += months[static_cast<std::size_t>(tm.tm_mon)]; break;
      case 'b': out.append(months[static_cast<std::size_t>(tm.tm_mon)], 3); break;
      case 'A': out += days[static_cast<std::size_t>(tm.tm_wday)]; break;
      case 'a': out.append(days[static_cast<std::size_t>(tm.tm_wday)], 3); break;
      // strftime computes %s with mktime, i.e. in the local time zone.
      case 's': out += std::to_string(static_cast<long long>(m_seconds)); break;
      default: {
        const char spec[3] = {'%', *p, '\0'};
        std::size_t n = std::strftime(buf, sizeof buf, spec, &tm);
        out.append(buf, n);
      }
    }
  }
  return KroUnicodeString(std::move(out));
}
