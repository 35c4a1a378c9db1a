#include "KroCfgSOContext.h"

#include "KroCfgSOServices.h"
#include "KroCfgSOStrings.h"
#include "TIEKroICfgSOContextKroCfgSOContext.h"

KRO_DISPATCH_DEFINE(KroICfgSOContext, KroICfgSOContext_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOContext, KroBaseUnknown, "CfgSOContext", KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

// Every operation: one attribute service call on the extended spec object, traced.
template <class Service>
HRESULT Access(const KroCfgSOContext* self, const char* step, const char* direction, const KroUnicodeString& attribute,
               Service&& service) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep traceStep(trace, step);
  KroISpecObject_var so = const_cast<KroCfgSOContext*>(self);
  HRESULT hr = service(so);
  if (FAILED(hr)) KRO_TRACE_LINE(trace, direction << attribute << " attribute !");
  return KroTraceReturns(trace, hr);
}

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOContext, KroICfgSOContext, TIEKroICfgSOContextKroCfgSOContext);

HRESULT KroCfgSOContext::setName(const KroUnicodeString& name) {
  return Access(this, "CfgSOContext::setName", "Unable to set ", KroCfgSOStrings::CONTEXT_NAME,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::SetStringValue(so, KroCfgSOStrings::CONTEXT_NAME, name); });
}

HRESULT KroCfgSOContext::getName(KroUnicodeString& name) const {
  return Access(this, "CfgSOContext::getName", "Unable to get ", KroCfgSOStrings::CONTEXT_NAME,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::GetStringValue(so, KroCfgSOStrings::CONTEXT_NAME, name); });
}

HRESULT KroCfgSOContext::setType(const KroUnicodeString& type) {
  return Access(this, "CfgSOContext::setType", "Unable to set ", KroCfgSOStrings::CONTEXT_TYPE,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::SetStringValue(so, KroCfgSOStrings::CONTEXT_TYPE, type); });
}

HRESULT KroCfgSOContext::getType(KroUnicodeString& type) const {
  return Access(this, "CfgSOContext::getType", "Unable to get ", KroCfgSOStrings::CONTEXT_TYPE,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::GetStringValue(so, KroCfgSOStrings::CONTEXT_TYPE, type); });
}

HRESULT KroCfgSOContext::setInfo(const KroUnicodeString& info) {
  return Access(this, "CfgSOContext::setInfo", "Unable to set ", KroCfgSOStrings::CONTEXT_INFO,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::SetStringValue(so, KroCfgSOStrings::CONTEXT_INFO, info); });
}

HRESULT KroCfgSOContext::getInfo(KroUnicodeString& info) const {
  return Access(this, "CfgSOContext::getInfo", "Unable to get ", KroCfgSOStrings::CONTEXT_INFO,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::GetStringValue(so, KroCfgSOStrings::CONTEXT_INFO, info); });
}

HRESULT KroCfgSOContext::setUuid(const SEQUENCE_octet& uuid) {
  return Access(this, "CfgSOContext::setUuid", "Unable to set ", KroCfgSOStrings::CONTEXT_UID,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::SetByteArrayValue(so, KroCfgSOStrings::CONTEXT_UID, uuid); });
}

HRESULT KroCfgSOContext::getUuid(SEQUENCE_octet& uuid) const {
  return Access(this, "CfgSOContext::getUuid", "Unable to get ", KroCfgSOStrings::CONTEXT_UID,
                [&](KroISpecObject_var& so) { return KroCfgSOServices::GetByteArrayValue(so, KroCfgSOStrings::CONTEXT_UID, uuid); });
}
