#include "util/CanonicalizePath.h"

#include <gtest/gtest.h>

#include "com/HResult.h"
#include "util/Strings.h"

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
