#include "QuorCfgDispatchContainer.h"

#include "KroCfgSOFactory.h"
#include "TIEQuorIDispatchContainerQuorCfgDispatchContainer.h"

KRO_DISPATCH_DEFINE(QuorIDispatchContainer, QuorIDispatchContainer_METHODS)

KRO_IMPLEMENT_EXTENSION_CLASS(QuorCfgDispatchContainer, KroBaseUnknown, "CfgDispatchContainer", KroCfgSOFramework::Name);

// The dictionary entry is registered before the trace object is built.
KRO_REGISTER_EXTENSION(QuorCfgDispatchContainer, QuorIDispatchContainer, TIEQuorIDispatchContainerQuorCfgDispatchContainer);

namespace {
KRO_LIBRARY_TRACE(s_trace, "CfgDispatchContainer");
}

HRESULT QuorCfgDispatchContainer::GetContainer(const KroUnicodeString& path, KroIContainer_var& out) {
  KroDmxTrace& trace = s_trace.get();
  KroDmxTraceStep step(trace, "QuorCfgDispatchContainer::GetContainer");
  out = nullptr;
  KRO_TRACE_LINE(trace, "Path: " << path.ConvertToChar());
  KRO_TRACE_LINE(trace, "Returning the Config container.");
  HRESULT hr = KroCfgSOFactory::getContainer(out);
  if (FAILED(hr))
    KRO_TRACE_LINE(trace, "KroCfgSOServices::GetContainer has failed.");
  else if (!out)
    KRO_TRACE_LINE(trace, "The returned container is NULL.");
  else
    KRO_TRACE_LINE(trace, "The returned container seems to be ok (not null).");
  return KroTraceReturns(trace, hr);
}
