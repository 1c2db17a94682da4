#include "view/LocalFileResponse.h"

#include <gtest/gtest.h>

#include "util/Strings.h"

TEST(LocalFileResponse, IsFileUriLooksAtTheFirstSevenCharactersWithoutRegardToCase) {
  for (const char16_t* uri : {u"file:///a", u"FILE:///a", u"FiLe://host/a", u"file://"}) EXPECT_TRUE(IsFileUri(uri));
  for (const char16_t* uri : {u"file:/", u"", u"file:\\\\a", u"http://a/b.html", u" file:///a", u"fil\u0435:///a"}) {
    EXPECT_FALSE(IsFileUri(uri)) << WideToUtf8(uri);
  }
}

TEST(LocalFileResponse, EveryAnswerCarriesTheIsolationHeadersAndTheTypeChosenByTheEndOfTheWholeAddress) {
  const std::u16string isolation(kIsolationHeaders);
  EXPECT_EQ(isolation, u"Cross-Origin-Embedder-Policy: require-corp\nCross-Origin-Opener-Policy: same-origin\n"
                       u"Cross-Origin-Resource-Policy: cross-origin\n");
  const struct { const char16_t* uri; const char16_t* line; } cases[] = {
      {u"file:///a/index.html", u"Content-Type: text/html\n"}, {u"file:///a/main.js", u"Content-Type: text/javascript\n"},
      {u"file:///a/data.json", u"Content-Type: application/json\n"}, {u"file:///a/style.css", u"Content-Type: text/css\n"},
      {u"file:///a/mod.wasm", u"Content-Type: application/wasm\n"}, {u"file:///a/pic.svg", u"Content-Type: image/svg+xml\n"},
      {u"FILE:///A/MAIN.JS", u"Content-Type: text/javascript\n"}, {u"file:///a/INDEX.HtMl", u"Content-Type: text/html\n"},
      {u"file:///a/page.htm", u""}, {u"file:///a/mod.mjs", u""}, {u"file:///a/js", u""},
      // Only the end counts: a query or fragment gives none, and a name that only ends like one gives it.
      {u"file:///a/index.html?v=2", u""}, {u"file:///a/index.html#top", u""}, {u"", u""},
      {u"file:///a/x?y=.html", u"Content-Type: text/html\n"}, {u".js", u"Content-Type: text/javascript\n"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ContentTypeLineForUri(c.uri), std::u16string_view(c.line)) << WideToUtf8(c.uri);
    EXPECT_EQ(ResponseHeadersForUri(c.uri), isolation + c.line);
  }
}
