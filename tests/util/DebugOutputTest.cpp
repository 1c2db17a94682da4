#include "util/DebugOutput.h"

#include <gtest/gtest.h>

#include "tests/util/ScopedDebugOutputCapture.h"

using namespace std::string_view_literals;

TEST(HasNonZeroTracerPidTest, ReadsOnlyTheTracerPidField) {
  const struct { std::string_view status; bool traced; } cases[] = {
      {"Name:\tx\nState:\tR\nTracerPid:\t0\nUid:\t0\n"sv, false}, {"Name:\tx\nTracerPid:\t12"sv, true},
      {"TracerPid:   7\n"sv, true}, {"Name:\tx\nPid:\t5\n"sv, false}, {"Name:\tTracerPid:\t5\n"sv, false},
      {"TracerPid:\t\n"sv, false}, {"TracerPid:\tabc\n"sv, false}};
  for (const auto& c : cases) EXPECT_EQ(HasNonZeroTracerPid(c.status), c.traced) << c.status;
}

TEST(IsDebugOutputEnabledTest, SwitchedOnOnlyByExactlyOneAndOffWritesNothing) {
  const bool traced = IsDebuggerAttached();
  for (const char* value : {"1", "0", "", "true", "11", " 1", static_cast<const char*>(nullptr)}) {
    ScopedDebugOutputCapture capture(value);
    const bool on = traced || (value && value == "1"sv);
    EXPECT_EQ(IsDebugOutputEnabled(), on) << "value \"" << (value ? value : "(unset)") << "\"";
    WriteDebugLine("x");
    EXPECT_EQ(capture.Lines().size(), on ? 1u : 0u);
  }
}

TEST(WriteDebugLineTest, EndsEveryLineWithOneLineFeedInTheInnermostSink) {
  ScopedDebugOutputCapture outer;
  WriteDebugLine("first");
  {
    ScopedDebugOutputCapture inner;
    WriteDebugLine("second\n");
    EXPECT_EQ(inner.Lines(), std::vector<std::string>{"second\n"});
  }
  WriteDebugLine("");
  EXPECT_EQ(outer.Lines(), (std::vector<std::string>{"first\n", "\n"}));
}
