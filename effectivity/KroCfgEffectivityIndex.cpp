#include "KroCfgEffectivityIndex.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "KroCfgEffectivityReader.h"

namespace {

using Record = KroCfgEffectivityRecord;

// Up to this many expressions, a query evaluates them all first; past it, each on its hits.
constexpr std::size_t kEvaluateAllUpTo = 256;

template <class T>
std::size_t Bytes(const std::vector<T>& v) {
  return v.capacity() * sizeof(T);
}

template <class Map>
std::size_t MapBytes(const Map& map) {
  std::size_t bytes = map.bucket_count() * sizeof(void*);
  for (const auto& [key, value] : map) bytes += sizeof(key) + sizeof(value) + key.capacity() + 2 * sizeof(void*);
  return bytes;
}

}  // namespace

std::uint32_t KroCfgEffectivityIndex::internDomain(std::string_view domain) {
  auto [it, added] = m_domains.try_emplace(std::string(domain), static_cast<std::uint32_t>(m_domains.size()));
  return it->second;
}

std::uint32_t KroCfgEffectivityIndex::internExpression(const std::vector<KroCfgEffectivityRecord::Term>& terms) {
  if (terms.empty()) return 0;
  std::string key;
  for (const auto& term : terms) {
    key += term.sign < 0 ? '-' : '+';
    key += term.name;
    key += '\0';
  }
  auto [it, added] = m_expressionIds.try_emplace(key, static_cast<std::uint32_t>(m_expressionStart.size() - 1));
  if (added) {
    for (const auto& term : terms) {
      auto name = m_names.try_emplace(term.name, static_cast<std::uint32_t>(m_names.size())).first;
      m_terms.push_back({name->second, term.sign < 0 ? -1 : 1});
    }
    m_expressionStart.push_back(static_cast<std::uint32_t>(m_terms.size()));
  }
  return it->second;
}

void KroCfgEffectivityIndex::stage(std::uint32_t bucket, const Entry& entry) { m_staged.push_back({bucket, entry}); }

void KroCfgEffectivityIndex::addDated(std::uint32_t record, std::uint32_t number, std::uint32_t domain,
                                      const KroCfgEffectivityRecord::Interval& dates, std::uint32_t expression) {
  if (dates.empty()) return;
  const std::uint32_t basic = m_basicCount++;
  const std::uint32_t bucket =
      !dates.end ? kOpen
                 : static_cast<std::uint32_t>(std::bit_width(static_cast<std::uint64_t>(*dates.end) -
                                                             static_cast<std::uint64_t>(dates.start)));
  // An open entry's end is never read: its class says it has none.
  stage(group(domain) * kBuckets + bucket, {dates.start, dates.end.value_or(0), expression, basic, record, number});
}

void KroCfgEffectivityIndex::addBasic(std::uint32_t record, std::uint32_t number, std::uint32_t domain,
                                      const KroCfgEffectivityRecord::Basic& basic, std::uint32_t expression) {
  for (const auto& dates : basic.dates)
    if (dates.empty()) return;
  for (const auto& ranks : basic.ranks)
    if (ranks.empty()) return;
  const bool more = basic.dates.size() > 1 || !basic.ranks.empty();
  const std::uint32_t id = expression | (more ? kMore : 0);
  if (basic.dates.empty()) {
    stage(group(domain) * kBuckets + kUndated, {0, 0, id, m_basicCount++, record, number});
  } else {
    addDated(record, number, domain, basic.dates.front(), id);
  }
  if (more) {
    More rest{m_basicCount - 1, {}};
    rest.intervals.dates.assign(basic.dates.begin() + (basic.dates.empty() ? 0 : 1), basic.dates.end());
    rest.intervals.ranks = basic.ranks;
    m_more.push_back(std::move(rest));
  }
}

void KroCfgEffectivityIndex::add(std::uint32_t record, const KroCfgEffectivityRecord& read) {
  const std::uint32_t domain = read.hasDomain ? internDomain(read.domain) : kNoDomain;
  for (std::size_t i = 0; i < read.basics.size(); ++i)
    addBasic(record, static_cast<std::uint32_t>(i + 1), domain, read.basics[i], internExpression(read.basics[i].terms));
}

std::uint32_t KroCfgEffectivityIndex::partitionsFor(std::size_t groups) const {
  const std::size_t expressions = m_expressionStart.size() - 1;
  // Only while every expression is evaluated up front, and the bucket table stays small beside the
  // entries.
  if (expressions <= 1 || expressions > kEvaluateAllUpTo) return 1;
  const std::size_t buckets = groups * expressions * kBuckets;
  return buckets <= std::max<std::size_t>(m_staged.size() + m_entries.size(), std::size_t{1} << 16)
             ? static_cast<std::uint32_t>(expressions)
             : 1;
}

