#include "util/CanonicalizePath.h"

#include <gtest/gtest.h>

#include <string>

#include "com/HResult.h"
#include "util/Strings.h"

namespace {

struct CanonicalCase {
  const char16_t* input;
  const char16_t* expected;
};

class CanonicalizePathTest : public ::testing::TestWithParam<CanonicalCase> {};

TEST_P(CanonicalizePathTest, ResolvesDotSegmentsByText) {
  const auto& c = GetParam();
  std::u16string out = u"unchanged";
  ASSERT_EQ(CanonicalizePath(c.input, out), S_OK);
  EXPECT_EQ(out, c.expected) << "input: " << WideToUtf8(c.input);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanonicalizePathTest,
    ::testing::Values(CanonicalCase{u"", u""}, CanonicalCase{u"index.html", u"index.html"},
                      CanonicalCase{u"a/../b", u"b"}, CanonicalCase{u"web/../index.html", u"index.html"},
                      CanonicalCase{u"./a/./b", u"a/b"}, CanonicalCase{u"a//b", u"a/b"},
                      CanonicalCase{u"a/b/c/../../d", u"a/d"},
                      // Climbing above the start is clamped there.
                      CanonicalCase{u"../x", u"x"}, CanonicalCase{u"a/../../b", u"b"},
                      CanonicalCase{u"../../..", u""}, CanonicalCase{u"..", u""}, CanonicalCase{u".", u""},
                      CanonicalCase{u"/../x", u"/x"}, CanonicalCase{u"/", u"/"}, CanonicalCase{u"/a/..", u"/"},
                      // Trailing separators follow the last segment.
                      CanonicalCase{u"a/b/", u"a/b/"}, CanonicalCase{u"a/b/..", u"a"}, CanonicalCase{u"a/.", u"a"},
                      // Segments that only look like dots are names.
                      CanonicalCase{u"...", u"..."}, CanonicalCase{u"..a/.b", u"..a/.b"},
                      CanonicalCase{u"a\\..\\b", u"a\\..\\b"},
                      CanonicalCase{u"日本/../ファイル.html", u"ファイル.html"}));

TEST(CanonicalizePathFailure, RejectsEmbeddedNulAndLeavesOutputAlone) {
  std::u16string out = u"kept";
  EXPECT_EQ(CanonicalizePath(std::u16string(u"a\0b", 3), out), E_INVALIDARG);
  EXPECT_EQ(out, u"kept");
}

}  // namespace
