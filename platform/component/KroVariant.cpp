#include "KroVariant.h"

const char* KroVarTypeName(KroVarType type) {
  static const char* const names[] = {"EMPTY", "BOOL",    "I4",      "I8",    "R8",   "STRING",
                                      "OCTETS", "TIME", "UNKNOWN", "ARRAY", "BYREF"};
  return type <= KroVT_BYREF ? names[type] : "?";
}

bool KroVariant::GetInteger(std::int64_t& out) const {
  if (const std::int32_t* i = IfInt()) {
    out = *i;
    return true;
  }
  if (const std::int64_t* l = IfLong()) {
    out = *l;
    return true;
  }
  return false;
}
