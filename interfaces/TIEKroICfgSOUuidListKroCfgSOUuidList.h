// Presents KroCfgSOUuidList through KroICfgSOUuidList.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOUuidList.h"
#include "KroICfgSOUuidList.h"

class KRO_CFGSO_API TIEKroICfgSOUuidListKroCfgSOUuidList : public KroTie<KroICfgSOUuidList, KroCfgSOUuidList> {
  using Impl = KroCfgSOUuidList;

 public:
  using KroTie::KroTie;
  int Size() const override { return Forward([&](Impl& o) { return o.Size(); }); }
  HRESULT Append(const SEQUENCE_octet& v) override { return Forward([&](Impl& o) { return o.Append(v); }); }
  HRESULT ElementAt(long p, SEQUENCE_octet& v) const override {
    return Forward([&](Impl& o) { return o.ElementAt(p, v); });
  }
  HRESULT SetElementAt(long p, const SEQUENCE_octet& v) override {
    return Forward([&](Impl& o) { return o.SetElementAt(p, v); });
  }
  void Empty() override { Forward([&](Impl& o) { o.Empty(); }); }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOUuidListKroCfgSOUuidList(KroBaseUnknown* implementation, KroBaseUnknown* second);
