// Date type of the configuration server's interface: six calendar fields in UTC, month 1-12 and
// day 1-31, in the order the platform's six-integer KroTime constructor takes them.
#pragma once

#include "KroExport.h"

#include "CORBA.h"

namespace DMX_OrbixTypes {

struct KRO_PLATFORM_API DateCorba {
  CORBA::Long year = 0;
  CORBA::Long month = 0;
  CORBA::Long day = 0;
  CORBA::Long hour = 0;
  CORBA::Long minute = 0;
  CORBA::Long second = 0;

  friend bool operator==(const DateCorba&, const DateCorba&) = default;
};

}  // namespace DMX_OrbixTypes