void KroCfgEffectivityIndex::build() {
  // Earlier entries are staged again, so that a build after more additions keeps them; staged
  // buckets count without partitions.
  for (std::uint32_t b = 0; b + 1 < m_offsets.size(); ++b) {
    const std::uint32_t group = b / kBuckets / m_partitions, bucket = b % kBuckets;
    for (std::uint32_t i = m_offsets[b]; i < m_offsets[b + 1]; ++i) m_staged.push_back({group * kBuckets + bucket, m_entries[i]});
  }
  const std::size_t groups = m_domains.size() + 1;
  m_partitions = 1;
  m_partitions = partitionsFor(groups);
  auto bucketOf = [this](const Staged& s) {
    const std::uint32_t part = m_partitions > 1 ? (s.entry.expression & ~kMore) : 0;
    return (s.bucket / kBuckets * m_partitions + part) * kBuckets + s.bucket % kBuckets;
  };
  const std::size_t buckets = groups * m_partitions * kBuckets;
  m_offsets.assign(buckets + 1, 0);
  for (const Staged& s : m_staged) ++m_offsets[bucketOf(s) + 1];
  for (std::size_t b = 0; b < buckets; ++b) m_offsets[b + 1] += m_offsets[b];
  std::vector<std::uint32_t> next(m_offsets.begin(), m_offsets.end() - 1);
  m_entries.resize(m_staged.size());
  for (const Staged& s : m_staged) m_entries[next[bucketOf(s)]++] = s.entry;
  std::vector<Staged>().swap(m_staged);
  m_closedClasses.assign(groups * m_partitions, 0);
  for (std::size_t b = 0; b < buckets; ++b) {
    std::sort(m_entries.begin() + m_offsets[b], m_entries.begin() + m_offsets[b + 1],
              [](const Entry& x, const Entry& y) { return x.start < y.start; });
    if (b % kBuckets < 64 && m_offsets[b] != m_offsets[b + 1]) m_closedClasses[b / kBuckets] |= std::uint64_t{1} << (b % kBuckets);
  }
  std::sort(m_more.begin(), m_more.end(), [](const More& x, const More& y) { return x.basic < y.basic; });
  m_fences.resize((m_entries.size() + kFenceStride - 1) / kFenceStride);
  for (std::size_t i = 0; i < m_fences.size(); ++i) m_fences[i] = m_entries[i * kFenceStride].start;
  m_fences.shrink_to_fit();
  m_entries.shrink_to_fit();
}

HRESULT KroCfgEffectivityIndex::build(const KroListValKroISpecObject_var& roots,
                                      std::vector<KroCfgEffectivityQuery::Problem>* problems) {
  if (problems) problems->clear();
  HRESULT result = S_OK;
  for (auto& [object, so, damage] : KroCfgEffectivityQuery::Records(roots)) {
    KroCfgEffectivityRecord read;
    if (HRESULT hr = FAILED(damage) ? damage : KroCfgEffectivityReader::Read(so, read); FAILED(hr)) {
      result = KRO_E_DAMAGED_EFFECTIVITY;
      if (problems) problems->push_back({object, so->GetLateType().str(), hr});
      continue;
    }
    add(static_cast<std::uint32_t>(m_records.size()), read);
    m_records.push_back({object, so, so->GetLateType().str(), read.isExpression()});
  }
  build();
  return result;
}

HRESULT KroCfgEffectivityIndex::build(const KroIContainer_var& container,
                                      std::vector<KroCfgEffectivityQuery::Problem>* problems) {
  if (!container) {
    if (problems) problems->clear();
    return E_INVALIDARG;
  }
  return build(container->ListObjects(), problems);
}

bool KroCfgEffectivityIndex::expressionHolds(std::uint32_t expression, const std::vector<std::uint32_t>& chosen) const {
  for (std::uint32_t t = m_expressionStart[expression]; t < m_expressionStart[expression + 1]; ++t)
    if (!Record::Term::Holds(m_terms[t].sign, std::binary_search(chosen.begin(), chosen.end(), m_terms[t].name)))
      return false;
  return true;
}

