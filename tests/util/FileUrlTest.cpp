// The one file-URL decoder, as the runtime (UTF-8) and the program (UTF-16)
// call it, and the lexical path canonicalisation the start address relies on.
#include "util/FileUrl.h"

#include <limits.h>

#include <gtest/gtest.h>

#include "util/CanonicalizePath.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

using namespace std::string_view_literals;

const HRESULT kBad = E_INVALIDARG;
const HRESULT kTooLong = HResultFromWin32(ERROR_FILENAME_EXCED_RANGE);

// Every row goes through both entry points, which must agree: the runtime
// never serves an address the program refuses.
TEST(FileUrlToPathTest, DecidesEachAddressOnceForTheProgramAndTheRuntime) {
  const struct { std::string_view url; HRESULT hr; std::string_view path = {}; } cases[] = {
      {"file:///home/a/b%20c.pdf", S_OK, "/home/a/b c.pdf"}, {"FILE:///App/MAIN.JS", S_OK, "/App/MAIN.JS"},
      {"file://LocalHost/srv/x", S_OK, "/srv/x"}, {"file:///", S_OK, "/"}, {"file:///a/../b", S_OK, "/a/../b"},
      {"file:////double", S_OK, "//double"},
      // Without an authority the path follows the scheme: the same file as with "//".
      {"file:/srv/app/a.html", S_OK, "/srv/app/a.html"},
      // The query and the fragment end the path, whatever they hold. (Escaped '?', '#' and '%' come back
      // as themselves in the runtime's round trip of awkward paths.)
      {"file:///a/b?x#y%zz", S_OK, "/a/b"}, {"file:///a/%e6%97%a5%E6%9C%AC", S_OK, "/a/\u65E5\u672C"},
      {"file:///a/\u65E5\U0001F600", S_OK, "/a/\u65E5\U0001F600"},
      // Other hosts are network shares; an address without a path names nothing.
      {"file://server/share/a.txt", kBad}, {"file://localhost.example/a", kBad}, {"file://localhost:80/a", kBad},
      {"file://localhost", kBad}, {"file://?/a", kBad}, {"file:a/b", kBad}, {"http://example.com/a", kBad},
      {"vellum-file:///a", kBad},
      // A '%' without two hexadecimal digits is malformed, never a literal '%'.
      {"file:///srv/app/a%zz.html", kBad}, {"file:///a%", kBad}, {"file:///a%4", kBad},
      // Bytes that are not UTF-8 name no file the program can name; a NUL would cut the path short.
      {"file:///srv/app/%FF.bin", kBad}, {"file:///a%00b", kBad},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.url));
    std::string native = "kept";
    EXPECT_EQ(FileUrlToNativePath(c.url, native), c.hr);
    EXPECT_EQ(native, c.hr == S_OK ? c.path : "kept"sv);
    std::u16string wide = u"kept";
    EXPECT_EQ(FileUrlToPath(Utf8ToWide(c.url), wide), c.hr);
    EXPECT_EQ(wide, c.hr == S_OK ? Utf8ToWide(c.path) : u"kept");
  }
  // An unpaired surrogate makes a wide address malformed, unless it is in the query.
  const std::u16string lone(1, char16_t(0xD800));
  std::u16string path;
  EXPECT_EQ(FileUrlToPath(u"file:///a" + lone, path), kBad);
  EXPECT_EQ(FileUrlToPath(u"file:///a?" + lone, path), S_OK);
}

TEST(FileUrlToPathTest, AcceptsTheLongestPathThatFitsAndRejectsOneByteMore) {
  // PATH_MAX counts the terminating NUL, so PATH_MAX - 1 bytes fit.
  const std::string fits = "/" + std::string(PATH_MAX - 2, 'a');
  std::string path;
  ASSERT_EQ(FileUrlToNativePath("file://" + fits, path), S_OK);
  EXPECT_EQ(path, fits);
  EXPECT_EQ(FileUrlToNativePath("file://" + fits + "a", path), kTooLong);
  // The limit counts UTF-8 bytes: a three-byte character counts three.
  std::u16string wide;
  EXPECT_EQ(FileUrlToPath(u"file:///" + std::u16string((PATH_MAX - 1) / 3, u'\u65E5'), wide), kTooLong);
}

// (Paths of awkward characters coming back whole through FileUrlToPath is
// the runtime's loopback address test.)
TEST(PathToFileUrlTest, EncodesWhatAUrlMustNotHold) {
  const struct { const char16_t* path; const char16_t* url; } cases[] = {
      {u"/home/a b/index.html", u"file:///home/a%20b/index.html"}, {u"/a/#?%/x", u"file:///a/%23%3F%25/x"},
      {u"/a/\t\n\x7f", u"file:///a/%09%0A%7F"}, {u"/a/\u65E5", u"file:///a/%E6%97%A5"},
      {u"/a/\\\"<>[]^`{|}", u"file:///a/%5C%22%3C%3E%5B%5D%5E%60%7B%7C%7D"},
      {u"/a/-._~!$&'()*+,;=:@", u"file:///a/-._~!$&'()*+,;=:@"}};
  for (const auto& c : cases) EXPECT_EQ(PathToFileUrl(c.path), c.url);
}

TEST(CanonicalizePathTest, ResolvesDotSegmentsByTextClampsAtTheStartAndRefusesNul) {
  const struct { std::u16string input; const char16_t* expected; } cases[] = {
      {u"./a/./b", u"a/b"}, {u"a//b", u"a/b"}, {u"a/b/c/../../d", u"a/d"},
      // Climbing above the start is clamped there; a leading '/' stays.
      {u"../x", u"x"}, {u"a/../../b", u"b"}, {u".", u""}, {u"/../x", u"/x"}, {u"/a/..", u"/"},
      // A trailing separator follows the last segment.
      {u"a/b/", u"a/b/"},
      // Segments that only look like dots, and backslashes, are names.
      {u"...", u"..."}, {u"a\\..\\b", u"a\\..\\b"}, {std::u16string(u"a\0b", 3), nullptr}};
  for (const auto& c : cases) {
    std::u16string out = u"kept";
    EXPECT_EQ(CanonicalizePath(c.input, out), c.expected ? S_OK : E_INVALIDARG) << WideToUtf8(c.input);
    EXPECT_EQ(out, c.expected ? c.expected : u"kept") << WideToUtf8(c.input);
  }
}

}  // namespace
