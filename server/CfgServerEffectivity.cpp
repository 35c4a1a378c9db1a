#include "CfgServerEffectivity.h"

#include <cstring>
#include <utility>

#include "KroCfgEffectivityReader.h"
#include "KroTime.h"

namespace {

using Record = KroCfgEffectivityRecord;
using namespace CfgServer;

std::int64_t Seconds(const DMX_OrbixTypes::DateCorba& d) {
  return static_cast<std::int64_t>(KroTime(d.year, d.month, d.day, d.hour, d.minute, d.second).Gettime_t());
}


// Text that does not parse (a lone NOT, a dangling AND) makes the record damaged: it never holds.
void Expression(const NlsSpecExpression& se, Record& out, Record::Basic& basic, bool& damaged) {
  if (FAILED(KroCfgEffectivityReader::ParseExpression(se.expression.text.in(), basic.terms))) damaged = true;
  basic.hasExpression = !basic.terms.empty();
  // A basic effectivity standing alone takes its expression's domain, when it names one.
  if (*se.domain.text.in() && !out.hasDomain) {
    out.hasDomain = true;
    out.domain = se.domain.text.in();
  }
}

void Basic(const NlsBasicEffectivity& be, Record& out, Record::Basic& basic, bool& damaged) {
  const std::int64_t start = Seconds(be.date_start), end = Seconds(be.date_end);
  // Both fields are always there: a pair of zeros means no such interval.
  if (start != 0 || end != 0) basic.dates.push_back(Record::Interval::Dates(start, end));
  if (be.range_start != 0 || be.range_end != 0) basic.ranks.push_back(Record::Interval::Ranks(be.range_start, be.range_end));
  Expression(be.se, out, basic, damaged);
}

Record DomainEffectivity(const NlsDomainEffectivity& de, bool& damaged) {
  Record out;
  out.kind = Record::Kind::StreamedDomainEffectivity;
  out.hasDomain = true;
  out.domain = de.domain.text.in();
  for (CORBA::ULong i = 0; i < de.be_lst.length(); ++i) {
    out.basics.emplace_back();
    Basic(de.be_lst[i], out, out.basics.back(), damaged);
  }
  return out;
}

Record BasicEffectivity(const NlsBasicEffectivity& be, bool& damaged) {
  Record out;
  out.kind = Record::Kind::StreamedBasicEffectivity;
  out.basics.emplace_back();
  Basic(be, out, out.basics.back(), damaged);
  return out;
}

Record SpecExpression(const NlsSpecExpression& se, bool& damaged) {
  Record out;
  out.kind = Record::Kind::StreamedSpecExpression;
  out.basics.emplace_back();
  Expression(se, out, out.basics.back(), damaged);
  return out;
}

// One alternative of normal values is one basic effectivity: all its intervals and terms must hold.
Record XEffectivityValues(const DMX_Config::NlsXEffectivityValues& xev, bool& damaged) {
  Record out;
  out.kind = Record::Kind::StreamedXEffectivityValues;
  out.hasDomain = true;
  out.domain = xev.domain.text.in();
  for (CORBA::ULong a = 0; a < xev.ev.length(); ++a) {
    Record::Basic& basic = out.basics.emplace_back();
    for (CORBA::ULong v = 0; v < xev.ev[a].length(); ++v) {
      const DMX_Config::NlsNormalValue& nv = xev.ev[a][v];
      if (nv.optionalRange.length() == 1)
        basic.ranks.push_back(Record::Interval::Ranks(nv.optionalRange[0].start, nv.optionalRange[0].end));
      if (nv.optionalDate.length() == 1)
        basic.dates.push_back(Record::Interval::Dates(Seconds(nv.optionalDate[0].start), Seconds(nv.optionalDate[0].end)));
      for (CORBA::ULong s = 0; s < nv.optionalSpec.length(); ++s) {
        std::vector<Record::Term> terms;
        if (FAILED(KroCfgEffectivityReader::ParseExpression(nv.optionalSpec[s].text.in(), terms))) damaged = true;
        basic.hasExpression = basic.hasExpression || !terms.empty();
        basic.terms.insert(basic.terms.end(), terms.begin(), terms.end());
      }
    }
  }
  return out;
}

void Modification(const NlsModification& mod, CfgServerEffectivity::Found& out, bool& damaged) {
  for (CORBA::ULong i = 0; i < mod.xev_lst.length(); ++i)
    out.emplace_back(static_cast<std::uint32_t>(out.size() + 1), XEffectivityValues(mod.xev_lst[i], damaged));
}

// In the order the streamer writes them: the modifications' values, then the group's own.
void GroupMod(const GroupModRecord& g, CfgServerEffectivity::Found& out, bool& damaged) {
  for (CORBA::ULong i = 0; i < g.group.mod_lst.length(); ++i) Modification(g.group.mod_lst[i], out, damaged);
  for (CORBA::ULong i = 0; i < g.xev.length(); ++i)
    out.emplace_back(static_cast<std::uint32_t>(out.size() + 1), XEffectivityValues(g.xev[i], damaged));
}

template <class S, class F>
void Elements(const S& seq, CfgServerEffectivity::Found& out, F read, bool& damaged) {
  for (CORBA::ULong i = 0; i < seq.length(); ++i) out.emplace_back(i + 1, read(seq[i], damaged));
}

// Sorts a query's keys by least significant digits first, 8 bits a pass, skipping the digits where all
// keys agree (a record number's high octets, a basic's): a few hundred keys in a few passes of plain
// counting, where a comparison sort spent more than the index's query mispredicting branches.
void SortKeys(std::vector<std::uint64_t>& keys, std::vector<std::uint64_t>& other) {
  if (keys.size() < 2) return;
  std::array<std::array<std::uint32_t, 256>, 8> counts{};
  for (std::uint64_t key : keys)
    for (int digit = 0; digit < 8; ++digit) ++counts[digit][(key >> (8 * digit)) & 0xFF];
  other.resize(keys.size());
  for (int digit = 0; digit < 8; ++digit) {
    std::array<std::uint32_t, 256>& count = counts[digit];
    if (count[(keys[0] >> (8 * digit)) & 0xFF] == keys.size()) continue;  // one value: nothing moves
    std::uint32_t start = 0;
    for (std::uint32_t& c : count) start += std::exchange(c, start);
    for (std::uint64_t key : keys) other[count[(key >> (8 * digit)) & 0xFF]++] = key;
    keys.swap(other);
  }
}

constexpr std::size_t kKeptHits = std::size_t{1} << 16;

const std::vector<Kind> kEffectivityKinds = {
    K_XEFFECTIVITY_VALUES, K_XEFFECTIVITY_VALUES_SEQ, K_MODIFICATION, K_MODIFICATION_SEQ, K_GROUP_MOD, K_GROUP_MOD_SEQ,
    K_SPEC_EXPRESSION, K_BASIC_EFFECTIVITY, K_BASIC_EFFECTIVITY_SEQ, K_DOMAIN_EFFECTIVITY, K_DOMAIN_EFFECTIVITY_SEQ};

}  // namespace

