// Reads effectivity records into plain values (KroCfgEffectivityRecord): the wrappers' effectivity,
// basic effectivity and expression records, and the streamer's domain effectivity, basic effectivity,
// expression and extended effectivity value trees. How each kind reads is in
// docs/effectivity-queries.md.
#pragma once

#include "KroCfgSOExport.h"

#include <string_view>
#include <vector>

#include "KroCfgEffectivityRecord.h"
#include "KroModelerInterfaces.h"

class KRO_CFGSO_API KroCfgEffectivityReader {
 public:
  KroCfgEffectivityReader() = delete;

  // S_OK with the record; E_INVALIDARG for null, KRO_E_NOT_AN_EFFECTIVITY for a record of another
  // kind, KRO_E_DAMAGED_EFFECTIVITY for a damaged one. On failure out is left unspecified.
  static HRESULT Read(const KroISpecObject_var& so, KroCfgEffectivityRecord& out);

  // Whether the spec object's late type is one of the seven kinds Read takes.
  static bool IsRecord(const KroISpecObject_var& so);

  // A streamed expression's text: terms joined by the word AND, each a specification name, negated by
  // a leading NOT (both words in any case). Blank text has no term. KRO_E_DAMAGED_EFFECTIVITY (terms
  // empty) when a term has no name: a lone NOT, a leading, trailing or doubled AND.
  static HRESULT ParseExpression(std::string_view text, std::vector<KroCfgEffectivityRecord::Term>& terms);
  // The same, for callers that hold text already checked: malformed text gives no term.
  static std::vector<KroCfgEffectivityRecord::Term> ParseExpression(std::string_view text);
};
