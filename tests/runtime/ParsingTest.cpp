// The runtime's small parsers: byte ranges, browser arguments, response
// header blocks, filter patterns, and resource contexts.
#include <gtest/gtest.h>

#include <tuple>

#include "runtime/engine/BrowserArguments.h"
#include "runtime/engine/UriWildcard.h"
#include "runtime/loopback/ByteRange.h"
#include "runtime/loopback/ResourceContextClassifier.h"
#include "runtime/loopback/ResponseHeaderBlock.h"
#include "util/Strings.h"

namespace {

TEST(ByteRange, GivesThePartOrTellsToSendTheWholeOrNothing) {
  using O = ByteRange::Outcome;
  struct Case { const char* header; std::uint64_t size; O outcome; std::uint64_t first = 99, last = 99; };
  const Case cases[] = {
      {"bytes=0-", 4096, O::kPartial, 0, 4095}, {"bytes=0-1445", 10, O::kPartial, 0, 9}, {"bytes=-100", 4096, O::kPartial, 3996, 4095},
      {"bytes=-9999", 4096, O::kPartial, 0, 4095}, {"bytes=5 - 6", 10, O::kPartial, 5, 6},
      // Otherwise the range is left as it was.
      {"bytes=4096-", 4096, O::kUnsatisfiable}, {"bytes=0-", 0, O::kUnsatisfiable}, {"bytes=-0", 10, O::kUnsatisfiable},
      {" bytes = 5 - 6 ", 10, O::kWhole}, {"bytes=0-1,5-6", 10, O::kWhole}, {"items=0-1", 10, O::kWhole}, {"bytes=6-5", 10, O::kWhole},
      {"bytes=a-b", 10, O::kWhole}, {"bytes=", 10, O::kWhole},
  };
  for (const Case& c : cases) {
    ByteRange range{99, 99};
    const O outcome = ByteRange::Parse(c.header, c.size, &range);
    EXPECT_EQ(std::tuple(outcome, range.first, range.last, range.Length()),
              std::tuple(c.outcome, c.first, c.last, c.last - c.first + 1)) << c.header;
  }
}

TEST(BrowserArguments, RecognisesTheProgramsSwitchesAsWholeWords) {
  struct Case { const char* text; bool security, fromFiles, fileAccess; };
  const Case cases[] = {
      {"--disable-web-security --allow-file-access-from-files --allow-file-access", true, true, true},
      {"  --allow-file-access-from-files\t--unknown ", false, true, false},
      {"--disable-web-securityx\n--allow-file-access", false, false, true},
  };
  for (const Case& c : cases) {
    const BrowserArguments parsed = BrowserArguments::Parse(c.text);
    EXPECT_EQ(std::tuple(parsed.disableWebSecurity, parsed.allowFileAccessFromFiles, parsed.allowFileAccess),
              std::tuple(c.security, c.fromFiles, c.fileAccess)) << c.text;
  }
}

TEST(ResponseHeaderBlock, KeepsOrderRepeatsAndValuesAndSkipsLinesNoEngineCouldSend) {
  using H = ResponseHeaderBlock::Header;
  EXPECT_EQ(ResponseHeaderBlock::Parse("Set-Cookie: a=1\r\nSet-Cookie: b=2"), (std::vector<H>{{"Set-Cookie", "a=1"}, {"Set-Cookie", "b=2"}}));
  EXPECT_EQ(ResponseHeaderBlock::Parse("\nno colon here\n: empty name\nX-Value: a: b \n\n"), (std::vector<H>{{"X-Value", "a: b"}}));
}

TEST(UriWildcard, StarMatchesAnyRunAndTheRestMatchesExactly) {
  struct Case { std::u16string pattern, uri; bool matches; };
  const Case cases[] = {
      {u"*", u"", true}, {u"**", u"abc", true}, {u"", u"x", false}, {u"file://*", u"file:///a", true},
      {u"file://*", u"https://a", false}, {u"*.js", u"file:///a/b.json", false}, {u"*a*b*c", u"xxaxxbxxc", true},
      {u"*a*b*c", u"xxaxxcxxb", false}, {u"exact", u"exact", true}, {u"exact", u"exactly", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UriWildcard::Matches(c.pattern, c.uri), c.matches) << WideToUtf8(c.pattern) << " " << WideToUtf8(c.uri);
}

TEST(ResourceContextClassifier, TheAcceptValueTellsTheContext) {
  // Accept values as WebKitGTK 2.50 sends them; the view end to end shows document, style sheet, image and media
  // (whose requests carry a range).
  using C = ResourceContextClassifier;
  EXPECT_EQ(C::Classify("text/vtt, */*", false), COREWEBVIEW2_WEB_RESOURCE_CONTEXT_TEXT_TRACK);
  EXPECT_EQ(C::Classify("text/event-stream", false), COREWEBVIEW2_WEB_RESOURCE_CONTEXT_EVENT_SOURCE);
  EXPECT_EQ(C::Classify("*/*", false), COREWEBVIEW2_WEB_RESOURCE_CONTEXT_OTHER);
}

}  // namespace
