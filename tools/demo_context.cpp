// cfgso demo: a configuration context.

#include "demo_context.h"

#include <cstdio>

#include "KroCfgSOFactory.h"
#include "KroCfgUuid.h"
#include "cfgso_results.h"

int DemoContext() {
  KroICfgSOContext_var context;
  HRESULT hr = KroCfgSOFactory::createContext(context);
  if (FAILED(hr)) {
    std::fprintf(stderr, "cfgso demo: cannot create a context (%s); is CfgSOCatalog.feat along KroGraphicPath?\n",
                 ResultText(hr).c_str());
    return 1;
  }
  KroCfgUuid uuid = KroCfgUuid::Generate();
  context->setName("Assembly line A");
  context->setType("production");
  context->setInfo("context made by cfgso demo");
  context->setUuid(uuid.octets());

  KroUnicodeString name, type, info;
  SEQUENCE_octet octets;
  context->getName(name);
  context->getType(type);
  context->getInfo(info);
  hr = context->getUuid(octets);
  std::printf("Context (spec object of late type %s)\n", KroISpecObject_var(context)->GetLateType().ConvertToChar());
  std::printf("  name: %s\n  type: %s\n  info: %s\n  uuid: %s\n", name.ConvertToChar(), type.ConvertToChar(),
              info.ConvertToChar(), KroCfgUuid(octets).ToString().c_str());
  return SUCCEEDED(hr) ? 0 : 1;
}
