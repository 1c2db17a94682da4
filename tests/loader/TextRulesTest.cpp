// The text rules the loader reads settings and versions with: the integer
// conversion, and the version rule through the comparison. (The release-channel
// list is read in the request builder's tests.)
#include <gtest/gtest.h>

#include "loader/RuntimeLoader.h"
#include "loader/WideStringToLong.h"
#include "util/Strings.h"

namespace {

TEST(WideStringToLong, ConvertsTheLeadingIntegerAndSaturates) {
  struct Case { std::u16string_view text; std::int32_t value; std::size_t consumed; };
  const Case cases[] = {
      {u"42abc", 42, 2}, {u" \t\n\v\f\r7", 7, 7}, {u"+5", 5, 2}, {u"-5", -5, 2}, {u"-2147483648", -2147483647 - 1, 11},
      // No digit: nothing consumed, not even the space or the sign.
      {u"", 0, 0}, {u" +x", 0, 0}, {u"+-1", 0, 0}, {u"\u00A01", 0, 0}, {u"\uFF11", 0, 0},
      // Beyond the limits the value saturates and every digit is consumed.
      {u"2147483647", 2147483647, 10}, {u"2147483648", 2147483647, 10}, {u"-99999999999999999999999", -2147483647 - 1, 24},
  };
  for (const Case& c : cases) {
    std::size_t consumed = 99;
    EXPECT_EQ((std::pair{WideStringToLong(c.text, &consumed), consumed}), std::pair(c.value, c.consumed)) << WideToUtf8(c.text);
  }
}

TEST(BrowserVersion, ComparesComponentsFromTheFirstAndUnsigned) {
  struct Case { const char16_t* first; const char16_t* second; HRESULT hr; int result; };
  const Case cases[] = {
      {u"100.0.1", u"100.0.1.0", S_OK, 0}, {u"99.1", u"100", S_OK, -1}, {u"1.2.3.5", u"1.2.3.4", S_OK, 1},
      {u"87", u"86.9999.9999.9999", S_OK, 1}, {u"-1", u"2147483647", S_OK, 1},
      // The version rule: up to four numbers; text after a number that is not a dot ends the version.
      {u"1", u"1.x", S_OK, 0}, {u"1..2", u"1.0.2", S_OK, 0}, {u"1.2.3.4.5", u"1.2.3.4", S_OK, 0},
      // Failures leave the result untouched.
      {nullptr, u"1", E_INVALIDARG, 42}, {u"1", nullptr, E_INVALIDARG, 42}, {u"x.1", u"1", E_INVALIDARG, 42},
      {u"1", u"", E_INVALIDARG, 42},
  };
  for (const Case& c : cases) {
    int result = 42;
    EXPECT_EQ((std::pair{CompareBrowserVersions(c.first, c.second, &result), result}), std::pair(c.hr, c.result))
        << WideToUtf8(c.first ? c.first : u"null") << " vs " << WideToUtf8(c.second ? c.second : u"null");
  }
  EXPECT_EQ(CompareBrowserVersions(u"1", u"2", nullptr), E_POINTER);
}

}  // namespace
