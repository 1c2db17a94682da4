#include "util/DebugOutput.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "util/ScopedDebugOutputCapture.h"
#include "util/ScopedEnvironmentVariable.h"

namespace {

using namespace std::string_view_literals;

struct StatusCase {
  const char* label;
  std::string_view status;
  bool traced;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.label; }

class HasNonZeroTracerPidTest : public testing::TestWithParam<StatusCase> {};

TEST_P(HasNonZeroTracerPidTest, ReadsTheField) {
  EXPECT_EQ(HasNonZeroTracerPid(GetParam().status), GetParam().traced);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HasNonZeroTracerPidTest,
    testing::Values(StatusCase{"untraced", "Name:\tx\nState:\tR\nTracerPid:\t0\nUid:\t0\n"sv, false},
                    StatusCase{"traced", "Name:\tx\nTracerPid:\t4711\nUid:\t0\n"sv, true},
                    StatusCase{"traced, pid with zero", "TracerPid:\t10\n"sv, true},
                    StatusCase{"last line without feed", "Name:\tx\nTracerPid:\t12"sv, true},
                    StatusCase{"spaces instead of tab", "TracerPid:   7\n"sv, true},
                    StatusCase{"missing field", "Name:\tx\nPid:\t5\n"sv, false},
                    StatusCase{"field name inside another line", "Name:\tTracerPid:\t5\n"sv, false},
                    StatusCase{"empty value", "TracerPid:\t\n"sv, false},
                    StatusCase{"garbage value", "TracerPid:\tabc\n"sv, false},
                    StatusCase{"empty text", ""sv, false}));

TEST(IsDebugOutputEnabledTest, SwitchedOnOnlyByExactlyOne) {
  const bool traced = IsDebuggerAttached();
  {
    ScopedEnvironmentVariable on(kDebugOutputVariable, "1");
    EXPECT_TRUE(IsDebugOutputEnabled());
  }
  for (const char* value : {"0", "", "true", "yes", "11", " 1"}) {
    ScopedEnvironmentVariable other(kDebugOutputVariable, value);
    EXPECT_EQ(IsDebugOutputEnabled(), traced) << "value \"" << value << "\"";
  }
  ScopedEnvironmentVariable unset(kDebugOutputVariable, nullptr);
  EXPECT_EQ(IsDebugOutputEnabled(), traced);
}

TEST(WriteDebugLineTest, EndsEveryLineWithOneLineFeed) {
  ScopedDebugOutputCapture capture;
  WriteDebugLine("first");
  WriteDebugLine("second\n");
  WriteDebugLine("");
  EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"first\n", "second\n", "\n"}));
}

TEST(WriteDebugLineTest, WritesNothingWhenSwitchedOff) {
  if (IsDebuggerAttached()) GTEST_SKIP() << "a debugger switches the output on";
  ScopedDebugOutputCapture capture(nullptr);
  WriteDebugLine("hidden");
  EXPECT_TRUE(capture.Lines().empty());
}

TEST(SetDebugOutputSinkTest, ReturnsThePreviousSink) {
  ScopedEnvironmentVariable on(kDebugOutputVariable, "1");
  std::string first;
  std::string second;
  const DebugOutputSink original = SetDebugOutputSink([&](std::string_view line) { first += line; });
  const DebugOutputSink previous = SetDebugOutputSink([&](std::string_view line) { second += line; });
  WriteDebugLine("to second");
  SetDebugOutputSink(previous);
  WriteDebugLine("to first");
  SetDebugOutputSink(original);
  EXPECT_EQ(first, "to first\n");
  EXPECT_EQ(second, "to second\n");
}

}  // namespace
