#include "util/FormatMessageWithHResult.h"

#include <gtest/gtest.h>

#include <string_view>

#include "com/HResult.h"
#include "util/Strings.h"

namespace {

using namespace std::string_view_literals;

struct FormatCase {
  const char* label;
  std::u16string_view text;
  std::uint32_t hr;
  std::u16string_view expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.label; }

class FormatMessageWithHResultTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatMessageWithHResultTest, Expands) {
  const auto& c = GetParam();
  const std::u16string result = FormatMessageWithHResult(c.text, static_cast<HRESULT>(c.hr));
  EXPECT_EQ(result, c.expected) << WideToUtf8(result);
}

INSTANTIATE_TEST_SUITE_P(
    HexInsert, FormatMessageWithHResultTest,
    testing::Values(
        FormatCase{"settings message", u"設定ファイルを読み込めません : 0x%1!x!"sv,
                   0x80070002u, u"設定ファイルを読み込めません : 0x80070002"sv},
        FormatCase{"lower case digits", u"0x%1!x!"sv, 0x8007000Eu, u"0x8007000e"sv},
        FormatCase{"no leading zeros", u"0x%1!x!"sv, 0x00000ABCu, u"0xabc"sv},
        FormatCase{"zero", u"0x%1!x!"sv, 0u, u"0x0"sv},
        FormatCase{"all bits", u"0x%1!x!"sv, 0xFFFFFFFFu, u"0xffffffff"sv},
        FormatCase{"insert at start", u"%1!x! failed"sv, 0x80004005u, u"80004005 failed"sv},
        FormatCase{"inserted twice", u"%1!x!/%1!x!"sv, 0x1u, u"1/1"sv},
        FormatCase{"upper case", u"0x%1!X!"sv, 0x8007000Eu, u"0x8007000E"sv},
        FormatCase{"unsigned", u"%1!u!"sv, 0x80004005u, u"2147500037"sv},
        FormatCase{"signed", u"%1!d!"sv, 0x80004005u, u"-2147467259"sv},
        FormatCase{"signed positive", u"%1!d!"sv, 42u, u"42"sv},
        FormatCase{"signed minimum", u"%1!d!"sv, 0x80000000u, u"-2147483648"sv}));

INSTANTIATE_TEST_SUITE_P(
    Escapes, FormatMessageWithHResultTest,
    testing::Values(FormatCase{"percent", u"100%% 0x%1!x!"sv, 0x5u, u"100% 0x5"sv},
                    FormatCase{"line feed", u"a%nb"sv, 0u, u"a\nb"sv},
                    FormatCase{"carriage return and tab", u"a%rb%tc"sv, 0u, u"a\rb\tc"sv},
                    FormatCase{"space, stop and bang", u"%.%!% "sv, 0u, u".! "sv},
                    FormatCase{"%0 ends the text", u"a%0b%1!x!"sv, 0x5u, u"a"sv},
                    FormatCase{"plain text", u"no inserts"sv, 0x5u, u"no inserts"sv},
                    FormatCase{"empty", u""sv, 0x5u, u""sv}));

INSTANTIATE_TEST_SUITE_P(
    LeftAsWritten, FormatMessageWithHResultTest,
    testing::Values(FormatCase{"second insert", u"%2!x!"sv, 0x5u, u"%2!x!"sv},
                    FormatCase{"insert twelve", u"%12!x!"sv, 0x5u, u"%12!x!"sv},
                    FormatCase{"string insert", u"%1"sv, 0x5u, u"%1"sv},
                    FormatCase{"unknown type", u"%1!q!"sv, 0x5u, u"%1!q!"sv},
                    FormatCase{"unterminated", u"0x%1!x"sv, 0x5u, u"0x%1!x"sv},
                    FormatCase{"trailing percent", u"50%"sv, 0x5u, u"50%"sv},
                    FormatCase{"unknown escape", u"%z"sv, 0x5u, u"%z"sv}));

}  // namespace