bool CfgServerEffectivity::Read(const Content& body, Found& out) {
  out.clear();
  bool damaged = false;
  switch (body._d()) {
    case K_XEFFECTIVITY_VALUES: out.emplace_back(0, XEffectivityValues(body.xev(), damaged)); break;
    case K_XEFFECTIVITY_VALUES_SEQ: Elements(body.xevs(), out, XEffectivityValues, damaged); break;
    case K_MODIFICATION: Modification(body.mod(), out, damaged); break;
    case K_MODIFICATION_SEQ:
      for (CORBA::ULong i = 0; i < body.mods().length(); ++i) Modification(body.mods()[i], out, damaged);
      break;
    case K_GROUP_MOD: GroupMod(body.gmod(), out, damaged); break;
    case K_GROUP_MOD_SEQ:
      for (CORBA::ULong i = 0; i < body.gmods().length(); ++i) GroupMod(body.gmods()[i], out, damaged);
      break;
    case K_SPEC_EXPRESSION: out.emplace_back(0, SpecExpression(body.se(), damaged)); break;
    case K_BASIC_EFFECTIVITY: out.emplace_back(0, BasicEffectivity(body.be(), damaged)); break;
    case K_BASIC_EFFECTIVITY_SEQ: Elements(body.bes(), out, BasicEffectivity, damaged); break;
    case K_DOMAIN_EFFECTIVITY: out.emplace_back(0, DomainEffectivity(body.de(), damaged)); break;
    case K_DOMAIN_EFFECTIVITY_SEQ: Elements(body.des(), out, DomainEffectivity, damaged); break;
    default: break;
  }
  if (damaged) out.clear();
  return !damaged;
}

