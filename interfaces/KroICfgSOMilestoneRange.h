// The interface through which clients reach a spec object of late type CfgSOMilestoneRange. Its operations
// come with the wrapper class that implements it.
#pragma once

#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOMilestoneRange);

class KroICfgSOMilestoneRange : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOMilestoneRange)
};
