// An effectivity as plain values, read from any kind of effectivity record (KroCfgEffectivityReader):
// an optional domain and its basic effectivities, each with intervals and an AND-expression.
// Evaluation at a configuration point follows docs/effectivity-queries.md.
#pragma once

#include "KroCfgSOExport.h"

#include <cstdint>
#include <string>
#include <vector>

#include "KroCfgEffectivityPoint.h"
#include "KroTypes.h"

// The record is of a kind that is not an effectivity, a basic effectivity or an expression.
constexpr HRESULT KRO_E_NOT_AN_EFFECTIVITY = static_cast<HRESULT>(0x80040210u);
// A record of an effectivity kind lacks an attribute it needs, holds a nested record of the wrong kind,
// or its expression's lists differ in length.
constexpr HRESULT KRO_E_DAMAGED_EFFECTIVITY = static_cast<HRESULT>(0x80040211u);

class KRO_CFGSO_API KroCfgEffectivityRecord {
 public:
  enum class Kind {
    Effectivity,                 // "CfgSOEffectivity"
    BasicEffectivity,            // "CfgSOBasicEffectivity"
    SpecExpression,              // "CfgSOSpecExpression"
    StreamedDomainEffectivity,   // "StreamerDomainEffectivity"
    StreamedBasicEffectivity,    // "StreamerBasicEffectivity"
    StreamedSpecExpression,      // "StreamerSpecExpression"
    StreamedXEffectivityValues,  // "StreamerXEffectivityValues"
  };

  // Closed at both ends; open has no upper bound (end is then meaningless).
  struct Interval {
    std::int64_t start = 0;
    std::int64_t end = 0;
    bool open = false;
    bool holds(std::int64_t value) const { return start <= value && (open || value <= end); }
  };

  struct Term {
    std::string name;
    int sign = 1;  // negative: the specification must not be chosen; zero counts as positive
  };

  struct Basic {
    std::vector<Interval> dates;  // seconds since 1970-01-01 UTC
    std::vector<Interval> ranks;
    bool hasExpression = false;
    std::vector<Term> terms;
    bool holds(const KroCfgEffectivityPoint& point) const;
    bool expressionHolds(const KroCfgEffectivityPoint& point) const;
    // "A AND NOT B"; empty without an expression, "(no term)" for an expression without terms.
    std::string expressionText() const;
  };

  Kind kind = Kind::Effectivity;
  bool hasDomain = false;  // records without a domain hold in every domain
  std::string domain;
  std::vector<Basic> basics;

  // The 1-based number of the first basic effectivity that holds at the point, 0 when none does or the
  // domain differs.
  int holds(const KroCfgEffectivityPoint& point) const;
  // Expression records carry their expression as a single basic effectivity without intervals.
  bool isExpression() const { return kind == Kind::SpecExpression || kind == Kind::StreamedSpecExpression; }
};
