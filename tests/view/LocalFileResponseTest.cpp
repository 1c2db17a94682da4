#include "view/LocalFileResponse.h"

#include <gtest/gtest.h>

#include "util/Strings.h"

TEST(LocalFileResponse, IsFileUriLooksAtTheFirstSevenCharactersWithoutRegardToCase) {
  for (const char16_t* uri : {u"FiLe://host/a", u"file://"}) EXPECT_TRUE(IsFileUri(uri));
  for (const char16_t* uri : {u"file:/", u"http://a/b.html", u" file:///a", u"fil\u0435:///a"})
    EXPECT_FALSE(IsFileUri(uri)) << WideToUtf8(uri);
}

TEST(LocalFileResponse, EveryAnswerCarriesTheIsolationHeadersAndTheTypeChosenByTheEndOfThePath) {
  // Each type's line and the isolation headers as sent are followed in the GUI test "demo_gui".
  const struct { const char16_t* uri; const char16_t* line; } cases[] = {
      {u"FILE:///A/MAIN.JS", u"Content-Type: text/javascript\n"}, {u"file:///a/page.htm", u""}, {u"file:///a/js", u""},
      // The end of the path counts: a query or fragment after the name does not hide it, nor lend its own.
      {u"file:///a/app.wasm?v=2", u"Content-Type: application/wasm\n"}, {u"file:///a/x.css#a?b.js", u"Content-Type: text/css\n"},
      {u"file:///a/x?y=.html", u""}, {u"file:///a/x#.js", u""}, {u"", u""}, {u".js", u"Content-Type: text/javascript\n"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ContentTypeLineForUri(c.uri), std::u16string_view(c.line)) << WideToUtf8(c.uri);
    EXPECT_EQ(ResponseHeadersForUri(c.uri), std::u16string(kIsolationHeaders) + c.line);
  }
}
