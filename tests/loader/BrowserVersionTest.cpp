#include "loader/BrowserVersion.h"

#include <gtest/gtest.h>

#include <ostream>

#include "loader/RuntimeLoader.h"

namespace {

struct ParseCase {
  std::u16string_view text;
  std::optional<std::array<std::uint32_t, 4>> components;
  friend void PrintTo(const ParseCase&, std::ostream* os) { *os << "ParseCase"; }
};

class BrowserVersionParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(BrowserVersionParseTest, ReadsByTheVersionRule) {
  const ParseCase& c = GetParam();
  const auto version = BrowserVersion::Parse(c.text);
  ASSERT_EQ(version.has_value(), c.components.has_value());
  if (version) {
    EXPECT_EQ(version->components, *c.components);
  }
}

using C = std::array<std::uint32_t, 4>;
INSTANTIATE_TEST_SUITE_P(
    Rules, BrowserVersionParseTest,
    ::testing::Values(ParseCase{u"86.0.616.0", C{86, 0, 616, 0}}, ParseCase{u"100", C{100, 0, 0, 0}},
                      ParseCase{u"1.x", C{1, 0, 0, 0}}, ParseCase{u"1..2", C{1, 0, 2, 0}},
                      ParseCase{u"1.2.3.4.5", C{1, 2, 3, 4}}, ParseCase{u"1.2.3.4x", C{1, 2, 3, 4}},
                      ParseCase{u" 7. 8", C{7, 8, 0, 0}}, ParseCase{u"1.2.", C{1, 2, 0, 0}},
                      ParseCase{u"-1.0", C{0xFFFFFFFFu, 0, 0, 0}},
                      ParseCase{u"5000000000.1", C{2147483647u, 1, 0, 0}},
                      ParseCase{u"130.0.2839.0 beta", C{130, 0, 2839, 0}}, ParseCase{u"", std::nullopt},
                      ParseCase{u"x.1", std::nullopt}, ParseCase{u".1", std::nullopt},
                      ParseCase{u"EBWebView", std::nullopt}, ParseCase{u"-", std::nullopt}));

TEST(BrowserVersionOrder, ComparesComponentsFromTheFirstAndUnsigned) {
  EXPECT_LT(*BrowserVersion::Parse(u"86.0.615.99"), kMinimumBrowserVersion);
  EXPECT_EQ(*BrowserVersion::Parse(u"86.0.616.0"), kMinimumBrowserVersion);
  EXPECT_GT(*BrowserVersion::Parse(u"86.1"), kMinimumBrowserVersion);
  EXPECT_GT(*BrowserVersion::Parse(u"87"), *BrowserVersion::Parse(u"86.9999.9999.9999"));
  // Negative numbers become large unsigned components.
  EXPECT_GT(*BrowserVersion::Parse(u"-1"), *BrowserVersion::Parse(u"2147483647"));
}

struct CompareCase {
  const char16_t* first;
  const char16_t* second;
  HRESULT hr;
  int result;
  friend void PrintTo(const CompareCase&, std::ostream* os) { *os << "CompareCase"; }
};

class CompareBrowserVersionsTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareBrowserVersionsTest, GivesOrderOrFailure) {
  const CompareCase& c = GetParam();
  int result = 42;
  EXPECT_EQ(CompareBrowserVersions(c.first, c.second, &result), c.hr);
  EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareBrowserVersionsTest,
    ::testing::Values(CompareCase{u"100.0.1", u"100.0.1.0", S_OK, 0}, CompareCase{u"99.1", u"100", S_OK, -1},
                      CompareCase{u"100", u"99.1", S_OK, 1}, CompareCase{u"1.2.3.5", u"1.2.3.4", S_OK, 1},
                      // Failures leave the result untouched.
                      CompareCase{nullptr, u"1", E_INVALIDARG, 42}, CompareCase{u"1", nullptr, E_INVALIDARG, 42},
                      CompareCase{u"abc", u"1", E_INVALIDARG, 42}, CompareCase{u"1", u"", E_INVALIDARG, 42}));

TEST(CompareBrowserVersionsPointer, NullResultIsEPointer) {
  EXPECT_EQ(CompareBrowserVersions(u"1", u"2", nullptr), E_POINTER);
}

}  // namespace
