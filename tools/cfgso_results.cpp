
#include "cfgso_results.h"

#include <cstdio>

#include "KroCfgEffectivityRecord.h"
#include "KroDispatch.h"
#include "cfgso_server.h"

std::string ResultText(HRESULT hr) {
  char value[16];
  std::snprintf(value, sizeof value, "0x%08X", static_cast<unsigned>(hr));
  std::string name;
  // The server's client names its own codes: they are not the platform's.
  if (const char* server = ServerResultName(hr)) name = server;
  else if (const char* engine = KroCfgEffectivityResultName(hr)) name = engine;
  else name = KroResultName(hr);
  // The platform writes a code it cannot name as its value, which follows anyway.
  if (name == value) name = SUCCEEDED(hr) ? "success" : "failure";
  return name + " (" + value + ")";
}
