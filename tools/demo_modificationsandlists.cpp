// cfgso demo: ModificationsAndLists.
#include <cstdio>

#include "CfgsoDemos.h"

int DemoModificationsAndLists() {
  std::printf("(ModificationsAndLists: not built yet)\n");
  return 0;
}