std::shared_ptr<const CfgServerEffectivity::Snapshot> CfgServerEffectivity::Current(CfgServerStore& store) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const std::uint64_t generation = store.Generation();
  if (m_built && generation == m_generation) return m_snapshot;
  auto snapshot = std::make_shared<Snapshot>();
  Found found;
  store.Scan(kEffectivityKinds, [&](std::uint64_t seq, const Uuid& id, const Content& body) {
    if (!Read(body, found)) {
      std::memcpy(snapshot->damaged.emplace_back().data(), id.get_buffer(), 16);
      return;
    }
    if (found.empty()) return;
    Stored& stored = snapshot->stored.emplace_back(Stored{seq, {}, body._d()});
    std::memcpy(stored.id.data(), id.get_buffer(), 16);
    const auto at = static_cast<std::uint32_t>(snapshot->stored.size() - 1);
    for (auto& [element, record] : found) {
      snapshot->index.add(static_cast<std::uint32_t>(snapshot->items.size()), record);
      snapshot->items.push_back({at, element | (record.isExpression() ? kExpression : 0)});
    }
  });
  snapshot->index.build();
  m_snapshot = std::move(snapshot);
  m_generation = generation;
  m_built = true;
  return m_snapshot;
}

Hits* CfgServerEffectivity::Query(CfgServerStore& store, const Point& at) {
  std::shared_ptr<const Snapshot> snapshot = Current(store);
  KroCfgEffectivityPoint point(at.domain.in());
  if (at.hasDate) point.setDate(at.date);
  if (at.hasRank) point.setRank(at.rank);
  for (CORBA::ULong i = 0; i < at.chosen.length(); ++i) point.choose(at.chosen[i].in());
  point.setMode150(at.mode150);

  // Kept from one query to the next on each of the ORB's threads, so that a query of hundreds of hits
  // does not grow them anew; a rare answer of millions gives its memory back (below).
  thread_local std::vector<KroCfgEffectivityIndex::Hit> hits;
  thread_local std::vector<std::uint64_t> keys, other;
  snapshot->index.query(point, hits);
  // The first basic effectivity of each record, records in their order; record and basic sort as one
  // integer.
  keys.resize(hits.size());
  for (std::size_t i = 0; i < hits.size(); ++i) keys[i] = std::uint64_t{hits[i].record} << 32 | hits[i].basic;
  SortKeys(keys, other);
  // The items are scattered over a table of one per element; their cache misses overlap when all are
  // asked for first.
  for (std::uint64_t key : keys) __builtin_prefetch(&snapshot->items[key >> 32]);
  Hits_var out = new Hits;
  const auto count = static_cast<CORBA::ULong>(keys.size());
  out->ids.length(16 * count);
  out->seqs.length(count);
  out->kinds.length(count);
  out->elements.length(count);
  out->basics.length(count);
  CORBA::ULong n = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::uint32_t record = static_cast<std::uint32_t>(keys[i] >> 32);
    if (i > 0 && record == keys[i - 1] >> 32) continue;
    const Item& item = snapshot->items[record];
    const Stored& stored = snapshot->stored[item.stored];
    std::memcpy(out->ids.get_buffer() + 16 * n, stored.id.data(), 16);
    out->seqs[n] = stored.seq;
    out->kinds[n] = stored.kind;
    out->elements[n] = item.element & ~kExpression;
    out->basics[n] = item.element & kExpression ? 0 : static_cast<std::uint32_t>(keys[i]);
    ++n;
  }
  out->ids.length(16 * n);
  out->seqs.length(n);
  out->kinds.length(n);
  out->elements.length(n);
  out->basics.length(n);
  if (hits.capacity() > kKeptHits) {
    std::vector<KroCfgEffectivityIndex::Hit>().swap(hits);
    std::vector<std::uint64_t>().swap(keys);
    std::vector<std::uint64_t>().swap(other);
  }
  out->damaged.length(static_cast<CORBA::ULong>(16 * snapshot->damaged.size()));
  for (std::size_t i = 0; i < snapshot->damaged.size(); ++i)
    std::memcpy(out->damaged.get_buffer() + 16 * i, snapshot->damaged[i].data(), 16);
  return out._retn();
}
