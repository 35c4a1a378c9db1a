#include "KroCfgSOVariabilitySpace.h"

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOVariabilitySpaceKroCfgSOVariabilitySpace.h"

KRO_DISPATCH_DEFINE(KroICfgSOVariabilitySpace, KroICfgSOVariabilitySpace_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOVariabilitySpace, KroBaseUnknown, "CfgSOVariabilitySpace",
                              KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

// Every operation: one attribute service call on the extended spec object, traced.
template <class Service>
HRESULT Access(const KroCfgSOVariabilitySpace* self, const char* step, const char* direction,
               const KroUnicodeString& attribute, Service&& service) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, step);
  KroISpecObject_var so = const_cast<KroCfgSOVariabilitySpace*>(self);
  HRESULT hr = service(so);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, direction << attribute << " attribute !");
  return KroTraceReturns(trace, hr);
}

HRESULT SetString(const KroCfgSOVariabilitySpace* self, const char* step, const KroUnicodeString& attribute,
                  const KroUnicodeString& value) {
  return Access(self, step, "Unable to set ", attribute,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::SetStringValue(so, attribute, value); });
}

HRESULT GetString(const KroCfgSOVariabilitySpace* self, const char* step, const KroUnicodeString& attribute,
                  KroUnicodeString& value) {
  return Access(self, step, "Unable to get ", attribute,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::GetStringValue(so, attribute, value); });
}

HRESULT SetOctets(const KroCfgSOVariabilitySpace* self, const char* step, const KroUnicodeString& attribute,
                  const SEQUENCE_octet& value) {
  return Access(self, step, "Unable to set ", attribute,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::SetByteArrayValue(so, attribute, value); });
}

HRESULT GetOctets(const KroCfgSOVariabilitySpace* self, const char* step, const KroUnicodeString& attribute,
                  SEQUENCE_octet& value) {
  return Access(self, step, "Unable to get ", attribute,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::GetByteArrayValue(so, attribute, value); });
}

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOVariabilitySpace, KroICfgSOVariabilitySpace,
                       TIEKroICfgSOVariabilitySpaceKroCfgSOVariabilitySpace);

using S = KroCfgSOStrings;

HRESULT KroCfgSOVariabilitySpace::setName(const KroUnicodeString& name) {
  return SetString(this, "CfgSOVariabilitySpace::setName", S::VARIABILITY_SPACE_VS_NAME, name);
}
HRESULT KroCfgSOVariabilitySpace::getName(KroUnicodeString& name) const {
  return GetString(this, "CfgSOVariabilitySpace::getName", S::VARIABILITY_SPACE_VS_NAME, name);
}
HRESULT KroCfgSOVariabilitySpace::setUuid(const SEQUENCE_octet& uuid) {
  return SetOctets(this, "CfgSOVariabilitySpace::setUuid", S::VARIABILITY_SPACE_VS_UID, uuid);
}
HRESULT KroCfgSOVariabilitySpace::getUuid(SEQUENCE_octet& uuid) const {
  return GetOctets(this, "CfgSOVariabilitySpace::getUuid", S::VARIABILITY_SPACE_VS_UID, uuid);
}
HRESULT KroCfgSOVariabilitySpace::setCOUuid(const SEQUENCE_octet& uuid) {
  return SetOctets(this, "CfgSOVariabilitySpace::setCOUuid", S::VARIABILITY_SPACE_CO_UID, uuid);
}
HRESULT KroCfgSOVariabilitySpace::getCOUuid(SEQUENCE_octet& uuid) const {
  return GetOctets(this, "CfgSOVariabilitySpace::getCOUuid", S::VARIABILITY_SPACE_CO_UID, uuid);
}
HRESULT KroCfgSOVariabilitySpace::setCODesc(const KroUnicodeString& description) {
  return SetString(this, "CfgSOVariabilitySpace::setCODesc", S::VARIABILITY_SPACE_CO_DESC, description);
}
HRESULT KroCfgSOVariabilitySpace::getCODesc(KroUnicodeString& description) const {
  return GetString(this, "CfgSOVariabilitySpace::getCODesc", S::VARIABILITY_SPACE_CO_DESC, description);
}
HRESULT KroCfgSOVariabilitySpace::setCVUuid(const SEQUENCE_octet& uuid) {
  return SetOctets(this, "CfgSOVariabilitySpace::setCVUuid", S::VARIABILITY_SPACE_CV_UID, uuid);
}
HRESULT KroCfgSOVariabilitySpace::getCVUuid(SEQUENCE_octet& uuid) const {
  return GetOctets(this, "CfgSOVariabilitySpace::getCVUuid", S::VARIABILITY_SPACE_CV_UID, uuid);
}
HRESULT KroCfgSOVariabilitySpace::setCVName(const KroUnicodeString& name) {
  return SetString(this, "CfgSOVariabilitySpace::setCVName", S::VARIABILITY_SPACE_CV_NAME, name);
}
HRESULT KroCfgSOVariabilitySpace::getCVName(KroUnicodeString& name) const {
  return GetString(this, "CfgSOVariabilitySpace::getCVName", S::VARIABILITY_SPACE_CV_NAME, name);
}
HRESULT KroCfgSOVariabilitySpace::setCVInfo(const KroUnicodeString& info) {
  return SetString(this, "CfgSOVariabilitySpace::setCVInfo", S::VARIABILITY_SPACE_CV_INFO, info);
}
HRESULT KroCfgSOVariabilitySpace::getCVInfo(KroUnicodeString& info) const {
  return GetString(this, "CfgSOVariabilitySpace::getCVInfo", S::VARIABILITY_SPACE_CV_INFO, info);
}
