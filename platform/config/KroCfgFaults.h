// Fault injection into the configuration model, for tests. Not installed.
#pragma once

#include "KroExport.h"

#include <string>
#include <vector>

#include "KroTypes.h"

// Fault injection: makes one model operation, named "Interface::operation" (for example
// "KroICfgInterval::getDateBounds"), return a chosen code until cleared. The first `passFirst` calls
// after Set still run normally. A failing operation leaves its out-parameters untouched. getType and
// getSign, which return no code, return the chosen value instead. Uuids are faulted under
// "KroILinkableObject::GetUuid".
class KroCfgFaults {
 public:
  // Throws std::invalid_argument for a name that is no model operation.
  static void Set(const std::string& operation, HRESULT code, int passFirst = 0);
  static void Clear();
  static void Clear(const std::string& operation);
  // The names that Set accepts.
  static const std::vector<std::string>& Operations();

  // True (with the code) when the operation is to fail now. One test while no fault is set.
  static bool Fails(const char* operation, HRESULT& code) { return s_active != 0 && Lookup(operation, code); }

 private:
  static bool Lookup(const char* operation, HRESULT& code);
  static int s_active;
};
