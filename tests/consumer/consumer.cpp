// Creates a configuration context through the installed library and reads its name back.
#include <cstdio>

#include <CfgSIDLServices/KroCfgSOFactory.h>

int main() {
  KroICfgSOContext_var context;
  HRESULT hr = KroCfgSOFactory::createContext(context);
  if (FAILED(hr)) {
    std::fprintf(stderr, "consumer: createContext failed (0x%08X); is KroGraphicPath set?\n", static_cast<unsigned>(hr));
    return 1;
  }
  context->setName("installed");
  KroUnicodeString name;
  context->getName(name);
  std::printf("context name: %s\n", name.ConvertToChar());
  return name == "installed" ? 0 : 1;
}
