// The library's frame: the framework name every extension class belongs to.
#include "KroCfgSOFramework.h"

const char* const KroCfgSOFramework::Name = "DMXCfgIDLInterfaces";
