// Presents KroCfgSOSpecExpression through KroICfgSOSpecExpression.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOSpecExpression.h"
#include "KroICfgSOSpecExpression.h"
#include "KroTie.h"

class TIEKroICfgSOSpecExpressionKroCfgSOSpecExpression : public KroTie<KroICfgSOSpecExpression, KroCfgSOSpecExpression> {
  KRO_TIE_FORWARDERS(KroICfgSOSpecExpression_METHODS)
};

KroBaseUnknown* CreateTIEKroICfgSOSpecExpressionKroCfgSOSpecExpression(KroBaseUnknown* implementation,
                                                                       KroBaseUnknown* second);
