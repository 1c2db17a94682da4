#include "util/FailureLog.h"

// GCC 12 warns about designated initializers that leave members to their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "com/HResult.h"
#include "tests/util/ScopedDebugOutputCapture.h"

namespace {

using testing::HasSubstr;

const void* const kCaller = reinterpret_cast<const void*>(std::uintptr_t{0xABC});

TEST(FormatFailureLineTest, BuildsTheLinePieceByPiece) {
  // "@" stands for "<module>!<null return address>: ".
  const struct { FailureRecord record; std::string expected; } cases[] = {
      {{.hr = E_FAIL, .function = "F"}, "@ReturnHr(3) tid(1a2b) 80004005 Unspecified error    [F]\n"},
      {{.hr = E_FAIL, .message = u"bad \u00E9"}, "@ReturnHr(3) tid(1a2b) 80004005 Unspecified error    Msg:[bad \xC3\xA9] \n"},
      {{.hr = static_cast<HRESULT>(0x80070002u), .file = "V", .line = 5, .function = "Run", .code = "hr", .message = u"m",
        .callContext = "ctx", .callerAddress = kCaller},
       "V(5)\\@(caller: 0000000000000ABC) ReturnHr(3) tid(1a2b) 80070002 The system cannot find the file specified."
       "    Msg:[m] CallContext:[ctx] [Run(hr)]\n"},
      // A code without a function is not printed; an unknown code has no text.
      {{.hr = E_FAIL, .code = "hr"}, "@ReturnHr(3) tid(1a2b) 80004005 Unspecified error\n"},
      {{.hr = static_cast<HRESULT>(0x0000000Au)}, "@ReturnHr(3) tid(1a2b) 0000000A \n"}};
  const std::string at = std::string(program_invocation_short_name) + "!0000000000000000: ";
  for (auto c : cases) {
    c.expected.replace(c.expected.find('@'), 1, at);
    EXPECT_EQ(FormatFailureLine(c.record, 3, 0x1a2b), c.expected);
  }
}

// (An address in the executable is named in the line ReportFailure writes
// below, no address in the lines FormatFailureLine builds above.)
TEST(ModuleNameForAddressTest, NamesTheLibraryOfTheAddress) {
  EXPECT_THAT(ModuleNameForAddress(reinterpret_cast<const void*>(&::getpid)), testing::StartsWith("libc"));
}

TEST(ReportFailureTest, CountsOnEveryThreadAndWritesOneLineWithTheCallersAddressWhenSwitchedOn) {
  ScopedDebugOutputCapture capture;
  const int before = FailureCount();
  EXPECT_EQ(LogFailure(E_FAIL, "View", 42, "Handler", u"details"), E_FAIL);
  EXPECT_EQ(FailureCount(), before + 1);
  ASSERT_EQ(capture.Lines().size(), 1u);
  EXPECT_THAT(capture.Lines()[0], testing::MatchesRegex("View\\(42\\)\\\\" + std::string(program_invocation_short_name) +
                                                        "![0-9A-F]{16}: ReturnHr\\(" + std::to_string(before + 1) +
                                                        "\\) tid\\([0-9a-f]+\\) 80004005 Unspecified error    "
                                                        "Msg:\\[details\\] \\[Handler\\]\n"));
  // The return address lies inside this test program, so it is not null.
  EXPECT_THAT(capture.Lines()[0], testing::Not(HasSubstr("!0000000000000000:")));
  if (IsDebuggerAttached()) GTEST_SKIP() << "a debugger switches the output on";
  ScopedDebugOutputCapture off(nullptr);
  std::vector<std::jthread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back([] { for (int i = 0; i < 500; ++i) LogFailure(E_FAIL, "V", 1, "F"); });
  threads.clear();  // joins them
  EXPECT_EQ(FailureCount(), before + 2001);
  EXPECT_TRUE(off.Lines().empty());
}

TEST(ReportFailureDeathTest, SuccessCodeEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(LogFailure(S_OK, "View", 1, "F"), "");
  EXPECT_DEATH(ReportFailure(FailureRecord{.hr = 0x7FFFFFFF}), "");
}

}  // namespace
