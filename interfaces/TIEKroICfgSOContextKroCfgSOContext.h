// Presents KroCfgSOContext through KroICfgSOContext.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOContext.h"
#include "KroICfgSOContext.h"

class KRO_CFGSO_API TIEKroICfgSOContextKroCfgSOContext : public KroTie<KroICfgSOContext, KroCfgSOContext> {
 public:
  using KroTie::KroTie;
  HRESULT setName(const KroUnicodeString& v) const override { return Forward([&](KroCfgSOContext& o) { return o.setName(v); }); }
  HRESULT getName(KroUnicodeString& v) const override { return Forward([&](KroCfgSOContext& o) { return o.getName(v); }); }
  HRESULT setType(const KroUnicodeString& v) override { return Forward([&](KroCfgSOContext& o) { return o.setType(v); }); }
  HRESULT getType(KroUnicodeString& v) const override { return Forward([&](KroCfgSOContext& o) { return o.getType(v); }); }
  HRESULT setInfo(const KroUnicodeString& v) override { return Forward([&](KroCfgSOContext& o) { return o.setInfo(v); }); }
  HRESULT getInfo(KroUnicodeString& v) override { return Forward([&](KroCfgSOContext& o) { return o.getInfo(v); }); }
  HRESULT setUuid(const SEQUENCE_octet& v) const override { return Forward([&](KroCfgSOContext& o) { return o.setUuid(v); }); }
  HRESULT getUuid(SEQUENCE_octet& v) const override { return Forward([&](KroCfgSOContext& o) { return o.getUuid(v); }); }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOContextKroCfgSOContext(KroBaseUnknown* implementation, KroBaseUnknown* second);
