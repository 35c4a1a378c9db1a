// Presents KroCfgSOSpecExpression through KroICfgSOSpecExpression.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOSpecExpression.h"
#include "KroICfgSOSpecExpression.h"

class KRO_CFGSO_API TIEKroICfgSOSpecExpressionKroCfgSOSpecExpression : public KroTie<KroICfgSOSpecExpression, KroCfgSOSpecExpression> {
  KRO_TIE_FORWARDERS(KroICfgSOSpecExpression_METHODS)
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOSpecExpressionKroCfgSOSpecExpression(KroBaseUnknown* implementation,
                                                                       KroBaseUnknown* second);
