// Presents KroCfgSOVariabilitySpace through KroICfgSOVariabilitySpace.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgSOVariabilitySpace.h"
#include "KroICfgSOVariabilitySpace.h"

class KRO_CFGSO_API TIEKroICfgSOVariabilitySpaceKroCfgSOVariabilitySpace
    : public KroTie<KroICfgSOVariabilitySpace, KroCfgSOVariabilitySpace> {
  using Impl = KroCfgSOVariabilitySpace;

 public:
  using KroTie::KroTie;
  HRESULT setName(const KroUnicodeString& v) override { return Forward([&](Impl& o) { return o.setName(v); }); }
  HRESULT getName(KroUnicodeString& v) const override { return Forward([&](Impl& o) { return o.getName(v); }); }
  HRESULT setUuid(const SEQUENCE_octet& v) override { return Forward([&](Impl& o) { return o.setUuid(v); }); }
  HRESULT getUuid(SEQUENCE_octet& v) const override { return Forward([&](Impl& o) { return o.getUuid(v); }); }
  HRESULT setCOUuid(const SEQUENCE_octet& v) override { return Forward([&](Impl& o) { return o.setCOUuid(v); }); }
  HRESULT getCOUuid(SEQUENCE_octet& v) const override { return Forward([&](Impl& o) { return o.getCOUuid(v); }); }
  HRESULT setCODesc(const KroUnicodeString& v) override { return Forward([&](Impl& o) { return o.setCODesc(v); }); }
  HRESULT getCODesc(KroUnicodeString& v) const override { return Forward([&](Impl& o) { return o.getCODesc(v); }); }
  HRESULT setCVUuid(const SEQUENCE_octet& v) override { return Forward([&](Impl& o) { return o.setCVUuid(v); }); }
  HRESULT getCVUuid(SEQUENCE_octet& v) const override { return Forward([&](Impl& o) { return o.getCVUuid(v); }); }
  HRESULT setCVName(const KroUnicodeString& v) override { return Forward([&](Impl& o) { return o.setCVName(v); }); }
  HRESULT getCVName(KroUnicodeString& v) const override { return Forward([&](Impl& o) { return o.getCVName(v); }); }
  HRESULT setCVInfo(const KroUnicodeString& v) override { return Forward([&](Impl& o) { return o.setCVInfo(v); }); }
  HRESULT getCVInfo(KroUnicodeString& v) const override { return Forward([&](Impl& o) { return o.getCVInfo(v); }); }
};

KRO_CFGSO_API KroBaseUnknown* CreateTIEKroICfgSOVariabilitySpaceKroCfgSOVariabilitySpace(KroBaseUnknown* implementation,
                                                                          KroBaseUnknown* second);
