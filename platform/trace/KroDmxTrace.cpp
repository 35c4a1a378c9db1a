#include "KroDmxTrace.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <unordered_map>

bool KroDmxTrace::s_all = false;

namespace {

// Switch flags by name. Nodes of an unordered_map never move, so traces keep pointers to their flags.
// Kept alive to the end of the process: traces are statics of other libraries and may outlive us.
std::unordered_map<std::string, bool>& Switches() {
  static auto* switches = new std::unordered_map<std::string, bool>();
  return *switches;
}

std::ostream*& OutputOverride() {
  static std::ostream* stream = nullptr;
  return stream;
}

bool& EnvironmentRead() {
  static bool read = false;
  return read;
}

// KRO_TRACE_OUTPUT, when set, sends every trace to one place, whatever output the trace was built with:
// "STDOUT", "STDERR" (either case) or a file path. Empty when unset.
std::string& EnvironmentOutput() {
  static auto* output = new std::string();
  return *output;
}

// The file named by KRO_TRACE_OUTPUT, shared by every trace and open to the end of the process.
std::FILE* EnvironmentFile() {
  static std::FILE* file = std::fopen(EnvironmentOutput().c_str(), "a");
  return file;
}

std::string Canonical(const char* output) {
  std::string text(output);
  if (text == "stdout") return "STDOUT";
  if (text == "stderr") return "STDERR";
  return text;
}

}  // namespace

KroDmxTrace::KroDmxTrace(const char* name, const char* name2, const char* output, int bufferSize, int mode)
    : m_name(name ? name : ""), m_output(output ? output : "STDOUT"), m_mode(mode) {
  if (!EnvironmentRead()) ReadEnvironment();
  m_flag = &Switches()[m_name];
  m_flag2 = &Switches()[name2 ? name2 : ""];
  m_line.reserve(bufferSize > 0 ? static_cast<std::size_t>(bufferSize) : 0);
}

KroDmxTrace::~KroDmxTrace() {
  if (!m_line.empty()) emitLine();
  delete m_file;
}

void KroDmxTrace::Enable(std::string_view name) {
  if (name == "ALL") {
    s_all = true;
    return;
  }
  Switches()[std::string(name)] = true;
}

void KroDmxTrace::Disable(std::string_view name) {
  if (name == "ALL") {
    s_all = false;
    return;
  }
  Switches()[std::string(name)] = false;
}

void KroDmxTrace::DisableAll() {
  s_all = false;
  for (auto& entry : Switches()) entry.second = false;
}

void KroDmxTrace::ReadEnvironment() {
  EnvironmentRead() = true;
  const char* output = std::getenv("KRO_TRACE_OUTPUT");
  EnvironmentOutput() = output ? Canonical(output) : std::string();
  const char* value = std::getenv("KRO_TRACE");
  if (!value) return;
  std::string_view list(value);
  while (!list.empty()) {
    std::size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    if (!item.empty()) Enable(item);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
}

std::ostream* KroDmxTrace::SetOutputOverride(std::ostream* stream) {
  std::ostream* previous = OutputOverride();
  OutputOverride() = stream;
  return previous;
}

void KroDmxTrace::writeNumber(long long value) {
  char buf[32];
  if (m_hexNext)
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned int>(value));
  else
    std::snprintf(buf, sizeof buf, "%lld", value);
  m_hexNext = false;
  writeRaw(buf);
}

void KroDmxTrace::writeUnsigned(unsigned long value) {
  if (m_hexNext) return writeNumber(static_cast<long long>(value));
  writeRaw(std::to_string(value));
}

void KroDmxTrace::writeDouble(double value) { writeRaw(KroUnicodeString::BuildFromNum(value).str()); }

void KroDmxTrace::writeMarker(KroDmxTraceMarker marker) {
  if (marker.code == KroDmxTrace_returns.code) {
    writeRaw("returns ");
    m_hexNext = true;
  } else {
    writeRaw("\n");
  }
}

void KroDmxTrace::writeRaw(std::string_view text) {
  while (!text.empty()) {
    std::size_t nl = text.find('\n');
    m_line.append(text.substr(0, nl));
    if (nl == std::string_view::npos) return;
    emitLine();
    text.remove_prefix(nl + 1);
  }
}

void KroDmxTrace::emitLine() {
  std::string out;
  out.reserve(m_line.size() + 64);
  if (m_mode == 0 && !m_steps.empty()) {
    out += '[';
    out += m_steps.back();
    out += "] ";
  }
  out += m_line;
  out += '\n';
  m_line.clear();
  m_hexNext = false;

  if (std::ostream* stream = OutputOverride()) {
    stream->write(out.data(), static_cast<std::streamsize>(out.size()));
    return;
  }
  const std::string& output = EnvironmentOutput().empty() ? m_output : EnvironmentOutput();
  if (output == "STDOUT") {
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
  } else if (output == "STDERR") {
    std::fwrite(out.data(), 1, out.size(), stderr);
  } else if (&output == &EnvironmentOutput()) {
    if (std::FILE* file = EnvironmentFile()) {
      std::fwrite(out.data(), 1, out.size(), file);
      std::fflush(file);
    }
  } else {
    if (!m_file) m_file = new std::ofstream(m_output, std::ios::app);
    m_file->write(out.data(), static_cast<std::streamsize>(out.size()));
    m_file->flush();
  }
}

void KroDmxTrace::pushStep(const char* name) { m_steps.push_back(name ? name : ""); }

void KroDmxTrace::popStep() {
  // A message left without its newline belongs to this step: close it before the step ends.
  if (!m_line.empty()) emitLine();
  m_steps.pop_back();
}
