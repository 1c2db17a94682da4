#include "util/Strings.h"

#include <gtest/gtest.h>

using namespace std::string_view_literals;

TEST(Utf8ToWideTest, ConvertsValidTextUpToTheFirstNulAndAnyInvalidFormToTheEmptyText) {
  // The edges of each length and of the surrogate range; what follows a NUL is never looked at.
  const struct { std::string_view utf8; std::u16string_view wide; } cases[] = {
      {"\x7F"sv, u"\x7F"sv}, {"\xC2\x80"sv, u"\x80"sv}, {"\xDF\xBF"sv, u"\x7FF"sv}, {"\xE0\xA0\x80"sv, u"\x800"sv},
      {"\xED\x9F\xBF"sv, u"\xD7FF"sv}, {"\xEE\x80\x80"sv, u"\xE000"sv}, {"\xEF\xBF\xBF"sv, u"\xFFFF"sv},
      {"\xF0\x90\x80\x80"sv, u"\xD800\xDC00"sv}, {"\xF4\x8F\xBF\xBF"sv, u"\xDBFF\xDFFF"sv}, {"ab\0\xFF"sv, u"ab"sv},
      // Overlong; surrogates and too big; truncated and bad bytes.
      {"\xC0\xAF"sv, u""sv}, {"a\xE0\x80\xAF"sv, u""sv}, {"\xF0\x80\x80\xAF"sv, u""sv},
      {"\xED\xA0\x80"sv, u""sv}, {"x\xED\xBF\xBF"sv, u""sv}, {"\xF4\x90\x80\x80"sv, u""sv},
      {"\xE6\x97"sv, u""sv}, {"\xE6\x97\0x"sv, u""sv}, {"\xC3\x28"sv, u""sv}, {"\x80"sv, u""sv},
      {"\xF8\x88\x80\x80\x80"sv, u""sv}};
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.utf8), c.wide) << testing::PrintToString(c.utf8);
}

TEST(WideToUtf8Test, ConvertsPairsAndReplacesUnpairedSurrogates) {
  const struct { std::u16string_view wide; std::string_view utf8; } cases[] = {
      {u"\x80\x7FF"sv, "\xC2\x80\xDF\xBF"sv}, {u"\x800\xFFFF"sv, "\xE0\xA0\x80\xEF\xBF\xBF"sv},
      {u"\xDBFF\xDFFF"sv, "\xF4\x8F\xBF\xBF"sv}, {u"a\xD800z"sv, "a\xEF\xBF\xBDz"sv}, {u"a\xD800"sv, "a\xEF\xBF\xBD"sv},
      {u"\xDC00\xD800"sv, "\xEF\xBF\xBD\xEF\xBF\xBD"sv}, {u"\xD800\xD800\xDC00"sv, "\xEF\xBF\xBD\xF0\x90\x80\x80"sv},
      {u"a\0b"sv, "a\0b"sv}};
  for (const auto& c : cases) EXPECT_EQ(WideToUtf8(c.wide), c.utf8) << testing::PrintToString(c.utf8);
}

TEST(TruncateUtf8Test, CutsAtTheLastWholeCharacterThatFits) {
  // "é" is two bytes, "設" three, U+1F600 four: a limit inside one drops it whole.
  const struct { std::string_view text; std::size_t max; std::string_view cut; } cases[] = {
      {"abc"sv, 2, "ab"sv}, {"a\xC3\xA9"sv, 2, "a"sv}, {"\xE8\xA8\xAD\xE5\xAE\x9A"sv, 5, "\xE8\xA8\xAD"sv},
      {"x\xF0\x9F\x98\x80"sv, 4, "x"sv}, {"x\xF0\x9F\x98\x80y"sv, 5, "x\xF0\x9F\x98\x80"sv}};
  for (const auto& c : cases) EXPECT_EQ(TruncateUtf8(std::string(c.text), c.max), c.cut) << testing::PrintToString(c.text);
}
