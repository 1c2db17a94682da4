// File URLs and the lexical path canonicalisation they and the settings rely on.
#include "util/FileUrl.h"

#include <limits.h>

#include <gtest/gtest.h>

#include "util/CanonicalizePath.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

const HRESULT kTooLong = HResultFromWin32(ERROR_FILENAME_EXCED_RANGE);

TEST(FileUrlToPathTest, GivesThePathOfALocalFileUrl) {
  const struct { const char16_t* url; const char16_t* path; } cases[] = {
      {u"file:///home/a/b%20c.pdf", u"/home/a/b c.pdf"}, {u"FILE:///App/MAIN.JS", u"/App/MAIN.JS"},
      {u"file://localhost/srv/x", u"/srv/x"}, {u"file://LocalHost/srv/x", u"/srv/x"},
      // The query and the fragment end the path, whatever they hold.
      {u"file:///a/index.html?v=2", u"/a/index.html"}, {u"file:///a/b#top", u"/a/b"}, {u"file:///a/b?x#y%zz", u"/a/b"},
      {u"file:///a/%3F%23%25", u"/a/?#%"}, {u"file:///a/%e6%97%a5%E6%9C%AC.html", u"/a/日本.html"},
      {u"file:///a/日本.html", u"/a/日本.html"}, {u"file:///a/%F0%9F%98%80", u"/a/\U0001F600"},
      {u"file:///a/\U0001F600", u"/a/\U0001F600"}, {u"file:///", u"/"}, {u"file:///a/../b", u"/a/../b"},
      {u"file:////double", u"//double"}};
  for (const auto& c : cases) {
    std::u16string path;
    EXPECT_EQ(FileUrlToPath(c.url, path), S_OK) << WideToUtf8(c.url);
    EXPECT_EQ(path, c.path);
  }
}

TEST(FileUrlToPathTest, RejectsWhatIsNotALocalPathAndLeavesThePathAlone) {
  const std::u16string cases[] = {
      u"", u"file:/", u"file:/a/b", u"http://example.com/a", u"data:text/html,hi", u"file://", u"file://localhost",
      u"file://server/share/a.txt", u"file://localhost.example/a", u"file://?/a",
      // Broken escapes, NULs, invalid UTF-8 (overlong, truncated, surrogates) and unpaired surrogates.
      u"file:///a%", u"file:///a%4", u"file:///a%zz", u"file:///a%-1", u"file:///a%00b",
      std::u16string(u"file:///a\0b", 11), u"file:///a%FF", u"file:///a%E6%97", u"file:///a%C0%AF",
      u"file:///a%ED%A0%80", std::u16string(u"file:///a") + char16_t(0xD800),
      std::u16string(u"file:///a") + char16_t(0xDC00) + u"b"};
  for (const auto& url : cases) {
    std::u16string path = u"kept";
    EXPECT_EQ(FileUrlToPath(url, path), E_INVALIDARG) << WideToUtf8(url);
    EXPECT_EQ(path, u"kept");
  }
}

TEST(FileUrlToPathTest, AcceptsTheLongestPathThatFitsAndRejectsOneByteMore) {
  // PATH_MAX counts the terminating NUL, so PATH_MAX - 1 bytes fit.
  const std::u16string fits = u"/" + std::u16string(PATH_MAX - 2, u'a');
  std::u16string path;
  ASSERT_EQ(FileUrlToPath(u"file://" + fits, path), S_OK);
  EXPECT_EQ(path, fits);
  path = u"kept";
  EXPECT_EQ(FileUrlToPath(u"file://" + fits + u"a", path), kTooLong);
  EXPECT_EQ(path, u"kept");
  // The limit counts UTF-8 bytes: a three-byte character counts three.
  EXPECT_EQ(FileUrlToPath(u"file:///" + std::u16string((PATH_MAX - 1) / 3, u'日'), path), kTooLong);
}

TEST(PathToFileUrlTest, EncodesWhatAUrlMustNotHoldAndRoundTrips) {
  const struct { const char16_t* path; const char16_t* url; } cases[] = {
      {u"/home/a b/index.html", u"file:///home/a%20b/index.html"}, {u"/a/#?%/x", u"file:///a/%23%3F%25/x"},
      {u"/a/\t\n\x7f", u"file:///a/%09%0A%7F"}, {u"/a/日本", u"file:///a/%E6%97%A5%E6%9C%AC"},
      {u"/a/\\\"<>[]^`{|}", u"file:///a/%5C%22%3C%3E%5B%5D%5E%60%7B%7C%7D"},
      {u"/a/-._~!$&'()*+,;=:@", u"file:///a/-._~!$&'()*+,;=:@"}, {u"/", u"file:///"}};
  for (const auto& c : cases) {
    std::u16string back;
    EXPECT_EQ(PathToFileUrl(c.path), c.url);
    EXPECT_EQ(FileUrlToPath(c.url, back), S_OK);
    EXPECT_EQ(back, c.path);
  }
}

TEST(CanonicalizePathTest, ResolvesDotSegmentsByTextAndClampsAtTheStart) {
  const struct { const char16_t* input; const char16_t* expected; } cases[] = {
      {u"", u""}, {u"a/../b", u"b"}, {u"./a/./b", u"a/b"}, {u"a//b", u"a/b"}, {u"a/b/c/../../d", u"a/d"},
      // Climbing above the start is clamped there; a leading '/' stays.
      {u"../x", u"x"}, {u"a/../../b", u"b"}, {u"../../..", u""}, {u".", u""}, {u"/../x", u"/x"}, {u"/a/..", u"/"},
      // A trailing separator follows the last segment.
      {u"a/b/", u"a/b/"}, {u"a/b/..", u"a"}, {u"a/.", u"a"},
      // Segments that only look like dots, and backslashes, are names.
      {u"...", u"..."}, {u"..a/.b", u"..a/.b"}, {u"a\\..\\b", u"a\\..\\b"}, {u"日本/../ファイル.html", u"ファイル.html"}};
  for (const auto& c : cases) {
    std::u16string out = u"unchanged";
    ASSERT_EQ(CanonicalizePath(c.input, out), S_OK);
    EXPECT_EQ(out, c.expected) << "input: " << WideToUtf8(c.input);
  }
}

TEST(CanonicalizePathTest, RejectsEmbeddedNulAndLeavesOutputAlone) {
  std::u16string out = u"kept";
  EXPECT_EQ(CanonicalizePath(std::u16string(u"a\0b", 3), out), E_INVALIDARG);
  EXPECT_EQ(out, u"kept");
}
