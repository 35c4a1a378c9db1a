// Result codes as cfgso prints them.
#pragma once

#include <string>

#include "KroTypes.h"

// A result code as its name and value, "E_FAIL (0x80004005)": the platform's names, and the
// effectivity engine's for its own codes; "failure" or "success" for a code without a name.
std::string ResultText(HRESULT hr);
