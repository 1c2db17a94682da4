// The page's console lines: the web extension's tuple read back with the
// loopback address in its file:// form, and the line each kind of message
// gets on standard error.
#include "runtime/defaults/PageConsole.h"

#include <gtest/gtest.h>

namespace {

TEST(PageConsole, ReadsTheExtensionsMessageAndNamesEachKindOfMessage) {
  const LoopbackAddress address("127.0.0.1", 25000);
  struct Case { unsigned source, level; const char* from; unsigned line; const char* expected; bool uncaught; };
  // A console.error of a module and an uncaught error, each with its file:// address and line, are the lines the
  // GUI test "page_types_console_gui" reads from the real program's standard error.
  const Case cases[] = {
      {2, 1, "http://127.0.0.1:25000/a%20b/i.html?x=1", 9, "page console.log file:///a%20b/i.html?x=1:9: m", false},
      // A warning from JavaScript itself is no uncaught error; engine messages may have no address or line.
      {0, 2, "https://example.org/x.js", 7, "page javascript.warn https://example.org/x.js:7: m", false},
      {1, 3, "", 0, "page network.error -: m", false}, {9, 9, "", 0, "page engine.other -: m", false},
  };
  for (const Case& c : cases) {
    g_autoptr(GVariant) parameters = g_variant_ref_sink(g_variant_new("(uussu)", c.source, c.level, "m", c.from, c.line));
    PageConsole::Message message;
    ASSERT_TRUE(PageConsole::Read(parameters, address, &message)) << c.expected;
    EXPECT_EQ(PageConsole::FormatLine(message), c.expected);
    EXPECT_EQ(PageConsole::IsUncaughtError(message), c.uncaught) << c.expected;
  }
  g_autoptr(GVariant) wrongType = g_variant_ref_sink(g_variant_new("(us)", 1u, "m"));
  PageConsole::Message untouched;
  EXPECT_FALSE(PageConsole::Read(wrongType, address, &untouched));
}

}  // namespace
