// A configuration point: the domain, date, rank and chosen specifications at which effectivities are
// evaluated (see docs/effectivity-queries.md for the rules).
#pragma once

#include "KroCfgSOExport.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "KroModelerInterfaces.h"
#include "KroTime.h"

class KRO_CFGSO_API KroCfgEffectivityPoint {
 public:
  KroCfgEffectivityPoint() = default;
  explicit KroCfgEffectivityPoint(std::string domain) : m_domain(std::move(domain)) {}

  const std::string& domain() const { return m_domain; }
  void setDomain(std::string domain) { m_domain = std::move(domain); }

  // Seconds since 1970-01-01 UTC, none without a date. A point without a date satisfies no date interval.
  std::optional<std::int64_t> date() const { return m_date; }
  void setDate(std::int64_t seconds) { m_date = seconds; }
  void setDate(const KroTime& time) { m_date = static_cast<std::int64_t>(time.Gettime_t()); }
  void clearDate() { m_date.reset(); }

  // None without a rank. A point without a rank satisfies no range interval.
  std::optional<std::int64_t> rank() const { return m_rank; }
  void setRank(std::int64_t rank) { m_rank = rank; }
  void clearRank() { m_rank.reset(); }

  // Specification names compare exactly (case and spaces count).
  void choose(std::string name) { m_chosen.insert(std::move(name)); }
  void setChosen(const std::vector<std::string>& names) { m_chosen = {names.begin(), names.end()}; }
  bool isChosen(std::string_view name) const { return m_chosen.find(name) != m_chosen.end(); }
  const std::set<std::string, std::less<>>& chosen() const { return m_chosen; }

  // In 150% mode expressions are not consulted.
  bool mode150() const { return m_mode150; }
  void setMode150(bool on) { m_mode150 = on; }

  // Takes the domain and the 150% flag of a recorded filter (late type "CfgSOFilter"); the date, rank
  // and chosen names stay. E_INVALIDARG for null, KRO_E_NOT_AN_EFFECTIVITY for another kind of record,
  // KRO_E_DAMAGED_EFFECTIVITY when an attribute is missing; the point is unchanged on failure.
  HRESULT setFromFilter(const KroISpecObject_var& filter);

  // "YYYY-MM-DD" as midnight UTC, in seconds; false (seconds unchanged) for anything else, a
  // day past the month's end included.
  static bool ParseDate(std::string_view text, std::int64_t& seconds);

 private:
  std::string m_domain;
  std::optional<std::int64_t> m_date;
  std::optional<std::int64_t> m_rank;
  std::set<std::string, std::less<>> m_chosen;
  bool m_mode150 = false;
};
