// An effectivity as plain values, read from any kind of effectivity record (KroCfgEffectivityReader):
// an optional domain and its basic effectivities, each with intervals and an AND-expression.
// Evaluation at a configuration point follows docs/effectivity-queries.md.
#pragma once

#include "KroCfgSOExport.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "KroCfgEffectivityPoint.h"
#include "KroTypes.h"

// The record is of a kind that is not an effectivity, a basic effectivity or an expression.
constexpr HRESULT KRO_E_NOT_AN_EFFECTIVITY = static_cast<HRESULT>(0x80040210u);
// A record of an effectivity kind lacks an attribute it needs, holds a nested record of the wrong kind,
// or its expression's lists differ in length.
constexpr HRESULT KRO_E_DAMAGED_EFFECTIVITY = static_cast<HRESULT>(0x80040211u);
// "KRO_E_NOT_AN_EFFECTIVITY" or "KRO_E_DAMAGED_EFFECTIVITY"; null for every other code, which the
// platform's KroResultName names.
KRO_CFGSO_API const char* KroCfgEffectivityResultName(HRESULT hr);

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

  // Closed at both ends; without an end it has no upper bound (open).
  struct Interval {
    std::int64_t start = 0;
    std::optional<std::int64_t> end;
    bool holds(std::int64_t value) const { return start <= value && (!end || value <= *end); }
    // An end before the start: the interval holds no value.
    bool empty() const { return end && *end < start; }
    // Stored dates carry no open flag: an end at or before the epoch leaves the interval open.
    static Interval Dates(std::int64_t start, std::int64_t end) {
      return {start, end <= 0 ? std::nullopt : std::optional<std::int64_t>(end)};
    }
    // Stored ranks carry no open flag either: a negative end leaves the interval open.
    static Interval Ranks(std::int64_t start, std::int64_t end) {
      return {start, end < 0 ? std::nullopt : std::optional<std::int64_t>(end)};
    }
  };

  struct Term {
    std::string name;
    int sign = 1;  // negative: the specification must not be chosen; zero counts as positive
    // A term holds when its specification is chosen exactly when its sign is positive.
    static bool Holds(int sign, bool chosen) { return chosen != (sign < 0); }
  };

  // In 150% mode expressions are not consulted.
  static bool ConsultsExpressions(const KroCfgEffectivityPoint& point) { return !point.mode150(); }

  struct Basic {
    std::vector<Interval> dates;  // seconds since 1970-01-01 UTC
    std::vector<Interval> ranks;
    bool hasExpression = false;
    std::vector<Term> terms;
    bool holds(const KroCfgEffectivityPoint& point) const { return intervalsHold(point) && expressionHolds(point); }
    // Every date and rank interval holds; a point without a date (rank) satisfies no date (rank) interval.
    bool intervalsHold(const KroCfgEffectivityPoint& point) const;
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
