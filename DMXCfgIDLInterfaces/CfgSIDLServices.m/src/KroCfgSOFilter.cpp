#include "KroCfgSOFilter.h"

#include "KroCfgSOServices.h"
#include "TIEKroICfgSOFilterKroCfgSOFilter.h"

KRO_DISPATCH_DEFINE(KroICfgSOFilter, KroICfgSOFilter_METHODS)

const KroUnicodeString KroCfgSOFilter::s_st_LATE_TYPE("CfgSOFilter");
const KroUnicodeString KroCfgSOFilter::s_st_NAME("name");
const KroUnicodeString KroCfgSOFilter::s_st_DOMAIN("domain");
const KroUnicodeString KroCfgSOFilter::s_st_UID("uid");
const KroUnicodeString KroCfgSOFilter::s_st_MODE("mode");
const KroUnicodeString KroCfgSOFilter::s_st_MODE_150("mode150");
const KroUnicodeString KroCfgSOFilter::s_st_OWNING_CONTEXT("context");

KRO_IMPLEMENT_EXTENSION_CLASS(KroCfgSOFilter, KroBaseUnknown, "CfgSOFilter", KroCfgSOFramework::Name);

namespace {

KRO_LIBRARY_TRACE(s_trace, "CfgSO");

KroDmxTrace& Trace() { return s_trace.get(); }

}  // namespace

KRO_REGISTER_EXTENSION(KroCfgSOFilter, KroICfgSOFilter, TIEKroICfgSOFilterKroCfgSOFilter);

// Records still held by the container at unload die after the trace: trace only while it exists.
KroCfgSOFilter::KroCfgSOFilter() {
  if (s_trace_counter > 0) KroDmxTraceStep step(Trace(), "KroCfgSOFilter::Constructor");
}

KroCfgSOFilter::~KroCfgSOFilter() {
  if (s_trace_counter > 0) KroDmxTraceStep step(Trace(), "KroCfgSOFilter::Destructor");
}

void KroCfgSOFilter::reset() {
  KroDmxTraceStep step(Trace(), "KroCfgSOFilter::reset");
  KroISpecObject_var so = this;
  for (const KroUnicodeString* name : {&s_st_DOMAIN, &s_st_MODE, &s_st_MODE_150, &s_st_UID, &s_st_NAME})
    KroCfgSOServices::ClearAttribute(so, *name);
}

HRESULT KroCfgSOFilter::setFilter(const KroICfgFilter_var& filter) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOFilter::setFilter");
  reset();
  if (!filter) {
    KRO_TRACE_LINE(trace, "The input argument is invalid.");
    return KroTraceReturns(trace, E_INVALIDARG);
  }
  auto failed = [&](HRESULT hr, const char* message) {
    if (FAILED(hr)) KRO_TRACE_LINE(trace, message);
    return FAILED(hr);
  };

  // Everything is read from the filter before anything is written.
  KroUnicodeString id;
  HRESULT hr = filter->getId(id);
  if (failed(hr, "Unable to get the filter ID.")) return KroTraceReturns(trace, hr);
  KroICfgContext_var context;
  KroUnicodeString domain;
  KroListValKroICfgNormalValue_var values;
  hr = filter->getDomainAndContext(context, domain, values);
  if (failed(hr, "Unable to get the filter domain and configuration context.")) return KroTraceReturns(trace, hr);
  int mode = 0;
  hr = filter->getMode(mode);
  if (failed(hr, "Unable to get the filtering mode.")) return KroTraceReturns(trace, hr);
  boolean mode150 = 0;
  hr = filter->getMode150(mode150);
  if (failed(hr, "Unable to get the filter 150% mode flag.")) return KroTraceReturns(trace, hr);
  SEQUENCE_octet uuid;
  hr = KroCfgUuid(KroILinkableObject_var(filter)).getUuid(uuid);
  if (failed(hr, "Unable to get the filter uuid.")) return KroTraceReturns(trace, hr);

  KroISpecObject_var so = this;
  hr = KroCfgSOServices::SetStringValue(so, s_st_NAME, id);
  if (failed(hr, "Unable to set the filter id attribute.")) return KroTraceReturns(trace, hr);
  hr = KroCfgSOServices::SetStringValue(so, s_st_DOMAIN, domain);
  if (failed(hr, "Unable to set the filter domain attribute.")) return KroTraceReturns(trace, hr);
  hr = KroCfgSOServices::SetByteArrayValue(so, s_st_UID, uuid);
  if (failed(hr, "Unable to set the filter uuid attribute.")) return KroTraceReturns(trace, hr);
  hr = KroCfgSOServices::SetIntegerValue(so, s_st_MODE, mode);
  if (failed(hr, "Unable to set the filter mode attribute.")) return KroTraceReturns(trace, hr);
  hr = KroCfgSOServices::SetBooleanValue(so, s_st_MODE_150, mode150);
  failed(hr, "Unable to set the filter 150% mode flag attribute.");
  return KroTraceReturns(trace, hr);
}

HRESULT KroCfgSOFilter::getFilter(KroICfgFilter_var& filter) {
  KroDmxTrace& trace = Trace();
  KroDmxTraceStep step(trace, "KroCfgSOFilter::getFilter");
  filter = nullptr;
  SEQUENCE_octet octets;
  HRESULT hr = KroCfgSOServices::GetByteArrayValue(KroISpecObject_var(this), s_st_UID, octets);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to get the filter uuid.");
    return KroTraceReturns(trace, hr);
  }
  KroILinkableObject_var bound;
  hr = KroCfgUuid(octets).bindObject(bound);
  if (FAILED(hr)) {
    KRO_TRACE_LINE(trace, "Unable to bind the filter object according to the given uuid.");
    return KroTraceReturns(trace, hr);
  }
  filter = bound;
  if (!filter) {
    KRO_TRACE_LINE(trace, "The object is not a KroICfgFilter ?!");
    return KroTraceReturns(trace, E_FAIL);
  }
  return KroTraceReturns(trace, hr);
}