void KroCfgEffectivityIndex::scan(std::uint32_t g, const KroCfgEffectivityPoint& point,
                                  const std::vector<std::uint32_t>& chosen, const std::vector<char>& holding,
                                  std::vector<Hit>& hits) const {
  const bool consulted = Record::ConsultsExpressions(point);
  auto accept = [&](const Entry& e) {
    const std::uint32_t expression = e.expression & ~kMore;
    if (consulted && !(holding.empty() ? expressionHolds(expression, chosen) : holding[expression] != 0)) return;
    if (e.expression & kMore) {
      auto more = std::lower_bound(m_more.begin(), m_more.end(), e.basic,
                                   [](const More& m, std::uint32_t basic) { return m.basic < basic; });
      if (more == m_more.end() || more->basic != e.basic || !more->intervals.intervalsHold(point)) return;
    }
    hits.push_back({e.record, e.number});
  };
  const Entry* entries = m_entries.data();
  const std::optional<std::int64_t> date = point.date();
  for (std::uint32_t part = 0; part < m_partitions; ++part) {
    // A partition holds one expression: when it fails, none of its entries can hold.
    if (m_partitions > 1 && consulted && !holding[part]) continue;
    const std::uint32_t base = (g * m_partitions + part) * kBuckets;
    if (date) {
      const std::int64_t t = *date;
      auto search = [&](std::uint32_t k) {
        const std::uint32_t begin = m_offsets[base + k], end = m_offsets[base + k + 1];
        // Lengths in class k are below 2^k: only starts in [t - 2^k + 1, t] can reach t.
        std::int64_t low = std::numeric_limits<std::int64_t>::min();
        if (k < 63 && __builtin_sub_overflow(t, (std::int64_t{1} << k) - 1, &low)) low = std::numeric_limits<std::int64_t>::min();
        // The fences inside the bucket; the entry under the last fence below low starts below it too.
        const std::int64_t* first = m_fences.data() + (begin + kFenceStride - 1) / kFenceStride;
        const std::int64_t* fence = std::lower_bound(first, m_fences.data() + (end + kFenceStride - 1) / kFenceStride, low);
        const Entry* e = entries + (fence != first ? (fence - m_fences.data() - 1) * kFenceStride + 1 : begin);
        const Entry* last = entries + end;
        while (e != last && e->start < low) ++e;
        // Every start from here up to t is a candidate and is read anyway: walking to the end of
        // them costs less than a second search.
        for (; e != last && e->start <= t; ++e)
          if (Record::Interval{e->start, e->end}.holds(t)) accept(*e);  // the interval's own rule decides
      };
      // The classes below 64 that have entries, from the partition's mask; class 64 (lengths of 2^63
      // and more) by its offsets.
      for (std::uint64_t classes = m_closedClasses[g * m_partitions + part]; classes != 0; classes &= classes - 1)
        search(static_cast<std::uint32_t>(std::countr_zero(classes)));
      if (m_offsets[base + 64] != m_offsets[base + 65]) search(64);
      const Entry* last = entries + m_offsets[base + kOpen + 1];
      for (const Entry* e = entries + m_offsets[base + kOpen]; e != last && e->start <= t; ++e) accept(*e);
    }
    for (std::uint32_t i = m_offsets[base + kUndated]; i < m_offsets[base + kUndated + 1]; ++i) accept(entries[i]);
  }
}

void KroCfgEffectivityIndex::query(const KroCfgEffectivityPoint& point, std::vector<Hit>& hits) const {
  hits.clear();
  if (m_offsets.empty()) return;
  std::vector<std::uint32_t> chosen;
  for (const std::string& name : point.chosen())
    if (auto it = m_names.find(name); it != m_names.end()) chosen.push_back(it->second);
  std::sort(chosen.begin(), chosen.end());
  std::vector<char> holding;
  const std::size_t expressions = m_expressionStart.size() - 1;
  if (Record::ConsultsExpressions(point) && expressions <= kEvaluateAllUpTo) {
    holding.resize(expressions);
    for (std::uint32_t x = 0; x < expressions; ++x) holding[x] = expressionHolds(x, chosen);
  }
  const std::size_t groups = (m_offsets.size() - 1) / kBuckets / m_partitions;
  scan(0, point, chosen, holding, hits);
  if (auto it = m_domains.find(point.domain()); it != m_domains.end() && group(it->second) < groups)
    scan(group(it->second), point, chosen, holding, hits);
}

void KroCfgEffectivityIndex::select(const KroCfgEffectivityPoint& point,
                                    std::vector<KroCfgEffectivityQuery::Match>& matches) const {
  matches.clear();
  std::vector<Hit> hits;
  query(point, hits);
  // The first basic effectivity of each record, records in their order.
  std::sort(hits.begin(), hits.end(),
            [](const Hit& x, const Hit& y) { return x.record != y.record ? x.record < y.record : x.basic < y.basic; });
  for (std::size_t i = 0; i < hits.size(); ++i) {
    if (i > 0 && hits[i].record == hits[i - 1].record) continue;
    if (hits[i].record >= m_records.size()) continue;  // added by hand, not from spec objects
    const RecordRef& r = m_records[hits[i].record];
    matches.push_back({r.object, r.so, r.lateType, r.expression ? 0 : static_cast<int>(hits[i].basic)});
  }
}

std::size_t KroCfgEffectivityIndex::memoryBytes() const {
  std::size_t more = Bytes(m_more);
  for (const More& m : m_more)
    more += m.intervals.dates.capacity() * sizeof(KroCfgEffectivityRecord::Interval) +
            m.intervals.ranks.capacity() * sizeof(KroCfgEffectivityRecord::Interval);
  std::size_t records = Bytes(m_records);
  for (const RecordRef& r : m_records)
    if (r.lateType.capacity() > 15) records += r.lateType.capacity() + 1;  // beyond the string's own buffer
  return sizeof(*this) + Bytes(m_entries) + Bytes(m_fences) + Bytes(m_offsets) + more + Bytes(m_staged) +
         Bytes(m_closedClasses) + records +
         Bytes(m_expressionStart) + Bytes(m_terms) + MapBytes(m_domains) + MapBytes(m_expressionIds) + MapBytes(m_names);
}
