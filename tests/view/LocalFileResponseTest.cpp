#include "view/LocalFileResponse.h"

#include <gtest/gtest.h>

#include "util/Strings.h"

TEST(LocalFileResponse, IsFileUriLooksAtTheFirstSevenCharactersWithoutRegardToCase) {
  for (const char16_t* uri : {u"file:///a", u"FILE:///a", u"FiLe://host/a", u"file://"}) EXPECT_TRUE(IsFileUri(uri));
  for (const char16_t* uri : {u"file:/", u"", u"file:\\\\a", u"http://a/b.html", u" file:///a", u"fil\u0435:///a"}) {
    EXPECT_FALSE(IsFileUri(uri)) << WideToUtf8(uri);
  }
}

TEST(LocalFileResponse, EveryAnswerCarriesTheIsolationHeadersAndTheTypeChosenByTheEndOfThePath) {
  const std::u16string isolation(kIsolationHeaders);
  EXPECT_EQ(isolation, u"Cross-Origin-Embedder-Policy: require-corp\nCross-Origin-Opener-Policy: same-origin\n"
                       u"Cross-Origin-Resource-Policy: cross-origin\n");
  const struct { const char16_t* uri; const char16_t* line; } cases[] = {
      {u"file:///a/index.html", u"Content-Type: text/html\n"}, {u"file:///a/main.js", u"Content-Type: text/javascript\n"},
      {u"file:///a/data.json", u"Content-Type: application/json\n"}, {u"file:///a/style.css", u"Content-Type: text/css\n"},
      {u"file:///a/mod.wasm", u"Content-Type: application/wasm\n"}, {u"file:///a/pic.svg", u"Content-Type: image/svg+xml\n"},
      {u"FILE:///A/MAIN.JS", u"Content-Type: text/javascript\n"}, {u"file:///a/INDEX.HtMl", u"Content-Type: text/html\n"},
      {u"file:///a/page.htm", u""}, {u"file:///a/mod.mjs", u""}, {u"file:///a/img.png", u""}, {u"file:///a/js", u""},
      // The end of the path counts: a query or fragment after the name does not hide it, nor lend its own.
      {u"file:///a/app.wasm?v=2", u"Content-Type: application/wasm\n"}, {u"file:///a/index.html#top", u"Content-Type: text/html\n"},
      {u"file:///a/data.json?v=2#x", u"Content-Type: application/json\n"}, {u"file:///a/x.css#a?b.js", u"Content-Type: text/css\n"},
      {u"file:///a/x?y=.html", u""}, {u"file:///a/x#.js", u""}, {u"file:///a/x.js.map?.js", u""},
      {u"js", u""}, {u"", u""}, {u"?.js", u""}, {u".js", u"Content-Type: text/javascript\n"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ContentTypeLineForUri(c.uri), std::u16string_view(c.line)) << WideToUtf8(c.uri);
    EXPECT_EQ(ResponseHeadersForUri(c.uri), isolation + c.line);
  }
}
