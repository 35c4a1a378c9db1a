// cfgso demo: DatesAndIntervals.
#include <cstdio>

#include "CfgsoDemos.h"

int DemoDatesAndIntervals() {
  std::printf("(DatesAndIntervals: not built yet)\n");
  return 0;
}
