// The small rules the link policy decides with: the extension key of a path
// and the scheme of an address. The path of a file URL is the shared
// decoder's; the view's link policy tests show what the policy makes of it.
#include <gtest/gtest.h>

#include "fileops/GetExtensionKey.h"
#include "fileops/ParseUrlScheme.h"
#include "util/Strings.h"

namespace {

TEST(LinkHelpersTest, TheExtensionKeyIsTheFileNamesLastDotOnwardWithOnlyASCIILettersLowered) {
  const std::pair<std::u16string, std::u16string> rows[] = {
      {u"/d/archive.tar.GZ", u".gz"},  {u"/d.x/README", u""},   {u"/d/.openfolder", u".openfolder"},
      {u"/d/a.b c", u""},              {u"/d/a b.txt", u".txt"}, {u"/d/name.", u"."},
      {u"/d/caf\u00C9.\u00C9X", u".\u00C9x"},
  };
  for (const auto& [path, key] : rows) EXPECT_EQ(GetExtensionKey(path), key) << WideToUtf8(path);
}

// Case is kept and "no colon" refused: the view's link policy tests show both.
TEST(LinkHelpersTest, SchemeIsTheTextBeforeTheColonWhenItIsAValidScheme) {
  const std::tuple<std::u16string, HRESULT, std::u16string> rows[] = {
      {u"view-source+x.y:z", S_OK, u"view-source+x.y"}, {u":x", E_INVALIDARG, u""}, {u"1a:b", E_INVALIDARG, u""},
      {u"a b:c", E_INVALIDARG, u""}, {u"", E_INVALIDARG, u""},
  };
  for (const auto& [url, hr, expected] : rows) {
    std::u16string scheme;
    EXPECT_EQ(ParseUrlScheme(url, scheme), hr) << WideToUtf8(url);
    EXPECT_EQ(scheme, expected) << WideToUtf8(url);
  }
}

}  // namespace
