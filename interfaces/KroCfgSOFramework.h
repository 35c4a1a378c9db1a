// Shared declarations of the library's extension classes.
#pragma once

#include "KroDmxTrace.h"
#include "KroSpecModeler.h"
#include "KroTie.h"

struct KroCfgSOFramework {
  // The framework every extension class of the library belongs to.
  static const char* const Name;
};
