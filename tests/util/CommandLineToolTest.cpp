#include "util/CommandLineTool.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr CommandLineTool kTool("tool");

// A helper's status passes through; what it reports and what escapes it end
// as one line on standard error, an escaped exception with status 1.
TEST(CommandLineToolTest, PassesTheStatusOnAndReportsFailuresAndEscapedExceptionsAsOneLine) {
  const struct {
    const char* label;
    CommandLineTool::RunFunction run;
    int status;
    const char* stderrText;
  } cases[] = {
      {"success", [](int argc, char**) { return argc - 3; }, 0, ""},
      {"reported failure", [](int, char** argv) { return kTool.Fail(2, argv[1]); }, 2, "tool: bad switch\n"},
      {"exception", [](int, char**) -> int { throw std::runtime_error("out of memory"); }, 1, "tool: out of memory\n"},
      {"anything thrown", [](int, char**) -> int { throw 7; }, 1, "tool: unexpected failure\n"},
  };
  char name[] = "tool", argument[] = "bad switch", extra[] = "x";
  char* argv[] = {name, argument, extra, nullptr};
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    const int status = kTool.Main(c.run, 3, argv);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.stderrText) << c.label;
    EXPECT_EQ(status, c.status) << c.label;
  }
}

}  // namespace
