// Named trace objects. A trace is active when its name is switched on, by the environment variable
// KRO_TRACE (comma-separated names, or ALL) or from code. While a trace is inactive every output
// operation returns at once without formatting anything.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "KroUnicodeString.h"

struct KRO_PLATFORM_API KroDmxTraceMarker {
  int code;
};
// Written before an operation's result: the next integer is shown as a result code (0x%08X).
inline constexpr KroDmxTraceMarker KroDmxTrace_returns{1};
// Ends the current line.
inline constexpr KroDmxTraceMarker KroDmxTrace_nl{2};

class KRO_PLATFORM_API KroDmxTrace {
 public:
  // name and name2 are both switch names; output is "STDOUT", "STDERR" or a file path (appended to).
  // bufferSize is the initial capacity of the line buffer; mode 0 prefixes each line with the
  // innermost open step, any other mode writes lines bare.
  KroDmxTrace(const char* name, const char* name2, const char* output, int bufferSize = 1024, int mode = 0);
  ~KroDmxTrace();
  KroDmxTrace(const KroDmxTrace&) = delete;
  KroDmxTrace& operator=(const KroDmxTrace&) = delete;

  bool IsActive() const { return s_all || *m_flag || *m_flag2; }
  const std::string& GetName() const { return m_name; }

  // Each output checks the switch inline, so that an inactive trace costs a test and nothing more.
  KroDmxTrace& operator<<(const char* text) {
    if (text && IsActive()) writeRaw(text);
    return *this;
  }
  KroDmxTrace& operator<<(std::string_view text) {
    if (IsActive()) writeRaw(text);
    return *this;
  }
  KroDmxTrace& operator<<(const std::string& text) { return *this << std::string_view(text); }
  KroDmxTrace& operator<<(const KroUnicodeString& text) { return *this << std::string_view(text.view()); }
  KroDmxTrace& operator<<(int value) { return *this << static_cast<long long>(value); }
  KroDmxTrace& operator<<(long value) { return *this << static_cast<long long>(value); }
  KroDmxTrace& operator<<(unsigned int value) { return *this << static_cast<long long>(value); }
  KroDmxTrace& operator<<(unsigned long value) {
    if (IsActive()) writeUnsigned(value);
    return *this;
  }
  KroDmxTrace& operator<<(long long value) {
    if (IsActive()) writeNumber(value);
    return *this;
  }
  KroDmxTrace& operator<<(double value) {
    if (IsActive()) writeDouble(value);
    return *this;
  }
  KroDmxTrace& operator<<(KroDmxTraceMarker marker) {
    if (IsActive()) writeMarker(marker);
    return *this;
  }

  // Switches from code. Enable("ALL") switches every trace on.
  static void Enable(std::string_view name);
  static void Disable(std::string_view name);
  static void DisableAll();
  // Re-reads KRO_TRACE (also read once when the first trace is built).
  static void ReadEnvironment();
  // Sends every trace's output to the given stream instead of its own output (null restores). For tests.
  static std::ostream* SetOutputOverride(std::ostream* stream);

 private:
  friend class KroDmxTraceStep;
  void emitLine();
  void writeRaw(std::string_view text);
  void writeNumber(long long value);
  void writeUnsigned(unsigned long value);
  void writeDouble(double value);
  void writeMarker(KroDmxTraceMarker marker);
  void pushStep(const char* name);
  void popStep();

  std::string m_name;
  std::string m_output;
  int m_mode;
  const bool* m_flag;
  const bool* m_flag2;
  bool m_hexNext = false;
  std::string m_line;
  std::vector<const char*> m_steps;
  std::ostream* m_file = nullptr;

  static bool s_all;
};

// A scoped step: open while the object lives. Nothing is recorded while the trace is inactive.
class KRO_PLATFORM_API KroDmxTraceStep {
 public:
  KroDmxTraceStep(KroDmxTrace& trace, const char* name) : m_trace(trace), m_pushed(trace.IsActive()) {
    if (m_pushed) trace.pushStep(name);
  }
  KroDmxTraceStep(KroDmxTrace* trace, const char* name) : KroDmxTraceStep(*trace, name) {}
  ~KroDmxTraceStep() {
    if (m_pushed) m_trace.popStep();
  }
  KroDmxTraceStep(const KroDmxTraceStep&) = delete;
  KroDmxTraceStep& operator=(const KroDmxTraceStep&) = delete;

 private:
  KroDmxTrace& m_trace;
  bool m_pushed;
};
