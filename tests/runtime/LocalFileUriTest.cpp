#include "LocalFileUri.h"

#include <gtest/gtest.h>

namespace {

struct SchemeCase {
  const char* fileUri;
  const char* schemeUri;  // nullptr: not a local file
};

class ToSchemeUriTest : public ::testing::TestWithParam<SchemeCase> {};

TEST_P(ToSchemeUriTest, MapsLocalFileAddressesOnly) {
  const auto result = LocalFileUri::ToSchemeUri(GetParam().fileUri);
  if (!GetParam().schemeUri) {
    EXPECT_FALSE(result.has_value()) << *result;
  } else {
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, GetParam().schemeUri);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToSchemeUriTest,
    ::testing::Values(SchemeCase{"file:///home/a/index.html", "vellum-file:///home/a/index.html"},
                      SchemeCase{"FILE:///home/a/MAIN.JS", "vellum-file:///home/a/MAIN.JS"},
                      SchemeCase{"file://localhost/home/a/b.css", "vellum-file:///home/a/b.css"},
                      SchemeCase{"file://LocalHost/x", "vellum-file:///x"},
                      SchemeCase{"file:///a/b.html?x=1#top", "vellum-file:///a/b.html?x=1#top"},
                      SchemeCase{"file:///a/b%20c.pdf", "vellum-file:///a/b%20c.pdf"},
                      SchemeCase{"file:/a/b", "vellum-file:///a/b"},
                      SchemeCase{"file://server/share/x", nullptr},
                      SchemeCase{"https://example.com/", nullptr},
                      SchemeCase{"vellum-file:///a", nullptr},
                      SchemeCase{"fil", nullptr},
                      SchemeCase{"", nullptr}));

TEST(LocalFileUri, ToFileUriReversesTheSchemeAndLeavesOtherAddresses) {
  EXPECT_EQ(LocalFileUri::ToFileUri("vellum-file:///a/b.html?q#f"), "file:///a/b.html?q#f");
  EXPECT_EQ(LocalFileUri::ToFileUri("VELLUM-FILE:///a"), "file:///a");
  EXPECT_EQ(LocalFileUri::ToFileUri("https://example.com/x"), "https://example.com/x");
  EXPECT_EQ(LocalFileUri::ToFileUri("about:blank"), "about:blank");
  EXPECT_EQ(LocalFileUri::ToFileUri(""), "");
}

TEST(LocalFileUri, RoundTripKeepsTheAddress) {
  for (const char* uri : {"file:///a/b.html", "file:///x%20y/z.js?v=2", "file:///deep/path/file.wasm#frag"}) {
    EXPECT_EQ(LocalFileUri::ToFileUri(*LocalFileUri::ToSchemeUri(uri)), uri);
  }
}

struct PathCase {
  const char* uri;
  const char* path;  // nullptr: no path
};

class PathFromUriTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathFromUriTest, DecodesThePathWithoutQueryOrFragment) {
  const auto result = LocalFileUri::PathFromUri(GetParam().uri);
  if (!GetParam().path) {
    EXPECT_FALSE(result.has_value()) << *result;
  } else {
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, GetParam().path);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathFromUriTest,
    ::testing::Values(PathCase{"file:///home/a/b%20c.pdf", "/home/a/b c.pdf"},
                      PathCase{"file:///home/a/index.html?x=1", "/home/a/index.html"},
                      PathCase{"file:///home/a/index.html#top", "/home/a/index.html"},
                      PathCase{"vellum-file:///home/a/app.js", "/home/a/app.js"},
                      PathCase{"file://localhost/etc/x", "/etc/x"},
                      PathCase{"file:///%E6%97%A5%E6%9C%AC.txt", "/\xE6\x97\xA5\xE6\x9C\xAC.txt"},
                      PathCase{"file:///a%2", "/a%2"},
                      PathCase{"file:///a%zz", "/a%zz"},
                      PathCase{"file:///a%00b", nullptr},
                      PathCase{"file://server/share/x", nullptr},
                      PathCase{"file://", nullptr},
                      PathCase{"https://example.com/a", nullptr}));

TEST(LocalFileUri, RecognisesOnlyEmptyOrLocalhostHosts) {
  EXPECT_TRUE(LocalFileUri::IsLocalFileUri("file:///a"));
  EXPECT_TRUE(LocalFileUri::IsLocalFileUri("file://localhost/a"));
  EXPECT_FALSE(LocalFileUri::IsLocalFileUri("file://other/a"));
  EXPECT_FALSE(LocalFileUri::IsLocalFileUri("files:///a"));
  EXPECT_TRUE(LocalFileUri::IsSchemeUri("vellum-file:///a"));
  EXPECT_FALSE(LocalFileUri::IsSchemeUri("file:///a"));
}

}  // namespace
