// Process-level services of the platform: fatal errors, file lookup along a search path, environment.
#pragma once

#include "KroExport.h"

#include <string>

#include "KroTypes.h"

// Prints the message, the source path and the line to standard error, then aborts.
[[noreturn]] void KroFatalError(const char* message, int, int, int, const char* sourcePath, int line);

// The full path of the first directory of pathList (separated by ':' or ';') that holds a regular
// file named fileName; the empty text when none does.
std::string KroFindPath(const char* fileName, const char* pathList);

// Fills *value with a copy of the variable's value (to be released with free), or null when unset.
// S_OK when set, S_FALSE otherwise.
HRESULT KroGetEnvValue(const char* name, char** value);
