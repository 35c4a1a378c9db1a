#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "KroDmxTrace.h"
#include "KroTypes.h"

namespace {

// Every test starts with all traces off and output captured, and leaves them so.
class TraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Read KRO_TRACE now, or the first trace built would re-enable names after DisableAll.
    KroDmxTrace::ReadEnvironment();
    KroDmxTrace::DisableAll();
    KroDmxTrace::SetOutputOverride(&out);
  }
  void TearDown() override {
    KroDmxTrace::DisableAll();
    KroDmxTrace::SetOutputOverride(nullptr);
  }
  std::ostringstream out;
};

TEST_F(TraceTest, InactiveTraceWritesNothingAndRecordsNoStep) {
  KroDmxTrace trace("TraceT_Off", nullptr, "STDOUT");
  EXPECT_FALSE(trace.IsActive());
  {
    KroDmxTraceStep step(trace, "Hidden");
    trace << "text " << 42 << KroDmxTrace_returns << E_FAIL << KroDmxTrace_nl;
    KroDmxTrace::Enable("TraceT_Off");
    // The step was opened while off, so it must not show now.
    trace << "late" << KroDmxTrace_nl;
  }
  EXPECT_EQ(out.str(), "late\n");
}

TEST_F(TraceTest, WritesTextNumbersAndResultCodes) {
  KroDmxTrace trace("TraceT_Values", nullptr, "STDOUT");
  KroDmxTrace::Enable("TraceT_Values");
  trace << "s=" << std::string("str") << " u=" << KroUnicodeString("uni") << " i=" << -7 << " l=" << 123456789012L
        << KroDmxTrace_nl;
  trace << "op " << KroDmxTrace_returns << E_FAIL << KroDmxTrace_nl;
  trace << "op " << KroDmxTrace_returns << S_OK << KroDmxTrace_nl;
  // The hexadecimal form applies only to the integer right after the marker.
  trace << KroDmxTrace_returns << KroDmxTrace_nl << 255 << KroDmxTrace_nl;
  EXPECT_EQ(out.str(),
            "s=str u=uni i=-7 l=123456789012\n"
            "op returns 0x80004005\n"
            "op returns 0x00000000\n"
            "returns \n"
            "255\n");
}

TEST_F(TraceTest, StepPrefixesFollowTheInnermostOpenStep) {
  KroDmxTrace trace("TraceT_Steps", nullptr, "STDOUT");
  KroDmxTrace::Enable("TraceT_Steps");
  {
    KroDmxTraceStep outer(trace, "Outer");
    trace << "a" << KroDmxTrace_nl;
    {
      KroDmxTraceStep inner(&trace, "Inner");
      trace << "b\nc" << KroDmxTrace_nl;
      trace << "unterminated";  // closed by the step's end, still under its prefix
    }
    trace << "d" << KroDmxTrace_nl;
  }
  trace << "e" << KroDmxTrace_nl;
  EXPECT_EQ(out.str(), "[Outer] a\n[Inner] b\n[Inner] c\n[Inner] unterminated\n[Outer] d\ne\n");
}

TEST_F(TraceTest, NonZeroModeWritesBareLines) {
  KroDmxTrace trace("TraceT_Bare", nullptr, "STDOUT", 16, 1);
  KroDmxTrace::Enable("TraceT_Bare");
  KroDmxTraceStep step(trace, "Step");
  trace << "line longer than the initial buffer" << KroDmxTrace_nl;
  EXPECT_EQ(out.str(), "line longer than the initial buffer\n");
}

TEST_F(TraceTest, EitherNameOrAllActivates) {
  KroDmxTrace trace("TraceT_First", "TraceT_Second", "STDOUT");
  KroDmxTrace other("TraceT_Other", nullptr, "STDOUT");
  KroDmxTrace::Enable("TraceT_Second");
  EXPECT_TRUE(trace.IsActive());
  EXPECT_FALSE(other.IsActive());
  KroDmxTrace::Disable("TraceT_Second");
  KroDmxTrace::Enable("TraceT_First");
  EXPECT_TRUE(trace.IsActive());
  KroDmxTrace::Disable("TraceT_First");
  EXPECT_FALSE(trace.IsActive());

  KroDmxTrace::Enable("ALL");
  EXPECT_TRUE(trace.IsActive());
  EXPECT_TRUE(other.IsActive());
  KroDmxTrace::Disable("ALL");
  EXPECT_FALSE(other.IsActive());
}

TEST_F(TraceTest, ReadEnvironmentEnablesListedNames) {
  const char* saved = std::getenv("KRO_TRACE");
  std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
  KroDmxTrace a("TraceT_EnvA", nullptr, "STDOUT");
  KroDmxTrace b("TraceT_EnvB", nullptr, "STDOUT");
  KroDmxTrace c("TraceT_EnvC", nullptr, "STDOUT");

  setenv("KRO_TRACE", "TraceT_EnvA, TraceT_EnvB ", 1);
  KroDmxTrace::ReadEnvironment();
  EXPECT_TRUE(a.IsActive());
  EXPECT_TRUE(b.IsActive());
  EXPECT_FALSE(c.IsActive());

  KroDmxTrace::DisableAll();
  setenv("KRO_TRACE", "ALL", 1);
  KroDmxTrace::ReadEnvironment();
  EXPECT_TRUE(c.IsActive());

  if (previous)
    setenv("KRO_TRACE", previous->c_str(), 1);
  else
    unsetenv("KRO_TRACE");
}

TEST_F(TraceTest, FileOutputIsAppended) {
  KroDmxTrace::SetOutputOverride(nullptr);
  const std::filesystem::path path = std::filesystem::path(testing::TempDir()) / "kro_trace_test.txt";
  std::ofstream(path) << "existing\n";
  {
    KroDmxTrace trace("TraceT_File", nullptr, path.string().c_str());
    KroDmxTrace::Enable("TraceT_File");
    trace << "one" << KroDmxTrace_nl << "two" << KroDmxTrace_nl;
    trace << "pending";  // written when the trace goes away
  }
  std::ifstream in(path);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), "existing\none\ntwo\npending\n");
  std::filesystem::remove(path);
}

}  // namespace
