#include "DMX_ConfigServices.h"

DMX_OrbixTypes::DateCorba DMX_ConfigServices::ToDateCorba(const KroTime& time) {
  return DMX_OrbixTypes::DateCorba{time.GetYear(), time.GetMonth(),  time.GetDay(),
                                   time.GetHour(), time.GetMinute(), time.GetSecond()};
}
