// '&' mnemonics become the toolkit's '_' ones without changing what the
// user reads: a literal ampersand or underscore must survive as itself.
#include "platform/MnemonicLabel.h"

#include <gtest/gtest.h>

namespace {

TEST(MnemonicLabelTest, MarksBecomeUnderscoresAndLiteralsSurvive) {
  const struct {
    std::u16string_view text;
    std::u16string_view label;
  } rows[] = {
      {u"&About...", u"_About..."},
      {u"Save &As", u"Save _As"},
      {u"R&&D", u"R&D"},                // a doubled ampersand is one literal ampersand
      {u"&&&x", u"&_x"},                // a pair first, then a mark
      {u"snake_case", u"snake__case"},  // a literal underscore is doubled
      {u"&_", u"___"},
      {u"設定(&S)", u"設定(_S)"},
      {u"", u""},
  };
  for (const auto& row : rows)
    EXPECT_EQ(MnemonicLabel(row.text), row.label) << "row " << (&row - rows);
}

}  // namespace
