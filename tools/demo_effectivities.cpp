// cfgso demo: Effectivities.
#include <cstdio>

#include "CfgsoDemos.h"

int DemoEffectivities() {
  std::printf("(Effectivities: not built yet)\n");
  return 0;
}
