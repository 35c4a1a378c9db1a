// An ordered, growable list of uuids kept in a spec object, one attribute per element. Positions run
// from 1 to Size().
#pragma once

#include "KroCfgSOExport.h"

#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroICfgSOUuidList);

class KRO_CFGSO_API KroICfgSOUuidList : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSOUuidList)
  // Method names in slot order: the dispatch ids of scripting clients.
  static constexpr const char* kMethodNames[] = {"Size", "Append", "ElementAt", "SetElementAt", "Empty"};
  // The element count.
  virtual int Size() const = 0;
  virtual HRESULT Append(const SEQUENCE_octet& uuid) = 0;
  // E_FAIL for a position outside 1 to Size() or an element without octets.
  virtual HRESULT ElementAt(long position, SEQUENCE_octet& uuid) const = 0;
  // Never adds an element; E_FAIL only for a position outside 1 to Size().
  virtual HRESULT SetElementAt(long position, const SEQUENCE_octet& uuid) = 0;
  // Removes every element.
  virtual void Empty() = 0;
};
