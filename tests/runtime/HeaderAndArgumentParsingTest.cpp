// The small parsers of the runtime: browser arguments, response header
// blocks, filter patterns and resource contexts.
#include <gtest/gtest.h>

#include "BrowserArguments.h"
#include "ResourceContextClassifier.h"
#include "ResponseHeaderBlock.h"
#include "UriWildcard.h"

namespace {

TEST(BrowserArguments, RecognisesTheProgramsSwitchesAsWholeWords) {
  const auto all = BrowserArguments::Parse("--disable-web-security --allow-file-access-from-files --allow-file-access");
  EXPECT_TRUE(all.disableWebSecurity);
  EXPECT_TRUE(all.allowFileAccessFromFiles);
  EXPECT_TRUE(all.allowFileAccess);

  const auto one = BrowserArguments::Parse("  --allow-file-access-from-files\t--unknown ");
  EXPECT_FALSE(one.disableWebSecurity);
  EXPECT_TRUE(one.allowFileAccessFromFiles);
  EXPECT_FALSE(one.allowFileAccess) << "a prefix of another switch must not count";

  const auto none = BrowserArguments::Parse("--disable-web-securityx");
  EXPECT_FALSE(none.disableWebSecurity);
  EXPECT_FALSE(BrowserArguments::Parse("").disableWebSecurity);
}

TEST(ResponseHeaderBlock, KeepsOrderRepeatsAndValuesAsGiven) {
  const auto headers = ResponseHeaderBlock::Parse(
      "Cross-Origin-Embedder-Policy: require-corp\nCross-Origin-Opener-Policy: same-origin\n"
      "Cross-Origin-Resource-Policy: cross-origin\nContent-Type: text/html\n");
  ASSERT_EQ(headers.size(), 4u);
  EXPECT_EQ(headers[0], (ResponseHeaderBlock::Header{"Cross-Origin-Embedder-Policy", "require-corp"}));
  EXPECT_EQ(headers[1], (ResponseHeaderBlock::Header{"Cross-Origin-Opener-Policy", "same-origin"}));
  EXPECT_EQ(headers[2], (ResponseHeaderBlock::Header{"Cross-Origin-Resource-Policy", "cross-origin"}));
  EXPECT_EQ(headers[3], (ResponseHeaderBlock::Header{"Content-Type", "text/html"}));

  const auto repeated = ResponseHeaderBlock::Parse("Set-Cookie: a=1\r\nSet-Cookie: b=2");
  ASSERT_EQ(repeated.size(), 2u);
  EXPECT_EQ(repeated[0].second, "a=1");
  EXPECT_EQ(repeated[1].second, "b=2") << "a last line without a line feed still counts";
}

TEST(ResponseHeaderBlock, SkipsLinesNoEngineCouldSend) {
  const auto headers = ResponseHeaderBlock::Parse("\nno colon here\n: empty name\nX-Value: a: b \n\n");
  ASSERT_EQ(headers.size(), 1u);
  EXPECT_EQ(headers[0], (ResponseHeaderBlock::Header{"X-Value", "a: b"}));
  EXPECT_TRUE(ResponseHeaderBlock::Parse("").empty());
}

struct WildcardCase {
  const char16_t* pattern;
  const char16_t* uri;
  bool matches;
};

class UriWildcardTest : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(UriWildcardTest, Matches) {
  EXPECT_EQ(UriWildcard::Matches(GetParam().pattern, GetParam().uri), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Cases, UriWildcardTest,
                         ::testing::Values(WildcardCase{u"*", u"file:///a/b.html", true},
                                           WildcardCase{u"*", u"", true},
                                           WildcardCase{u"file://*", u"file:///a", true},
                                           WildcardCase{u"file://*", u"https://a", false},
                                           WildcardCase{u"*.js", u"file:///a/b.js", true},
                                           WildcardCase{u"*.js", u"file:///a/b.json", false},
                                           WildcardCase{u"*a*b*c", u"xxaxxbxxc", true},
                                           WildcardCase{u"*a*b*c", u"xxaxxcxxb", false},
                                           WildcardCase{u"exact", u"exact", true},
                                           WildcardCase{u"exact", u"exactly", false},
                                           WildcardCase{u"", u"x", false},
                                           WildcardCase{u"**", u"abc", true}));

struct ContextCase {
  const char* accept;
  bool range;
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT context;
};

class ResourceContextTest : public ::testing::TestWithParam<ContextCase> {};

TEST_P(ResourceContextTest, FollowsWhatTheEngineSends) {
  EXPECT_EQ(ResourceContextClassifier::Classify(GetParam().accept, GetParam().range), GetParam().context);
}

// The Accept values are the ones WebKitGTK 2.50 sends, as logged.
INSTANTIATE_TEST_SUITE_P(
    Cases, ResourceContextTest,
    ::testing::Values(
        ContextCase{"text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8", false,
                    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT},
        ContextCase{"text/css,*/*;q=0.1", false, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_STYLESHEET},
        ContextCase{"image/webp,image/avif,video/*;q=0.8,image/png,image/svg+xml,image/*;q=0.8,*/*;q=0.5", false,
                    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_IMAGE},
        ContextCase{"*/*", true, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA},
        ContextCase{"", true, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA},
        ContextCase{"*/*", false, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_OTHER},
        ContextCase{"", false, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_OTHER},
        ContextCase{"text/vtt, */*", false, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_TEXT_TRACK},
        ContextCase{"text/event-stream", false, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_EVENT_SOURCE}));

}  // namespace
