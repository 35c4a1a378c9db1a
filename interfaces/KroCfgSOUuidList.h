// Keeps an ordered list of uuids in a "CfgSOUuidList" spec object. Append adds one octet attribute per
// element, named "uidElt" followed by the element count at the time it was appended; AppendAll adds
// runs: octet attributes named "uidRun" followed by that count, each holding up to kRunLength uuids
// of 16 bytes back to back, so that a long list costs few attributes. Elements are found by position
// through a cache of the spec object's attribute keys, rebuilt only when it may be stale.
#pragma once

#include "KroCfgSOExport.h"

#include <vector>

#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOUuidList : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOUuidList)
 public:
  KroCfgSOUuidList();
  ~KroCfgSOUuidList() override;

  int Size() const;
  HRESULT Append(const SEQUENCE_octet& uuid);
  HRESULT ElementAt(long position, SEQUENCE_octet& uuid) const;
  HRESULT SetElementAt(long position, const SEQUENCE_octet& uuid);
  void Empty();
  HRESULT AppendAll(const KroList<SEQUENCE_octet>& uuids);
  HRESULT GetAll(KroList<SEQUENCE_octet>& uuids) const;

  // Refreshes the key cache when it is marked obsolete.
  void updateAttrKeyList() const;

 private:
  // Uuids per run attribute: reading or replacing one element copies its run, so runs stay short.
  static constexpr int kRunLength = 256;
  // The attributes in order, each with the positions it holds: one, or a run's uuids.
  struct Segment {
    KroISpecAttrKey* key;  // held by m_keys
    int first;             // zero-based position of its first element
    int count;
    bool run;
  };

  // Adds one attribute at the end, with its key and elements: a single element, or a run of uuids.
  bool appendAttribute(KroISpecObject* so, KroISpecAttrAccess* access, const SEQUENCE_octet& octets, bool run);
  void addSegment(KroISpecAttrKey* key, int count, bool run) const;
  // The segment of a position of the refreshed cache and the uuid's offset in a run's octets; null
  // outside 1 to Size().
  const Segment* segmentAt(long position, std::size_t& offset) const;

  mutable boolean m_upToDate = 0;
  mutable KroListValKroISpecAttrKey_var m_keys;  // one per attribute
  mutable std::vector<Segment> m_segments;
  mutable int m_size = 0;
};
