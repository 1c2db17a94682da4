#include "util/FormatMessageWithHResult.h"

#include <gtest/gtest.h>

#include "util/Strings.h"

TEST(FormatMessageWithHResultTest, ExpandsTheInsertAndEscapesAndLeavesTheRestAsWritten) {
  const struct { const char16_t* text; std::uint32_t hr; const char16_t* expected; } cases[] = {
      // Lower case, no leading zeros; upper case, unsigned and signed forms. (The program's own messages
      // with their codes are checked by the application's start-up tests.)
      {u"0x%1!x!", 0x8007000Eu, u"0x8007000e"}, {u"0x%1!x!", 0u, u"0x0"}, {u"%1!x!/%1!x!", 0x1u, u"1/1"},
      {u"0x%1!X!", 0x8007000Eu, u"0x8007000E"}, {u"%1!u!", 0x80004005u, u"2147500037"},
      {u"%1!d!", 0x80004005u, u"-2147467259"}, {u"%1!d!", 42u, u"42"}, {u"%1!d!", 0x80000000u, u"-2147483648"},
      // Escapes; %0 ends the text.
      {u"100%% 0x%1!x!", 0x5u, u"100% 0x5"}, {u"a%nb%rc%td", 0u, u"a\nb\rc\td"}, {u"%.%!% ", 0u, u".! "},
      {u"a%0b%1!x!", 0x5u, u"a"},
      // Other inserts, unknown types and broken forms stay as written.
      {u"%2!x!", 0x5u, u"%2!x!"}, {u"%12!x!", 0x5u, u"%12!x!"}, {u"%1", 0x5u, u"%1"}, {u"%1!q!", 0x5u, u"%1!q!"},
      {u"0x%1!x", 0x5u, u"0x%1!x"}, {u"50%", 0x5u, u"50%"}, {u"%z", 0x5u, u"%z"}};
  for (const auto& c : cases) {
    const std::u16string result = FormatMessageWithHResult(c.text, static_cast<HRESULT>(c.hr));
    EXPECT_EQ(result, c.expected) << WideToUtf8(c.text) << " gave " << WideToUtf8(result);
  }
}
