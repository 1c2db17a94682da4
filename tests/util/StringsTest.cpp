#include "util/Strings.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using namespace std::string_view_literals;

struct Utf8Case {
  const char* label;
  std::string_view utf8;
  std::u16string_view wide;
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.label; }

class Utf8ToWideTest : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToWideTest, Converts) {
  EXPECT_EQ(Utf8ToWide(GetParam().utf8), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Valid, Utf8ToWideTest,
    testing::Values(Utf8Case{"empty", ""sv, u""sv}, Utf8Case{"ascii", "settings.json"sv, u"settings.json"sv},
                    Utf8Case{"two-byte", "caf\xC3\xA9"sv, u"caf\u00E9"sv},
                    Utf8Case{"three-byte", "\xE8\xA8\xAD\xE5\xAE\x9A"sv, u"\u8A2D\u5B9A"sv},
                    Utf8Case{"supplementary", "a\xF0\x9F\x98\x80z"sv, u"a\xD83D\xDE00z"sv},
                    Utf8Case{"largest", "\xF4\x8F\xBF\xBF"sv, u"\xDBFF\xDFFF"sv},
                    Utf8Case{"last one-byte", "\x7F"sv, u"\x7F"sv}, Utf8Case{"first two-byte", "\xC2\x80"sv, u"\x80"sv},
                    Utf8Case{"last two-byte", "\xDF\xBF"sv, u"\x7FF"sv},
                    Utf8Case{"first three-byte", "\xE0\xA0\x80"sv, u"\x800"sv},
                    Utf8Case{"below surrogates", "\xED\x9F\xBF"sv, u"\xD7FF"sv},
                    Utf8Case{"above surrogates", "\xEE\x80\x80"sv, u"\xE000"sv},
                    Utf8Case{"last three-byte", "\xEF\xBF\xBF"sv, u"\xFFFF"sv},
                    Utf8Case{"first four-byte", "\xF0\x90\x80\x80"sv, u"\xD800\xDC00"sv},
                    Utf8Case{"byte-order mark kept", "\xEF\xBB\xBFx"sv, u"\xFEFFx"sv}));

INSTANTIATE_TEST_SUITE_P(
    CutAtNul, Utf8ToWideTest,
    testing::Values(Utf8Case{"middle", "ab\0cd"sv, u"ab"sv}, Utf8Case{"first", "\0abc"sv, u""sv},
                    Utf8Case{"invalid after nul is never looked at", "ab\0\xFF"sv, u"ab"sv}));

INSTANTIATE_TEST_SUITE_P(
    Invalid, Utf8ToWideTest,
    testing::Values(Utf8Case{"overlong slash two-byte", "\xC0\xAF"sv, u""sv},
                    Utf8Case{"overlong C1", "\xC1\xBF"sv, u""sv},
                    Utf8Case{"overlong three-byte", "a\xE0\x80\xAF"sv, u""sv},
                    Utf8Case{"overlong four-byte", "\xF0\x80\x80\xAF"sv, u""sv},
                    Utf8Case{"high surrogate", "\xED\xA0\x80"sv, u""sv},
                    Utf8Case{"low surrogate", "x\xED\xBF\xBF"sv, u""sv},
                    Utf8Case{"surrogate pair as two sequences", "\xED\xA0\xBD\xED\xB8\x80"sv, u""sv},
                    Utf8Case{"above U+10FFFF", "\xF4\x90\x80\x80"sv, u""sv},
                    Utf8Case{"truncated two-byte", "ab\xC3"sv, u""sv},
                    Utf8Case{"truncated three-byte", "\xE6\x97"sv, u""sv},
                    Utf8Case{"truncated four-byte", "\xF0\x9F\x98"sv, u""sv},
                    Utf8Case{"truncated before nul", "\xE6\x97\0x"sv, u""sv},
                    Utf8Case{"bad continuation", "\xC3\x28"sv, u""sv},
                    Utf8Case{"lone continuation", "\x80"sv, u""sv}, Utf8Case{"F5", "\xF5\x80\x80\x80"sv, u""sv},
                    Utf8Case{"F7", "\xF7\xBF\xBF\xBF"sv, u""sv}, Utf8Case{"F8", "\xF8\x88\x80\x80\x80"sv, u""sv},
                    Utf8Case{"FC", "\xFC\x84\x80\x80\x80\x80"sv, u""sv}, Utf8Case{"FE", "\xFE"sv, u""sv},
                    Utf8Case{"FF", "ok\xFF"sv, u""sv}));

struct WideCase {
  const char* label;
  std::u16string_view wide;
  std::string_view utf8;
};

void PrintTo(const WideCase& c, std::ostream* os) { *os << c.label; }

class WideToUtf8Test : public testing::TestWithParam<WideCase> {};

TEST_P(WideToUtf8Test, Converts) { EXPECT_EQ(WideToUtf8(GetParam().wide), GetParam().utf8); }

INSTANTIATE_TEST_SUITE_P(
    Table, WideToUtf8Test,
    testing::Values(WideCase{"empty", u""sv, ""sv}, WideCase{"ascii", u"/home/a b"sv, "/home/a b"sv},
                    WideCase{"two-byte", u"\x80\x7FF"sv, "\xC2\x80\xDF\xBF"sv},
                    WideCase{"three-byte", u"\x800\xFFFF"sv, "\xE0\xA0\x80\xEF\xBF\xBF"sv},
                    WideCase{"pair", u"\xD83D\xDE00"sv, "\xF0\x9F\x98\x80"sv},
                    WideCase{"largest pair", u"\xDBFF\xDFFF"sv, "\xF4\x8F\xBF\xBF"sv},
                    WideCase{"lone high", u"a\xD800z"sv, "a\xEF\xBF\xBDz"sv},
                    WideCase{"high at end", u"a\xD800"sv, "a\xEF\xBF\xBD"sv},
                    WideCase{"lone low", u"\xDC00"sv, "\xEF\xBF\xBD"sv},
                    WideCase{"reversed pair", u"\xDC00\xD800"sv, "\xEF\xBF\xBD\xEF\xBF\xBD"sv},
                    WideCase{"two highs then low", u"\xD800\xD800\xDC00"sv, "\xEF\xBF\xBD\xF0\x90\x80\x80"sv},
                    WideCase{"embedded nul kept", u"a\0b"sv, "a\0b"sv}));

TEST(StringsRoundTripTest, EveryScalarValueSurvivesBothDirections) {
  for (char32_t c = 1; c <= 0x10FFFF; c += (c < 0x3000 ? 1 : 97)) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::u16string wide;
    if (c >= 0x10000) {
      wide += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      wide += static_cast<char16_t>(c);
    }
    const std::string utf8 = WideToUtf8(wide);
    ASSERT_EQ(Utf8ToWide(utf8), wide) << "code point " << static_cast<std::uint32_t>(c);
  }
}

}  // namespace
