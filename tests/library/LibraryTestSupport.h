// Helpers shared by the library's tests: the shipped catalog, trace capture, isolated processes.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "KroDmxTrace.h"
#include "KroSpecModeler.h"
#include "TestPaths.h"
#include "KroCfgFaults.h"

// The factory opens its catalog once per process, along KroGraphicPath.
inline void UseShippedCatalog() { setenv("KroGraphicPath", kro_test::ShippedCatalogDir().c_str(), 0); }

// Switches the named traces on and collects their lines for as long as it lives.
class TraceCapture {
 public:
  TraceCapture(std::initializer_list<const char*> names) {
    KroDmxTrace::ReadEnvironment();
    KroDmxTrace::DisableAll();
    for (const char* name : names) KroDmxTrace::Enable(name);
    m_previous = KroDmxTrace::SetOutputOverride(&m_out);
  }
  ~TraceCapture() {
    KroDmxTrace::DisableAll();
    KroDmxTrace::SetOutputOverride(m_previous);
  }
  std::string text() const { return m_out.str(); }
  std::vector<std::string> lines() const {
    std::vector<std::string> out;
    std::istringstream in(m_out.str());
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  }
  bool has(const std::string& line) const {
    for (const auto& l : lines())
      if (l == line) return true;
    return false;
  }
  void clear() { m_out.str(""); }

 private:
  std::ostringstream m_out;
  std::ostream* m_previous;
};

// Runs body in a fresh process (so the factory's once-per-process state starts empty). The body returns
// an empty text when all is well, else what went wrong, which the parent reports.
template <class Body>
void InFreshProcess(Body body) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::string problem = body();
        std::fprintf(stderr, "%s", problem.c_str());
        std::fflush(stderr);
        std::_Exit(problem.empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// A copy of the shipped catalog in a fresh directory, with one text replaced (to break it on purpose).
inline std::string CatalogDirWith(const std::string& dirName, const std::string& from, const std::string& to) {
  std::ifstream in(kro_test::ShippedCatalogDir() + "/CfgSOCatalog.feat");
  std::stringstream text;
  text << in.rdbuf();
  std::string content = text.str();
  if (!from.empty())
    for (std::size_t at = content.find(from); at != std::string::npos; at = content.find(from, at + to.size()))
      content.replace(at, from.size(), to);
  std::string dir = ::testing::TempDir() + dirName;
  std::string command = "mkdir -p '" + dir + "'";
  if (std::system(command.c_str()) != 0) return dir;
  std::ofstream(dir + "/CfgSOCatalog.feat") << content;
  return dir;
}
