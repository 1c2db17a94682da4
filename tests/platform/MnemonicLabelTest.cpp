// '&' mnemonics become the toolkit's '_' ones without changing what the
// user reads: a literal ampersand or underscore must survive as itself.
#include "platform/MnemonicLabel.h"

#include <gtest/gtest.h>

namespace {

TEST(MnemonicLabelTest, MarksBecomeUnderscoresAndLiteralsSurvive) {
  // A doubled ampersand is one literal ampersand (a pair first, then a mark); a literal underscore is doubled.
  const struct { std::u16string_view text, label; } rows[] = {
      {u"Save &As", u"Save _As"}, {u"R&&D", u"R&D"}, {u"&&&x", u"&_x"}, {u"snake_case", u"snake__case"},
      {u"&_", u"___"}, {u"設定(&S)", u"設定(_S)"}};
  for (const auto& row : rows) EXPECT_EQ(MnemonicLabel(row.text), row.label) << "row " << (&row - rows);
}

}  // namespace
