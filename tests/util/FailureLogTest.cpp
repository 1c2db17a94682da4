#include "util/FailureLog.h"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "com/HResult.h"
#include "util/DebugOutput.h"
#include "util/ScopedDebugOutputCapture.h"

namespace {

using namespace std::string_view_literals;

const void* const kReturn = reinterpret_cast<const void*>(std::uintptr_t{0x7FF6A1B2C3D4});
const void* const kCaller = reinterpret_cast<const void*>(std::uintptr_t{0xABC});

struct LineCase {
  const char* label;
  FailureRecord record;
  std::string expectedAfterModule;  // everything after "<module>!"
  bool withFile;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.label; }

FailureRecord Record(HRESULT hr, const char* file, unsigned line, const char* function, const char* code,
                     std::u16string_view message, const char* context, const void* caller) {
  FailureRecord r;
  r.hr = hr;
  r.file = file;
  r.line = line;
  r.function = function;
  r.code = code;
  r.message = message;
  r.callContext = context;
  r.callerAddress = caller;
  r.returnAddress = nullptr;  // the module is then the program itself
  return r;
}

class FormatFailureLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(FormatFailureLineTest, BuildsTheLinePieceByPiece) {
  const auto& c = GetParam();
  const std::string module = program_invocation_short_name;
  const std::string prefix = c.withFile ? std::string(c.record.file) + "(" + std::to_string(c.record.line) + ")\\" : "";
  EXPECT_EQ(FormatFailureLine(c.record, 3, 0x1a2b), prefix + module + "!" + c.expectedAfterModule);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatFailureLineTest,
    testing::Values(
        LineCase{"file, function",
                 Record(E_FAIL, "View", 120, "OnNavigationStarting", nullptr, {}, nullptr, nullptr),
                 "0000000000000000: ReturnHr(3) tid(1a2b) 80004005 Unspecified error    [OnNavigationStarting]\n",
                 true},
        LineCase{"no file", Record(E_FAIL, nullptr, 0, "F", nullptr, {}, nullptr, nullptr),
                 "0000000000000000: ReturnHr(3) tid(1a2b) 80004005 Unspecified error    [F]\n", false},
        LineCase{"caller known",
                 Record(E_INVALIDARG, "View", 7, nullptr, nullptr, {}, nullptr, kCaller),
                 "0000000000000000: (caller: 0000000000000ABC) ReturnHr(3) tid(1a2b) 80070057 The parameter is "
                 "incorrect.\n",
                 true},
        LineCase{"function with code",
                 Record(E_POINTER, "View", 9, "OnCreate", "args->get_Uri(&uri)", {}, nullptr, nullptr),
                 "0000000000000000: ReturnHr(3) tid(1a2b) 80004003 Invalid pointer    [OnCreate(args->get_Uri(&uri))]\n",
                 true},
        LineCase{"message only", Record(E_FAIL, "View", 1, nullptr, nullptr, u"bad \u00E9", nullptr, nullptr),
                 "0000000000000000: ReturnHr(3) tid(1a2b) 80004005 Unspecified error    Msg:[bad \xC3\xA9] \n", true},
        LineCase{"context only", Record(E_FAIL, "View", 1, nullptr, nullptr, {}, "Navigate", nullptr),
                 "0000000000000000: ReturnHr(3) tid(1a2b) 80004005 Unspecified error    CallContext:[Navigate] \n",
                 true},
        LineCase{"everything",
                 Record(static_cast<HRESULT>(0x80070002u), "View", 55, "Run", "hr", u"m", "ctx", kCaller),
                 "0000000000000000: (caller: 0000000000000ABC) ReturnHr(3) tid(1a2b) 80070002 The system cannot find "
                 "the file specified.    Msg:[m] CallContext:[ctx] [Run(hr)]\n",
                 true},
        LineCase{"code without function is not printed",
                 Record(E_FAIL, "View", 2, nullptr, "hr", {}, nullptr, nullptr),
                 "0000000000000000: ReturnHr(3) tid(1a2b) 80004005 Unspecified error\n", true},
        LineCase{"unknown code has no text",
                 Record(static_cast<HRESULT>(0x8000000Au), "View", 3, nullptr, nullptr, {}, nullptr, nullptr),
                 "0000000000000000: ReturnHr(3) tid(1a2b) 8000000A \n", true},
        LineCase{"eight digits with zeros",
                 Record(static_cast<HRESULT>(0x80000001u), nullptr, 0, nullptr, nullptr, {}, nullptr, nullptr),
                 "0000000000000000: ReturnHr(3) tid(1a2b) 80000001 \n", false}));

TEST(FormatFailureLineTest, PrintsTheReturnAddressInSixteenUpperCaseDigits) {
  FailureRecord record;
  record.hr = E_FAIL;
  record.returnAddress = kReturn;
  const std::string line = FormatFailureLine(record, 1, 1);
  EXPECT_THAT(line, testing::HasSubstr("!00007FF6A1B2C3D4: ReturnHr(1) tid(1) 80004005"));
}

TEST(ModuleNameForAddressTest, NamesTheExecutableOrTheLibrary) {
  EXPECT_EQ(ModuleNameForAddress(reinterpret_cast<const void*>(&FormatFailureLine)), program_invocation_short_name);
  EXPECT_THAT(ModuleNameForAddress(reinterpret_cast<const void*>(&::getpid)), testing::StartsWith("libc"));
  EXPECT_EQ(ModuleNameForAddress(nullptr), program_invocation_short_name);
}

class ReportFailureTest : public testing::Test {};

TEST_F(ReportFailureTest, CountsAndWritesOneLine) {
  ScopedDebugOutputCapture capture;
  const int before = FailureCount();
  const HRESULT hr = LogFailure(E_FAIL, "View", 42, "Handler", u"details");
  EXPECT_EQ(hr, E_FAIL);
  EXPECT_EQ(FailureCount(), before + 1);
  ASSERT_EQ(capture.Lines().size(), 1u);

  char tid[32];
  std::snprintf(tid, sizeof tid, "%lx", static_cast<unsigned long>(::gettid()));
  const std::string expected = "View\\(42\\)\\\\" + std::string(program_invocation_short_name) +
                               "![0-9A-F]{16}: ReturnHr\\(" + std::to_string(before + 1) + "\\) tid\\(" + tid +
                               "\\) 80004005 Unspecified error    Msg:\\[details\\] \\[Handler\\]\n";
  EXPECT_TRUE(std::regex_match(capture.Lines()[0], std::regex(expected))) << capture.Lines()[0];
}

TEST_F(ReportFailureTest, RecordsAReturnAddressInsideTheCaller) {
  ScopedDebugOutputCapture capture;
  LogFailure(E_FAIL, "View", 1, "F");
  ASSERT_EQ(capture.Lines().size(), 1u);
  // The address is a code address of this test program, not null.
  EXPECT_THAT(capture.Lines()[0], testing::Not(testing::HasSubstr("!0000000000000000:")));
  EXPECT_THAT(capture.Lines()[0], testing::StartsWith("View(1)\\" + std::string(program_invocation_short_name) + "!"));
}

TEST_F(ReportFailureTest, CountsEvenWhenNothingIsWritten) {
  if (IsDebuggerAttached()) GTEST_SKIP() << "a debugger switches the output on";
  ScopedDebugOutputCapture capture(nullptr);
  const int before = FailureCount();
  EXPECT_EQ(LogFailure(E_INVALIDARG, "View", 1, "F"), E_INVALIDARG);
  EXPECT_EQ(LogFailure(E_POINTER, nullptr, 0, nullptr), E_POINTER);
  EXPECT_EQ(FailureCount(), before + 2);
  EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(ReportFailureTest, CounterIsSharedByAllThreads) {
  ScopedDebugOutputCapture capture(nullptr);
  if (IsDebuggerAttached()) GTEST_SKIP() << "a debugger switches the output on";
  const int before = FailureCount();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 500; ++i) LogFailure(E_FAIL, "View", 1, "F");
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(FailureCount(), before + 2000);
}

using ReportFailureDeathTest = ReportFailureTest;

TEST_F(ReportFailureDeathTest, SuccessCodeEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(LogFailure(S_OK, "View", 1, "F"), "");
  EXPECT_DEATH(LogFailure(S_FALSE, "View", 1, "F"), "");
  FailureRecord record;
  record.hr = 0x7FFFFFFF;
  EXPECT_DEATH(ReportFailure(record), "");
}

}  // namespace
