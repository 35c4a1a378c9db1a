// Dispatch tables of the configuration model's modifications, contexts, normal values and filters.
#include "KroCfgModel.h"
#include "KroDispatch.h"

KRO_DISPATCH_DEFINE(KroICfgModification, KroICfgModification_METHODS)
KRO_DISPATCH_DEFINE(KroICfgGroupMod, KroICfgGroupMod_METHODS)
KRO_DISPATCH_DEFINE(QuorINamedObject, QuorINamedObject_METHODS)
KRO_DISPATCH_DEFINE(KroICfgContext, KroICfgContext_METHODS)
KRO_DISPATCH_DEFINE(KroICfgNormalValue, KroICfgNormalValue_METHODS)
KRO_DISPATCH_DEFINE(KroICfgFilter, KroICfgFilter_METHODS)
