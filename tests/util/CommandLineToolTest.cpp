#include "util/CommandLineTool.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr CommandLineTool kTool("tool");

// What escapes a helper ends as one line on standard error and status 1.
// (A helper's own status passing through, silent on success and with one
// line for a bad switch, is what the bundled installer's script checks.)
TEST(CommandLineToolTest, ReportsEscapedExceptionsAsOneLine) {
  const struct {
    CommandLineTool::RunFunction run;
    const char* stderrText;
  } cases[] = {
      {[](int, char**) -> int { throw std::runtime_error("out of memory"); }, "tool: out of memory\n"},
      {[](int, char**) -> int { throw 7; }, "tool: unexpected failure\n"},
  };
  char name[] = "tool";
  char* argv[] = {name, nullptr};
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(kTool.Main(c.run, 1, argv), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.stderrText);
  }
}

}  // namespace
