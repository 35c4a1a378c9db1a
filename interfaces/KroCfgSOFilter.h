// Keeps a configuration filter in a "CfgSOFilter" spec object. The class carries its own names.
#pragma once

#include "KroCfgSOFramework.h"

class KroCfgSOFilter : public KroBaseUnknown {
 public:
  // The late type and startup name of filters.
  static const KroUnicodeString s_st_LATE_TYPE;
};
