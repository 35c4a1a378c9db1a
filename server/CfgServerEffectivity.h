// The server's answer to "which records hold at this point": the stored effectivity records read as
// the library's effectivity reader reads their streamed form, in the library's index. The index is
// built on the first query after the database changed (through this server or another one) and
// kept for the queries that follow.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "CfgServer.hh"
#include "CfgServerStore.h"
#include "KroCfgEffectivityIndex.h"
#include "KroCfgEffectivityRecord.h"

class CfgServerEffectivity {
 public:
  CfgServer::Hits* Query(CfgServerStore& store, const CfgServer::Point& point);

  // A record's effectivities, each as the reader reads the streamed tree of the same structure, with
  // its 1-based element number (0 for the record itself). False, with nothing found, for a record
  // whose expression text does not parse: it is damaged and holds nowhere.
  using Found = std::vector<std::pair<std::uint32_t, KroCfgEffectivityRecord>>;
  static bool Read(const CfgServer::Content& body, Found& out);

 private:
  // A stored record that holds effectivities.
  struct Stored {
    std::uint64_t seq;
    std::array<CORBA::Octet, 16> id;
    CfgServer::Kind kind;
  };
  // One effectivity of a stored record, under the id the index knows it by: 8 octets, so that the
  // table of a million stays small in the caches a query shares with the index.
  struct Item {
    std::uint32_t stored;   // in Snapshot::stored
    std::uint32_t element;  // the top bit: it is an expression, whose basic is not told
  };
  static constexpr std::uint32_t kExpression = 0x80000000u;
  struct Snapshot {
    KroCfgEffectivityIndex index;
    std::vector<Stored> stored;
    std::vector<Item> items;
    std::vector<std::array<CORBA::Octet, 16>> damaged;  // stored records Read refused
  };
  std::shared_ptr<const Snapshot> Current(CfgServerStore& store);

  std::mutex m_mutex;
  bool m_built = false;
  std::uint64_t m_generation = 0;
  std::shared_ptr<const Snapshot> m_snapshot;
};
