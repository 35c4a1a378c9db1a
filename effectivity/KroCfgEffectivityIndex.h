// An index over many effectivities, so that a query need not walk them all. Built on demand: add the
// records (or build from a list of spec objects), call build(), then query as often as needed; after
// the records change, build a new index. Answers are those of KroCfgEffectivityRecord::holds and
// KroCfgEffectivityQuery::Select (see docs/effectivity-queries.md).
//
// Basic effectivities are kept as compact entries (start and end in seconds, an expression id, the
// record and number a hit reports), grouped by domain and by the power of two of the date
// interval's length, each group sorted by start. A date t can only lie in an interval of length below
// 2^k that starts in [t - 2^k + 1, t]: one binary search per length class finds every candidate, and
// at least about half of them hold. Open intervals form a class of their own, where every start up to
// t holds; basic effectivities without a date interval are checked one by one. Expressions are
// interned, so the expressions shared by many records are evaluated once per query.
#pragma once

#include "KroCfgSOExport.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "KroCfgEffectivityPoint.h"
#include "KroCfgEffectivityQuery.h"
#include "KroCfgEffectivityRecord.h"

class KRO_CFGSO_API KroCfgEffectivityIndex {
 public:
  // One basic effectivity that holds: the id its record was added under, and its 1-based number.
  struct Hit {
    std::uint32_t record = 0;
    std::uint32_t basic = 0;
  };
  static constexpr std::uint32_t kNoDomain = 0xFFFFFFFFu;

  // ---- Adding ----
  // Ids for domains and expressions, for callers that add many basic effectivities sharing them.
  std::uint32_t internDomain(std::string_view domain);
  std::uint32_t internExpression(const std::vector<KroCfgEffectivityRecord::Term>& terms);
  // One basic effectivity of the record with that id; domain kNoDomain holds in every domain.
  void addBasic(std::uint32_t record, std::uint32_t number, std::uint32_t domain,
                const KroCfgEffectivityRecord::Basic& basic, std::uint32_t expression);
  // The fast path for a basic effectivity with one date interval and nothing else but its expression.
  void addDated(std::uint32_t record, std::uint32_t number, std::uint32_t domain,
                const KroCfgEffectivityRecord::Interval& dates, std::uint32_t expression);
  // Every basic effectivity of the record.
  void add(std::uint32_t record, const KroCfgEffectivityRecord& read);
  // Sorts what was added; queries see only what was added before the last build.
  void build();

  // Reads every record that Select would consider and builds. Damaged records are skipped and
  // listed; the result is then KRO_E_DAMAGED_EFFECTIVITY, else S_OK.
  HRESULT build(const KroListValKroISpecObject_var& roots, std::vector<KroCfgEffectivityQuery::Problem>* problems = nullptr);
  HRESULT build(const KroIContainer_var& container, std::vector<KroCfgEffectivityQuery::Problem>* problems = nullptr);

  // ---- Querying ----
  // Every basic effectivity that holds at the point, in no particular order.
  void query(const KroCfgEffectivityPoint& point, std::vector<Hit>& hits) const;
  // After building from spec objects: what KroCfgEffectivityQuery::Select gives, in the same order.
  void select(const KroCfgEffectivityPoint& point, std::vector<KroCfgEffectivityQuery::Match>& matches) const;

  std::size_t size() const { return m_entries.size(); }
  // Bytes held by the index's own tables (entries, basic effectivities, groups, expressions, names),
  // not the spec-object handles kept for select().
  std::size_t memoryBytes() const;

 private:
  // The hit's record and number sit in the entry: a query reads its candidates in a row, where a
  // side table cost a cache miss per hit.
  struct Entry {
    std::int64_t start;
    std::int64_t end;
    std::uint32_t expression;  // top bit: the basic effectivity has more to check (kMore)
    std::uint32_t basic;       // the basic effectivity's number in the order added, for m_more
    std::uint32_t record;
    std::uint32_t number;
  };
  struct Staged {
    std::uint32_t bucket;
    Entry entry;
  };
  struct Term {
    std::uint32_t name;
    std::int32_t sign;
  };
  struct More {
    std::uint32_t basic;
    KroCfgEffectivityRecord::Basic intervals;  // every interval but the indexed date interval
  };
  struct RecordRef {
    int object;
    KroISpecObject_var so;
    std::string lateType;
    bool expression;
  };

  static constexpr std::uint32_t kMore = 0x80000000u;
  // Per domain group: 65 classes of closed intervals (by bit width of end - start), open intervals,
  // basic effectivities without a date interval.
  static constexpr std::uint32_t kOpen = 65, kUndated = 66, kBuckets = 67;

  // Group 0 holds the domainless, group d + 1 domain d.
  static std::uint32_t group(std::uint32_t domain) { return domain == kNoDomain ? 0 : domain + 1; }
  // Within a group, entries are split by expression when there are few enough expressions: a query
  // then skips every entry whose expression fails without looking at it.
  std::uint32_t partitionsFor(std::size_t groups) const;
  void stage(std::uint32_t bucket, const Entry& entry);
  bool expressionHolds(std::uint32_t expression, const std::vector<std::uint32_t>& chosen) const;
  void scan(std::uint32_t group, const KroCfgEffectivityPoint& point, const std::vector<std::uint32_t>& chosen,
            const std::vector<char>& holding, std::vector<Hit>& hits) const;

  std::vector<Entry> m_entries;
  // The start of every kFenceStride-th entry: a search for a class's first candidate runs over these,
  // a few cache lines, and then steps through at most a stride of entries.
  static constexpr std::uint32_t kFenceStride = 16;
  std::vector<std::int64_t> m_fences;
  std::uint32_t m_basicCount = 0;
  // (group * m_partitions + expression partition) * kBuckets + bucket -> first entry, one past the end last
  std::vector<std::uint32_t> m_offsets;
  std::uint32_t m_partitions = 1;
  std::vector<std::uint64_t> m_closedClasses;  // per group and partition: bit k when class k < 64 has entries
  std::vector<More> m_more;              // sorted by basic
  std::vector<Staged> m_staged;
  std::unordered_map<std::string, std::uint32_t> m_domains;
  std::unordered_map<std::string, std::uint32_t> m_expressionIds;
  std::vector<std::uint32_t> m_expressionStart{0, 0};  // expression 0: no term
  std::vector<Term> m_terms;
  std::unordered_map<std::string, std::uint32_t> m_names;
  std::vector<RecordRef> m_records;
};
