// Conversions between the platform's KroTime and the server's date.
#pragma once

#include "KroExport.h"

#include "DMX_OrbixTypes.h"
#include "KroTime.h"

class DMX_ConfigServices {
 public:
  DMX_ConfigServices() = delete;

  // The time's calendar fields in UTC. The way back is KroTime(year, month, day, hour, minute, second).
  static DMX_OrbixTypes::DateCorba ToDateCorba(const KroTime& time);
};
