#include "loader/WideStringToLong.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct Case {
  std::u16string_view text;
  std::int32_t value;
  std::size_t consumed;
  friend void PrintTo(const Case&, std::ostream* os) { *os << "Case"; }
};

class WideStringToLongTest : public ::testing::TestWithParam<Case> {};

TEST_P(WideStringToLongTest, ConvertsTheLeadingInteger) {
  const Case& c = GetParam();
  std::size_t consumed = 99;
  EXPECT_EQ(WideStringToLong(c.text, &consumed), c.value);
  EXPECT_EQ(consumed, c.consumed);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WideStringToLongTest,
    ::testing::Values(Case{u"0", 0, 1}, Case{u"1", 1, 1}, Case{u"42abc", 42, 2}, Case{u"  \t\n7", 7, 5},
                      Case{u"\v\f\r9", 9, 4}, Case{u"+5", 5, 2}, Case{u"-5", -5, 2}, Case{u"007", 7, 3},
                      // No digit: nothing consumed, not even the space or the sign.
                      Case{u"", 0, 0}, Case{u"x", 0, 0}, Case{u"  ", 0, 0}, Case{u"-", 0, 0}, Case{u" +x", 0, 0},
                      Case{u"+-1", 0, 0},
                      // A no-break space is not white space here.
                      Case{u"\u00A01", 0, 0},
                      // Full-width digits are not digits.
                      Case{u"\uFF11", 0, 0},
                      // The 32-bit limits and saturation beyond them.
                      Case{u"2147483647", 2147483647, 10}, Case{u"2147483648", 2147483647, 10},
                      Case{u"-2147483648", -2147483647 - 1, 11}, Case{u"-2147483649", -2147483647 - 1, 11},
                      Case{u"99999999999999999999999", 2147483647, 23},
                      Case{u"-99999999999999999999999", -2147483647 - 1, 24}, Case{u"1.5", 1, 1},
                      Case{u"12,3", 12, 2}));

TEST(WideStringToLongNullConsumed, AcceptsNoCountPointer) { EXPECT_EQ(WideStringToLong(u"12"), 12); }

}  // namespace
