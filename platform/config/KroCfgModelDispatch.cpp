// Dispatch tables of the configuration model's interfaces, built once from their method lists: the
// manager, intervals, values and milestones here; specifications and effectivities, modifications and
// filters in the two other dispatch sources (three sources, so that none is slow to compile).
#include "KroCfgModel.h"
#include "KroDispatch.h"

KRO_DISPATCH_DEFINE(KroICfgManager, KroICfgManager_METHODS)
KRO_DISPATCH_DEFINE(KroICfgInterval, KroICfgInterval_METHODS)
KRO_DISPATCH_DEFINE(KroICfgValue, KroICfgValue_METHODS)
KRO_DISPATCH_DEFINE(KroICfgMileStone, KroICfgMileStone_METHODS)
