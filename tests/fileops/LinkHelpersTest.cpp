// The small rules the link policy decides with: the extension key of a
// path, the path of a file URL and the scheme of an address.
#include <gtest/gtest.h>

#include "fileops/GetExtensionKey.h"
#include "fileops/GetPathFromUrl.h"
#include "fileops/ParseUrlScheme.h"
#include "util/Strings.h"

namespace {

struct ExtensionRow {
  std::u16string path;
  std::u16string key;
};

class ExtensionKeyTest : public ::testing::TestWithParam<ExtensionRow> {};

TEST_P(ExtensionKeyTest, KeyOfPath) { EXPECT_EQ(GetExtensionKey(GetParam().path), GetParam().key); }

INSTANTIATE_TEST_SUITE_P(
    Rows, ExtensionKeyTest,
    ::testing::Values(ExtensionRow{u"/d/Report.PDF", u".pdf"},            // ASCII letters lower-cased
                      ExtensionRow{u"/d/archive.tar.GZ", u".gz"},         // the last dot only
                      ExtensionRow{u"/d/README", u""},                    // no extension
                      ExtensionRow{u"/d.x/README", u""},                  // a dot in a folder is no extension
                      ExtensionRow{u"/d/.openfolder", u".openfolder"},    // all extension
                      ExtensionRow{u"/d/a.b c", u""},                     // a space ends it
                      ExtensionRow{u"/d/a b.txt", u".txt"},               // a space before the dot does not
                      ExtensionRow{u"/d/name.", u"."},                    // a lone dot
                      ExtensionRow{u"/d/\u8CC7\u6599.\uFF30DF", u".\uFF30df"},  // full-width letters stay
                      ExtensionRow{u"/d/caf\u00C9.\u00C9X", u".\u00C9x"}));     // accented letters stay

// Which addresses decode is the shared decoder's business; this only checks
// that a refused address gives the empty path the link policy tests for.
TEST(LinkHelpersTest, PathFromUrlUsesTheSharedDecoderAndIsEmptyOnFailure) {
  EXPECT_EQ(GetPathFromUrl(u"file:///home/a/b%20c.PDF?x#y"), u"/home/a/b c.PDF");
  EXPECT_EQ(GetPathFromUrl(u"file://server/share/a.pdf"), u"");
}

TEST(LinkHelpersTest, SchemeIsTheTextBeforeTheColonAsWritten) {
  struct Row {
    std::u16string url;
    HRESULT hr;
    std::u16string scheme;
  };
  const Row rows[] = {
      {u"file:///a", S_OK, u"file"},         {u"HTTPS://x", S_OK, u"HTTPS"},
      {u"mailto:a@b", S_OK, u"mailto"},      {u"javascript:void(0)", S_OK, u"javascript"},
      {u"view-source+x.y:z", S_OK, u"view-source+x.y"},
      {u"page.html", E_INVALIDARG, u""},     {u":x", E_INVALIDARG, u""},
      {u"1a:b", E_INVALIDARG, u""},          {u"a b:c", E_INVALIDARG, u""},
      {u"", E_INVALIDARG, u""},
  };
  for (const Row& row : rows) {
    std::u16string scheme;
    EXPECT_EQ(ParseUrlScheme(row.url, scheme), row.hr) << WideToUtf8(row.url);
    EXPECT_EQ(scheme, row.scheme) << WideToUtf8(row.url);
  }
}

}  // namespace
