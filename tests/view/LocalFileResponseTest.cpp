#include "view/LocalFileResponse.h"

#include <gtest/gtest.h>

#include <string>

#include "util/Strings.h"

namespace {

TEST(LocalFileResponse, TheIsolationBlockIsThreeLinesOf126Characters) {
  EXPECT_EQ(kIsolationHeaders.size(), 126u);
  EXPECT_EQ(kIsolationHeaders,
            u"Cross-Origin-Embedder-Policy: require-corp\nCross-Origin-Opener-Policy: same-origin\n"
            u"Cross-Origin-Resource-Policy: cross-origin\n");
}

struct SchemeCase {
  const char16_t* uri;
  bool isFile;
};

class IsFileUriTest : public ::testing::TestWithParam<SchemeCase> {};

TEST_P(IsFileUriTest, LooksAtTheFirstSevenCharactersWithoutRegardToCase) {
  EXPECT_EQ(IsFileUri(GetParam().uri), GetParam().isFile) << WideToUtf8(GetParam().uri);
}

INSTANTIATE_TEST_SUITE_P(Table, IsFileUriTest,
                         ::testing::Values(SchemeCase{u"file:///a", true}, SchemeCase{u"FILE:///a", true},
                                           SchemeCase{u"FiLe://host/a", true}, SchemeCase{u"file://", true},
                                           SchemeCase{u"file:/", false}, SchemeCase{u"file:", false},
                                           SchemeCase{u"", false}, SchemeCase{u"file:\\\\a", false},
                                           SchemeCase{u"http://a/b.html", false},
                                           SchemeCase{u"data:text/html,x", false},
                                           SchemeCase{u" file:///a", false}, SchemeCase{u"fil\u0435:///a", false}));

struct TypeCase {
  const char16_t* uri;
  const char16_t* line;
};

class ContentTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ContentTypeTest, ChosenByTheEndOfTheWholeAddress) {
  const auto& c = GetParam();
  EXPECT_EQ(ContentTypeLineForUri(c.uri), std::u16string_view(c.line)) << WideToUtf8(c.uri);
  EXPECT_EQ(ResponseHeadersForUri(c.uri), std::u16string(kIsolationHeaders) + c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ContentTypeTest,
    ::testing::Values(TypeCase{u"file:///a/index.html", u"Content-Type: text/html\n"},
                      TypeCase{u"file:///a/main.js", u"Content-Type: text/javascript\n"},
                      TypeCase{u"file:///a/data.json", u"Content-Type: application/json\n"},
                      TypeCase{u"file:///a/style.css", u"Content-Type: text/css\n"},
                      TypeCase{u"file:///a/mod.wasm", u"Content-Type: application/wasm\n"},
                      TypeCase{u"file:///a/pic.svg", u"Content-Type: image/svg+xml\n"},
                      TypeCase{u"FILE:///A/MAIN.JS", u"Content-Type: text/javascript\n"},
                      TypeCase{u"file:///a/INDEX.HtMl", u"Content-Type: text/html\n"},
                      TypeCase{u"file:///a/page.htm", u""}, TypeCase{u"file:///a/mod.mjs", u""},
                      TypeCase{u"file:///a/img.png", u""}, TypeCase{u"file:///a/notes.txt", u""},
                      TypeCase{u"file:///a/index.html?v=2", u""}, TypeCase{u"file:///a/index.html#top", u""},
                      // Only the end counts, whatever came before it.
                      TypeCase{u"file:///a/x?y=.html", u"Content-Type: text/html\n"},
                      TypeCase{u"file:///a/.js", u"Content-Type: text/javascript\n"},
                      TypeCase{u"file:///a/js", u""}, TypeCase{u".js", u"Content-Type: text/javascript\n"},
                      TypeCase{u"js", u""}, TypeCase{u"", u""},
                      TypeCase{u"file:///a/b.json.html", u"Content-Type: text/html\n"},
                      TypeCase{u"file:///a/b.html.json", u"Content-Type: application/json\n"}));

}  // namespace
