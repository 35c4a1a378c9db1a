// Keeps an ordered list of uuids in a "CfgSOUuidList" spec object: one octet attribute per element,
// named "uidElt" followed by the attribute count at the time it was appended. Elements are found by
// position through a cache of the spec object's attribute keys, rebuilt only when it may be stale.
#pragma once

#include "KroCfgSOExport.h"

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
  // Adds the element at the end of the cache, with its key; false when the spec object refuses it.
  bool appendOne(KroISpecObject* so, KroISpecAttrAccess* access, const SEQUENCE_octet& uuid);
  // The key at a position of the refreshed cache, or null outside 1 to the cache's size.
  KroISpecAttrKey* keyAt(long position) const;

  mutable boolean m_upToDate = 0;
  mutable KroListValKroISpecAttrKey_var m_keys;
};
