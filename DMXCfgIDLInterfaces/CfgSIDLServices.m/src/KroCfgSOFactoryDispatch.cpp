// The factory's dispatch table, for scripts: a source of its own, since its marshalling code is as
// heavy to compile as the factory itself.
#include "KroCfgSOFactory.h"

KRO_STATIC_DISPATCH_DEFINE(KroCfgSOFactory, KroCfgSOFactory_METHODS)
