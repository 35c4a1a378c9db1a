#include "KroCfgEffectivityPoint.h"

#include <charconv>

#include "KroCfgEffectivityRecord.h"
#include "KroCfgSOFilter.h"
#include "KroCfgSOServices.h"

HRESULT KroCfgEffectivityPoint::setFromFilter(const KroISpecObject_var& filter) {
  if (!filter) return E_INVALIDARG;
  if (filter->GetLateType() != KroCfgSOFilter::s_st_LATE_TYPE) return KRO_E_NOT_AN_EFFECTIVITY;
  KroUnicodeString domain;
  boolean mode150 = 0;
  if (FAILED(KroCfgSOServices::GetStringValue(filter, KroCfgSOFilter::s_st_DOMAIN, domain)) ||
      FAILED(KroCfgSOServices::GetBooleanValue(filter, KroCfgSOFilter::s_st_MODE_150, mode150)))
    return KRO_E_DAMAGED_EFFECTIVITY;
  m_domain = domain.str();
  m_mode150 = mode150 != 0;
  return S_OK;
}

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool Digits(std::string_view text, int& value) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

}  // namespace

bool KroCfgEffectivityPoint::ParseDate(std::string_view text, std::int64_t& seconds) {
  int year = 0, month = 0, day = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !Digits(text.substr(0, 4), year) ||
      !Digits(text.substr(5, 2), month) || !Digits(text.substr(8, 2), day))
    return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return false;
  seconds = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400;
  return true;
}
