// The interface through which clients reach a spec object of late type CfgSOUuidList. Its operations
// come with the wrapper class that implements it.
#pragma once

#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOUuidList);

class KroICfgSOUuidList : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOUuidList)
};
