// Shared frame of the library's classes: the framework name, load-time statics and trace helpers.
#pragma once

#include "KroCfgSOExport.h"

#include <cstddef>
#include <new>
#include <utility>

#include "KroDmxTrace.h"
#include "KroModelerInterfaces.h"
#include "KroStartUps.h"
#include "KroMetaClass.h"
#include "KroUnicodeString.h"

struct KRO_CFGSO_API KroCfgSOFramework {
  // The framework every extension class of the library belongs to.
  static const char* const Name;
};

// A static of the library, built at load and destroyed at unload. A counter of its own guards the
// build: a second run of the same initialiser in one process builds nothing twice. The counter is a
// separate constant-initialised int, so it reads zero before any initialiser runs.
template <class T>
class KRO_CFGSO_API KroLibraryStatic {
 public:
  template <class... Args>
  explicit KroLibraryStatic(int& counter, Args&&... args) : m_counter(counter) {
    if (++m_counter == 1) new (m_storage) T(std::forward<Args>(args)...);
  }
  ~KroLibraryStatic() {
    if (m_counter > 0) get().~T();
    m_counter = 0;
  }
  KroLibraryStatic(const KroLibraryStatic&) = delete;
  KroLibraryStatic& operator=(const KroLibraryStatic&) = delete;

  T& get() { return *std::launder(reinterpret_cast<T*>(m_storage)); }
  T* operator->() { return &get(); }

 private:
  alignas(T) unsigned char m_storage[sizeof(T)];
  int& m_counter;
};

// One constant of a names table (the library's names table, the streamer's names). The constant is a
// static KroUnicodeString member, constant-initialised empty, so it exists before any code runs; the
// load pass gives it its text when its own guard counter has just become 1. The runtime destroys it
// at unload, after every static built at ordinary priority, whatever the counter says.
struct KRO_CFGSO_API KroNameConstant {
  KroUnicodeString* value;
  const char* text;
  int* counter;
};

// The load pass over a names table, in declaration order. A second pass builds nothing.
template <std::size_t N>
void KroBuildNameConstants(const KroNameConstant (&names)[N]) {
  for (const KroNameConstant& name : names)
    if (++*name.counter == 1) *name.value = name.text;
}

// Names tables are defined at this priority: constructed and given their text before the library's
// other statics, which may read them, and destroyed after them.
#if defined(__GNUC__)
#define KRO_NAMES_PRIORITY __attribute__((init_priority(101)))
#else
#define KRO_NAMES_PRIORITY
#endif

// The name constants are constant-initialised empty, before any code runs.
#define KRO_NAMES_CONSTINIT constinit

// Defines a library static `name` with its guard counter `name##_counter`.
#define KRO_LIBRARY_STATIC(Type, name, ...) \
  int name##_counter = 0;                   \
  KroLibraryStatic<Type> name(name##_counter __VA_OPT__(, ) __VA_ARGS__)

// The trace object of a class: two equal names, "STDOUT", 1024, mode 0.
#define KRO_LIBRARY_TRACE(name, traceName) \
  KRO_LIBRARY_STATIC(KroDmxTrace, name, traceName, traceName, "STDOUT", 1024, 0)

// Writes one message line, formatting nothing while the trace is off.
#define KRO_TRACE_LINE(trace, message)                                    \
  do {                                                                    \
    if ((trace).IsActive()) (trace) << message << KroDmxTrace_nl;         \
  } while (0)

// Writes the returns marker, the result and a newline.
#define KRO_TRACE_RETURNS(trace, hr)                                                       \
  do {                                                                                     \
    if ((trace).IsActive()) KroTraceWriteReturns(trace, static_cast<long>(hr));            \
  } while (0)

// The returns marker, the result and a newline; out of line, since the trace is mostly off.
[[gnu::noinline]] inline void KroTraceWriteReturns(KroDmxTrace& trace, long result) {
  trace << KroDmxTrace_returns << result << KroDmxTrace_nl;
}
// Writes the returns line of an operation and gives its result back, so that a path can end with
// `return KroTraceReturns(trace, hr);`. Inlined whole, so that an inactive trace costs the test alone.
[[gnu::always_inline]] inline HRESULT KroTraceReturns(KroDmxTrace& trace, HRESULT hr) {
  if (trace.IsActive()) KroTraceWriteReturns(trace, static_cast<long>(hr));
  return hr;
}
