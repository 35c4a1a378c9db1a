// What the streamer's sources share: its trace, the instantiation step, the checked attribute lookup,
// string and value helpers, and the loops between IDL sequences and list spec objects. Defined in
// KroCfgStreamer.cpp, which alone holds the streamer's assertions. Internal to the library.
#pragma once

#include <initializer_list>

#include "DMX_ConfigServices.h"
#include "KroCfgSOFramework.h"
#include "KroCfgSOServices.h"
#include "KroCfgStreamer.h"

namespace KroCfgStreamerFrame {

using S = KroCfgStreamer;

// The trace of every streamer operation, named "KroCfgStreamer".
KroDmxTrace& Trace();

inline HRESULT Returns(HRESULT hr) { return KroTraceReturns(Trace(), hr); }

// The instantiation steps: a new instance of the startup in the factory's container, in out_SO.
// A failure of the container or of its query is returned with out_SO untouched.
HRESULT Instantiate(const KroUnicodeString& startup, const char* instanceName, KroISpecObject_var& out_SO);

// The attribute handle of a name, null when the instance has no such attribute.
KroISpecAttribute_var AttributeOf(const KroISpecObject_var& so, const KroUnicodeString& name);

// The attribute handle of a name that the catalog's startup must declare. Without it the process ends
// with "AssertionFailed:" and the handle's name, as the streamer's invariants depend only on the catalog.
KroISpecAttribute_var RequiredAttribute(const KroISpecObject_var& so, const KroUnicodeString& name,
                                        const char* handle);

KroUnicodeString ToString(const NlsString& in);
void FromString(const KroUnicodeString& in, NlsString& out);
KroUnicodeString ReadString(const KroISpecObject_var& so, const KroUnicodeString& name);
KroISpecObject_var ReadChild(const KroISpecObject_var& so, const KroUnicodeString& name);
KroTime ToKroTime(const DMX_OrbixTypes::DateCorba& date);

// A date that its date spec object cannot hold is refused before anything is instantiated.
bool StorableDates(KroDmxTrace& trace, std::initializer_list<KroTime> times);

// Toward zero. NaN reads as 0, and values past the 32-bit range saturate instead of overflowing.
CORBA::Long Truncate(double value);

// The low 16 bits of a stored integer, as a signed short.
CORBA::Short LowSixteenBits(int value);

// The sequence-to-list loop: one child per element, appended in order. The first failing element
// stops it with the children so far kept; hr is the result when the sequence is empty.
template <class Sequence, class ElementOp>
HRESULT AppendChildren(const KroISpecAttribute_var& list, const Sequence& in, HRESULT hr, const char* countMessage,
                       const char* elementMessage, ElementOp elementOp) {
  KroDmxTrace& trace = Trace();
  const int n = static_cast<int>(in.length());
  KRO_TRACE_LINE(trace, countMessage << n);
  for (int i = 0; i < n; ++i) {
    KRO_TRACE_LINE(trace, elementMessage << i);
    KroISpecObject_var child;
    hr = elementOp(in[static_cast<CORBA::ULong>(i)], child);
    if (FAILED(hr)) return hr;
    list->AppendSpecObject(child);
  }
  return hr;
}

// The list-to-sequence loop. An empty list leaves the sequence's length as it was; otherwise the
// length becomes the list's and the first failing element stops the loop.
template <class Sequence, class ElementOp>
HRESULT FillFromChildren(const KroISpecObject_var& in, const KroUnicodeString& listName, Sequence& out,
                         const char* countMessage, const char* elementMessage, ElementOp elementOp) {
  if (!in) return S_OK;
  KroDmxTrace& trace = Trace();
  KroListValKroISpecObject_var children;
  KroCfgSOServices::GetListSOValue(in, listName, children);
  const int n = children.Size();
  KRO_TRACE_LINE(trace, countMessage << n);
  if (n == 0) return S_OK;
  out.length(static_cast<CORBA::ULong>(n));
  HRESULT hr = S_OK;
  for (int i = 1; i <= n; ++i) {
    KRO_TRACE_LINE(trace, elementMessage << i);
    hr = elementOp(children[i], out[static_cast<CORBA::ULong>(i - 1)]);
    if (FAILED(hr)) return hr;
  }
  return hr;
}

// Element operations, as plain callables for the loops above.
#define KRO_ELEMENT_OP(function) [](const auto& element, auto& result) { return S::function(element, result); }
}  // namespace KroCfgStreamerFrame
