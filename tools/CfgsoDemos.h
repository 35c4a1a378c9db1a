// The parts of `cfgso demo`, one per area of the library. Each prints what it stored and read back
// and returns 0 on success.
#pragma once

int DemoContext();
int DemoDatesAndIntervals();
int DemoEffectivities();
int DemoModificationsAndLists();
int DemoStreamer();
