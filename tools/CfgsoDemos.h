// The parts of `cfgso demo`, one per area of the library. Each prints what it stored and read back
// and returns 0 on success.
#pragma once

#include <string>

#include "KroTypes.h"

// A result code as its name and value, "E_FAIL (0x80004005)".
std::string ResultText(HRESULT hr);

int DemoContext();
int DemoDatesAndIntervals();
int DemoEffectivities();
int DemoModificationsAndLists();
int DemoStreamer();
