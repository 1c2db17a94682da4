#include "RequestTrace.h"

#include <gtest/gtest.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(RequestTrace, EscapesEverySeparatorSoFieldsStayWhole) {
  EXPECT_EQ(RequestTrace::Escape("a b\tc\nd\re\\f"), "a\\sb\\tc\\nd\\re\\\\f");
  EXPECT_EQ(RequestTrace::Escape(""), "-");
  EXPECT_EQ(RequestTrace::Escape("file:///a/b.html"), "file:///a/b.html");
}

TEST(RequestTrace, FormatsEventLines) {
  EXPECT_EQ(RequestTrace::FormatEvent("load-finished", "file:///a/index.html", {}, 12),
            "event load-finished file:///a/index.html t=12\n");
  EXPECT_EQ(RequestTrace::FormatEvent("navigation-starting", "file:///a b", {{"cancel", "1"}}, 5),
            "event navigation-starting file:///a\\sb cancel=1 t=5\n");
  EXPECT_EQ(RequestTrace::FormatEvent("fullscreen-changed", "", {{"value", "0"}}, 7),
            "event fullscreen-changed - value=0 t=7\n");
}

TEST(RequestTrace, FormatsRequestLinesWithTheHeaderBlockLast) {
  EXPECT_EQ(RequestTrace::FormatRequest("file:///a/app.js", 16, 200, "OK", "program",
                                        "Cross-Origin-Embedder-Policy: require-corp\nContent-Type: text/javascript\n", 99),
            "request file:///a/app.js context=16 status=200 reason=OK source=program t=99 "
            "headers=Cross-Origin-Embedder-Policy:\\srequire-corp\\nContent-Type:\\stext/javascript\\n\n");
  EXPECT_EQ(RequestTrace::FormatRequest("file:///a/x", 1, 404, "Not Found", "program", "", 1),
            "request file:///a/x context=1 status=404 reason=Not\\sFound source=program t=1 headers=-\n");
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(RequestTrace, AppendsCompleteLinesToTheNamedFile) {
  g_autofree char* folder = g_dir_make_tmp("vellum-trace-XXXXXX", nullptr);
  const std::string path = std::string(folder) + "/trace.txt";
  {
    std::ofstream(path) << "earlier line\n";
    RequestTrace trace(path);
    ASSERT_TRUE(trace.IsEnabled());
    trace.Event("load-finished", "file:///a/index.html");
    // Written through at once: visible before the trace is closed.
    EXPECT_EQ(ReadLines(path).size(), 2u);
    trace.Request("file:///a/app.js", 16, 200, "OK", "engine", "Content-Type: text/javascript\n");
  }
  const auto lines = ReadLines(path);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "earlier line");
  EXPECT_EQ(lines[1].rfind("event load-finished file:///a/index.html t=", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("request file:///a/app.js context=16 status=200 reason=OK source=engine t=", 0), 0u);
  EXPECT_NE(lines[2].find(" headers=Content-Type:\\stext/javascript\\n"), std::string::npos);
  g_remove(path.c_str());
  g_rmdir(folder);
}

TEST(RequestTrace, WithoutAPathWritesNothing) {
  RequestTrace trace("");
  EXPECT_FALSE(trace.IsEnabled());
  trace.Event("load-finished", "file:///a");  // must not crash
}

}  // namespace
