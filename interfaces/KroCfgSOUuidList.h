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
  struct Element {
    KroISpecAttrKey* key;  // held by m_keys
    int offset;            // of the uuid in its run's octets; -1 for an attribute that is one element
  };

  // Adds one attribute at the end, with its key and elements: a single element, or a run of uuids.
  bool appendAttribute(KroISpecObject* so, KroISpecAttrAccess* access, const SEQUENCE_octet& octets, bool run);
  // The element at a position of the refreshed cache, or null outside 1 to Size().
  const Element* elementAt(long position) const;

  mutable boolean m_upToDate = 0;
  mutable KroListValKroISpecAttrKey_var m_keys;  // one per attribute
  mutable std::vector<Element> m_elements;
};
