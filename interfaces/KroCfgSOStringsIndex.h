// Index over the names table, in declaration order, for tools and tests that walk every constant.
#pragma once

#include "KroCfgSOExport.h"

#include "KroUnicodeString.h"

// Number of constants in KroCfgSOStrings.
KRO_CFGSO_API int KroCfgSOStringsCount();
// Member name and value of the i-th constant (0-based); std::out_of_range outside 0 to Count() - 1.
KRO_CFGSO_API const char* KroCfgSOStringsNameAt(int i);
KRO_CFGSO_API const KroUnicodeString& KroCfgSOStringsValueAt(int i);
// The constant whose member name is `name`, or null when there is none.
KRO_CFGSO_API const KroUnicodeString* KroCfgSOStringsFind(const char* name);
// Runs the load-time pass again: a constant is built only when its guard counter has just become 1,
// so after the library's own load this builds nothing.
KRO_CFGSO_API void KroCfgSOStringsInitialise();
