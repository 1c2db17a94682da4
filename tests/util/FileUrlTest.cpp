#include "util/FileUrl.h"

#include <limits.h>

#include <gtest/gtest.h>

#include <string>

#include "com/HResult.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

struct GoodUrl {
  const char16_t* url;
  const char16_t* path;
};

class FileUrlToPathGood : public ::testing::TestWithParam<GoodUrl> {};

TEST_P(FileUrlToPathGood, GivesThePath) {
  std::u16string path;
  ASSERT_EQ(FileUrlToPath(GetParam().url, path), S_OK) << WideToUtf8(GetParam().url);
  EXPECT_EQ(path, GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileUrlToPathGood,
    ::testing::Values(GoodUrl{u"file:///home/a/index.html", u"/home/a/index.html"},
                      GoodUrl{u"file:///home/a/b%20c.pdf", u"/home/a/b c.pdf"},
                      GoodUrl{u"FILE:///App/MAIN.JS", u"/App/MAIN.JS"},
                      GoodUrl{u"file://localhost/srv/x", u"/srv/x"},
                      GoodUrl{u"file://LocalHost/srv/x", u"/srv/x"},
                      GoodUrl{u"file:///a/index.html?v=2", u"/a/index.html"},
                      GoodUrl{u"file:///a/index.html#top", u"/a/index.html"},
                      GoodUrl{u"file:///a/b?x#y%zz", u"/a/b"},
                      GoodUrl{u"file:///a/%3F%23%25", u"/a/?#%"},
                      GoodUrl{u"file:///a/%e6%97%a5%E6%9C%AC.html", u"/a/日本.html"},
                      GoodUrl{u"file:///a/日本.html", u"/a/日本.html"},
                      GoodUrl{u"file:///a/%F0%9F%98%80", u"/a/\U0001F600"},
                      GoodUrl{u"file:///a/\U0001F600", u"/a/\U0001F600"},
                      GoodUrl{u"file:///", u"/"},
                      GoodUrl{u"file:///a/../b", u"/a/../b"},
                      GoodUrl{u"file:////double", u"//double"}));

struct BadUrl {
  const char* name;
  std::u16string url;
  HRESULT expected;
};

class FileUrlToPathBad : public ::testing::TestWithParam<BadUrl> {};

TEST_P(FileUrlToPathBad, FailsAndLeavesThePathAlone) {
  std::u16string path = u"kept";
  EXPECT_EQ(FileUrlToPath(GetParam().url, path), GetParam().expected);
  EXPECT_EQ(path, u"kept");
}

const HRESULT kTooLong = HResultFromWin32(ERROR_FILENAME_EXCED_RANGE);

INSTANTIATE_TEST_SUITE_P(
    Table, FileUrlToPathBad,
    ::testing::Values(BadUrl{"Empty", u"", E_INVALIDARG}, BadUrl{"ShortScheme", u"file:/", E_INVALIDARG},
                      BadUrl{"SingleSlash", u"file:/a/b", E_INVALIDARG},
                      BadUrl{"Http", u"http://example.com/a", E_INVALIDARG},
                      BadUrl{"Data", u"data:text/html,hi", E_INVALIDARG},
                      BadUrl{"NoPath", u"file://", E_INVALIDARG},
                      BadUrl{"LocalhostNoPath", u"file://localhost", E_INVALIDARG},
                      BadUrl{"Host", u"file://server/share/a.txt", E_INVALIDARG},
                      BadUrl{"HostLike", u"file://localhost.example/a", E_INVALIDARG},
                      BadUrl{"PathInQuery", u"file://?/a", E_INVALIDARG},
                      BadUrl{"PercentAtEnd", u"file:///a%", E_INVALIDARG},
                      BadUrl{"PercentOneDigit", u"file:///a%4", E_INVALIDARG},
                      BadUrl{"PercentNotHex", u"file:///a%zz", E_INVALIDARG},
                      BadUrl{"PercentSign", u"file:///a%-1", E_INVALIDARG},
                      BadUrl{"EncodedNul", u"file:///a%00b", E_INVALIDARG},
                      BadUrl{"RawNul", std::u16string(u"file:///a\0b", 11), E_INVALIDARG},
                      BadUrl{"InvalidUtf8", u"file:///a%FF", E_INVALIDARG},
                      BadUrl{"TruncatedUtf8", u"file:///a%E6%97", E_INVALIDARG},
                      BadUrl{"OverlongUtf8", u"file:///a%C0%AF", E_INVALIDARG},
                      BadUrl{"EncodedSurrogate", u"file:///a%ED%A0%80", E_INVALIDARG},
                      BadUrl{"LoneHighSurrogate", std::u16string(u"file:///a") + char16_t(0xD800), E_INVALIDARG},
                      BadUrl{"LoneLowSurrogate", std::u16string(u"file:///a") + char16_t(0xDC00) + u"b",
                             E_INVALIDARG},
                      BadUrl{"TooLong", u"file:///" + std::u16string(PATH_MAX, u'a'), kTooLong}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileUrlToPathLimit, AcceptsTheLongestPathThatFitsAndRejectsOneMore) {
  // PATH_MAX counts the terminating NUL, so PATH_MAX - 1 bytes fit.
  const std::u16string fits = u"/" + std::u16string(PATH_MAX - 2, u'a');
  std::u16string path;
  ASSERT_EQ(FileUrlToPath(u"file://" + fits, path), S_OK);
  EXPECT_EQ(path, fits);
  EXPECT_EQ(FileUrlToPath(u"file://" + fits + u"a", path), kTooLong);
  // The limit counts UTF-8 bytes, not characters: each escape is one byte.
  std::u16string encoded = u"file:///";
  for (int i = 0; i < PATH_MAX - 1; ++i) encoded += u"%41";
  EXPECT_EQ(FileUrlToPath(encoded, path), kTooLong);
  // A three-byte character counts three.
  const std::u16string wide = u"/" + std::u16string((PATH_MAX - 1) / 3, u'日');
  EXPECT_EQ(FileUrlToPath(u"file://" + wide, path), kTooLong);
}

struct EncodeCase {
  const char16_t* path;
  const char16_t* url;
};

class PathToFileUrlTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(PathToFileUrlTest, EncodesWhatAUrlMustNotHoldAndRoundTrips) {
  const auto& c = GetParam();
  const std::u16string url = PathToFileUrl(c.path);
  EXPECT_EQ(url, c.url);
  std::u16string back;
  ASSERT_EQ(FileUrlToPath(url, back), S_OK);
  EXPECT_EQ(back, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathToFileUrlTest,
    ::testing::Values(EncodeCase{u"/home/a/index.html", u"file:///home/a/index.html"},
                      EncodeCase{u"/home/a b/index.html", u"file:///home/a%20b/index.html"},
                      EncodeCase{u"/a/#?%/x", u"file:///a/%23%3F%25/x"},
                      EncodeCase{u"/a/\t\n\x7f", u"file:///a/%09%0A%7F"},
                      EncodeCase{u"/a/日本", u"file:///a/%E6%97%A5%E6%9C%AC"},
                      EncodeCase{u"/a/\\\"<>[]^`{|}", u"file:///a/%5C%22%3C%3E%5B%5D%5E%60%7B%7C%7D"},
                      EncodeCase{u"/a/-._~!$&'()*+,;=:@", u"file:///a/-._~!$&'()*+,;=:@"},
                      EncodeCase{u"/", u"file:///"}));

}  // namespace
