// The runtime library end to end under a display: a host window, the real
// engine, the test web application, and the runtime's trace.
#include <gtest/gtest.h>
#include <glib/gstdio.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "RuntimeHost.h"
#include "TestContent.h"

namespace {

std::string g_tracePath;

std::vector<std::string> TraceLines() {
  std::vector<std::string> lines;
  std::ifstream in(g_tracePath);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The trace's escaping of a text field.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == ' ') out += "\\s";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

// The trace's request line for exactly this address, or empty.
std::string RequestLine(const std::string& uri) {
  for (const auto& line : TraceLines())
    if (line.rfind("request " + uri + " ", 0) == 0) return line;
  return {};
}

bool HasEventLine(const std::string& name, const std::string& uri, const std::string& extra = "") {
  for (const auto& line : TraceLines())
    if (line.rfind("event " + name + " " + uri + " ", 0) == 0 && line.find(extra) != std::string::npos) return true;
  return false;
}

std::string Field(const std::string& line, const std::string& key) {
  const std::string marker = " " + key + "=";
  const std::size_t at = line.find(marker);
  if (at == std::string::npos) return {};
  const std::size_t start = at + marker.size();
  return line.substr(start, line.find(' ', start) - start);
}

int ToplevelCount() {
  GList* list = gtk_window_list_toplevels();
  const int n = static_cast<int>(g_list_length(list));
  g_list_free(list);
  return n;
}

class RuntimeGuiTest : public ::testing::Test {
 protected:
  void StartHost(RuntimeHost::Options options = {}) {
    m_host = std::make_unique<RuntimeHost>(std::move(options));
    std::string error;
    ASSERT_TRUE(m_host->Start(&error)) << error;
  }
  void TearDown() override {
    if (m_host) {
      EXPECT_EQ(m_host->ReentrantCallbacks(), 0) << "a handler ran inside a call into the runtime";
    }
    m_host.reset();
  }
  bool WaitForRequest(const std::string& text) {
    return m_host->RunUntil([&] { return m_host->SawRequestContaining(text); });
  }

  TestContent m_content;
  std::unique_ptr<RuntimeHost> m_host;
};

TEST_F(RuntimeGuiTest, PageLoadsAndEveryResourceCarriesTheProgramsHeaders) {
  StartHost();
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html")), S_OK);
  ASSERT_TRUE(WaitForRequest("report.txt?"));
  const std::string report = m_host->RequestContaining("report.txt?");
  EXPECT_NE(report.find("json=41"), std::string::npos) << report;
  EXPECT_NE(report.find("coep=require-corp"), std::string::npos) << report;
  EXPECT_NE(report.find("type=application/json"), std::string::npos) << report;
  EXPECT_NE(report.find("wasm=5"), std::string::npos) << report;
  EXPECT_NE(report.find("style=17px"), std::string::npos) << report;
  EXPECT_NE(report.find("sab=shared-42"), std::string::npos) << report;
  EXPECT_NE(report.find("missing=404"), std::string::npos) << report;
  EXPECT_NE(report.find("lang=ja"), std::string::npos) << "the options' language reaches the page: " << report;
  // This engine does not isolate custom-scheme pages, headers or not.
  std::cout << "[ report ] " << report << std::endl;

  ASSERT_TRUE(m_host->RunUntil([&] { return HasEventLine("load-finished", m_content.Url("index.html")); }));
  for (const char* name : {"index.html", "app.js", "style.css", "data.json", "add.wasm", "worker.js"}) {
    const std::string line = RequestLine(m_content.Url(name));
    ASSERT_FALSE(line.empty()) << name;
    EXPECT_EQ(Field(line, "status"), "200") << line;
    EXPECT_EQ(Field(line, "reason"), "OK") << line;
    EXPECT_EQ(Field(line, "source"), "program") << line;
    EXPECT_EQ(line.substr(line.find(" headers=") + 9), Escaped(RuntimeHost::HeadersFor(name))) << line;
  }
  for (const char* name : {"missing.js", "missing.json"}) {
    const std::string line = RequestLine(m_content.Url(name));
    ASSERT_FALSE(line.empty()) << name;
    EXPECT_EQ(Field(line, "status"), "404") << line;
    EXPECT_EQ(Field(line, "reason"), "Not\\sFound") << line;
  }
  // The program saw only file:// addresses, the navigation included.
  ASSERT_FALSE(m_host->Navigations().empty());
  EXPECT_EQ(m_host->Navigations().front(), m_content.Url("index.html"));
  for (const auto& uri : m_host->Requests()) EXPECT_EQ(uri.rfind("file://", 0), 0u) << uri;
  EXPECT_TRUE(HasEventLine("navigation-starting", m_content.Url("index.html"), "cancel=0"));

  if (const char* shot = g_getenv("VELLUM_SCREENSHOT")) {
    // Give the engine a moment to paint before the picture is taken; this
    // only serves the picture, nothing is asserted on time.
    bool painted = false;
    g_timeout_add(1500, [](gpointer flag) -> gboolean { *static_cast<bool*>(flag) = true; return G_SOURCE_REMOVE; }, &painted);
    m_host->RunUntil([&] { return painted; });
    g_autofree char* command = g_strdup_printf("import -window root %s", shot);
    g_spawn_command_line_sync(command, nullptr, nullptr, nullptr, nullptr);
  }
}

TEST_F(RuntimeGuiTest, MediaRequestsCarryTheMediaContext) {
  StartHost();
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html")), S_OK);
  ASSERT_TRUE(WaitForRequest("clip.mp4"));
  const auto& requests = m_host->Requests();
  for (std::size_t i = 0; i < requests.size(); ++i) {
    if (requests[i].find("clip.mp4") != std::string::npos) {
      EXPECT_EQ(m_host->RequestContexts()[i], COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA);
    }
    if (requests[i].find("index.html") != std::string::npos) {
      EXPECT_EQ(m_host->RequestContexts()[i], COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT);
    }
    if (requests[i].find("style.css") != std::string::npos) {
      EXPECT_EQ(m_host->RequestContexts()[i], COREWEBVIEW2_WEB_RESOURCE_CONTEXT_STYLESHEET);
    }
  }
  // The host leaves media to the runtime, which serves the file itself.
  ASSERT_TRUE(m_host->RunUntil([&] { return !RequestLine(m_content.Url("clip.mp4")).empty(); }));
  const std::string line = RequestLine(m_content.Url("clip.mp4"));
  EXPECT_EQ(Field(line, "source"), "engine") << line;
  // Media asks for byte ranges; the runtime answers them so the player can seek.
  EXPECT_EQ(Field(line, "status"), "206") << line;
  EXPECT_NE(line.find("Content-Range:\\sbytes\\s0-"), std::string::npos) << line;
  EXPECT_NE(line.find("/4096\\n"), std::string::npos) << line;
}

TEST_F(RuntimeGuiTest, RequestLeftWithoutResponseIsServedAsTheEngineWould) {
  RuntimeHost::Options options;
  options.leaveUnansweredContaining = "style.css";
  StartHost(options);
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html")), S_OK);
  ASSERT_TRUE(WaitForRequest("report.txt?"));
  EXPECT_NE(m_host->RequestContaining("report.txt?").find("style=17px"), std::string::npos);
  const std::string line = RequestLine(m_content.Url("style.css"));
  EXPECT_EQ(Field(line, "source"), "engine") << line;
  EXPECT_EQ(Field(line, "status"), "200") << line;
  EXPECT_EQ(line.substr(line.find(" headers=") + 9), Escaped("Content-Type: text/css\n")) << line;
}

TEST_F(RuntimeGuiTest, CancelledNavigationKeepsThePage) {
  RuntimeHost::Options options;
  options.cancelNavigationsContaining = "page2.html";
  StartHost(options);
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html?mode=cancel")), S_OK);
  ASSERT_TRUE(WaitForRequest("still-here.txt?after=cancel"));
  EXPECT_TRUE(HasEventLine("navigation-starting", m_content.Url("page2.html?from=cancel"), "cancel=1"));
  EXPECT_FALSE(m_host->SawRequestContaining("page2.html"));
  EXPECT_FALSE(m_host->SawRequestContaining("page2-loaded.txt"));
}

TEST_F(RuntimeGuiTest, HandledNewWindowRequestOpensNoWindow) {
  StartHost();
  const int windowsBefore = ToplevelCount();
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html?mode=newwindow")), S_OK);
  ASSERT_TRUE(WaitForRequest("still-here.txt?after=newwindow"));
  ASSERT_TRUE(m_host->RunUntil([&] { return m_host->NewWindows().size() >= 2; }));
  EXPECT_EQ(ToplevelCount(), windowsBefore);
  ASSERT_EQ(m_host->NewWindows().size(), 2u);
  EXPECT_EQ(m_host->NewWindows()[0], m_content.Url("page2.html?from=open"));
  EXPECT_EQ(m_host->NewWindows()[1], m_content.Url("page2.html?from=link"));
  EXPECT_NE(m_host->RequestContaining("still-here.txt").find("opened=null"), std::string::npos);
  EXPECT_FALSE(m_host->SawRequestContaining("page2.html"));
  EXPECT_TRUE(HasEventLine("new-window-requested", m_content.Url("page2.html?from=open"), "handled=1"));
}

TEST_F(RuntimeGuiTest, AbsoluteFileAddressInAPageReachesTheProgramAsAFileUrl) {
  StartHost();
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html?mode=abs")), S_OK);
  ASSERT_TRUE(WaitForRequest("report.txt?abs="));
  EXPECT_TRUE(m_host->SawRequestContaining(m_content.Url("absolute.svg")));
  EXPECT_NE(m_host->RequestContaining("report.txt?abs=").find("abs=40"), std::string::npos);
}

TEST_F(RuntimeGuiTest, PageFullScreenIsReportedAndLeavesTheWindowAlone) {
  StartHost();
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html?mode=fullscreen")), S_OK);
  ASSERT_TRUE(WaitForRequest("armed.txt"));
  // Full screen needs a user gesture: a real click into the page.
  m_host->ClickInView(60, 400);
  ASSERT_TRUE(WaitForRequest("fs.txt?left=1"));
  EXPECT_TRUE(m_host->SawRequestContaining("fs.txt?entered=1"));
  EXPECT_EQ(m_host->FullScreenValues(), (std::vector<BOOL>{TRUE, FALSE}));
  EXPECT_FALSE(m_host->WindowWasFullScreen()) << "the engine changed the window itself";
}

TEST_F(RuntimeGuiTest, CancelledDownloadIsStopped) {
  g_autofree char* downloads = g_dir_make_tmp("vellum-runtime-downloads-XXXXXX", nullptr);
  g_setenv("VELLUMVIEW_DOWNLOAD_DIR", downloads, TRUE);
  RuntimeHost::Options options;
  options.cancelDownloadsContaining = "data.bin";
  StartHost(options);
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html?mode=download")), S_OK);
  ASSERT_TRUE(m_host->RunUntil([&] { return !m_host->Downloads().empty(); }));
  EXPECT_EQ(m_host->Downloads().front(), m_content.Url("data.bin"));
  ASSERT_TRUE(m_host->RunUntil([&] { return HasEventLine("download-starting", m_content.Url("data.bin"), "cancel=1"); }));
  // Let anything still queued run: a cancelled download must save nothing.
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  g_autofree char* saved = g_build_filename(downloads, "data.bin", nullptr);
  EXPECT_FALSE(g_file_test(saved, G_FILE_TEST_EXISTS));
  EXPECT_FALSE(HasEventLine("download-saved", m_content.Url("data.bin")));
  g_unsetenv("VELLUMVIEW_DOWNLOAD_DIR");
  g_rmdir(downloads);
}

TEST_F(RuntimeGuiTest, LocalDownloadLetThroughIsSavedToTheDownloadFolder) {
  g_autofree char* downloads = g_dir_make_tmp("vellum-runtime-downloads-XXXXXX", nullptr);
  g_setenv("VELLUMVIEW_DOWNLOAD_DIR", downloads, TRUE);
  StartHost();
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html?mode=download")), S_OK);
  g_autofree char* saved = g_build_filename(downloads, "data.bin", nullptr);
  ASSERT_TRUE(m_host->RunUntil([&] { return HasEventLine("download-saved", m_content.Url("data.bin")); }));
  g_autofree char* contents = nullptr;
  gsize length = 0;
  ASSERT_TRUE(g_file_get_contents(saved, &contents, &length, nullptr));
  EXPECT_EQ(std::string(contents, length), std::string(1024, 'x'));
  EXPECT_EQ(m_host->Downloads().size(), 1u);
  g_unsetenv("VELLUMVIEW_DOWNLOAD_DIR");
  g_remove(saved);
  g_rmdir(downloads);
}

TEST_F(RuntimeGuiTest, ScriptDialogsSwitchedOffDoNotBlockThePage) {
  RuntimeHost::Options options;
  options.scriptDialogs = FALSE;
  StartHost(options);
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html?mode=alert")), S_OK);
  ASSERT_TRUE(WaitForRequest("after-alert.txt"));
}

TEST_F(RuntimeGuiTest, ViewOutlivingItsWindowAnswersInvalidStateAndReleasesCleanly) {
  StartHost();
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html")), S_OK);
  ASSERT_TRUE(WaitForRequest("report.txt?"));
  m_host->DestroyWindow();
  EXPECT_EQ(m_host->Navigate(m_content.Url("page2.html")), static_cast<HRESULT>(0x8007139F));
  EXPECT_EQ(m_host->PutBounds(RECT{0, 0, 10, 10}), static_cast<HRESULT>(0x8007139F));
}

TEST_F(RuntimeGuiTest, ReleasingTheControllerLetsGoOfHandlersThatHoldTheView) {
  StartHost();
  std::weak_ptr<int> handlerAlive;
  m_host->AddHandlerHoldingTheView(&handlerAlive);
  ASSERT_EQ(m_host->Navigate(m_content.Url("index.html")), S_OK);
  ASSERT_TRUE(WaitForRequest("report.txt?"));
  EXPECT_EQ(m_host->ParentChildCount(), 1);
  m_host->ReleaseRuntimeObjects();
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  EXPECT_TRUE(handlerAlive.expired()) << "the handler (and the view it holds) leaked";
  EXPECT_EQ(m_host->ParentChildCount(), 0) << "the engine view is still in the window";
}

TEST_F(RuntimeGuiTest, ControllerNeedsAContainerAsParent) {
  StartHost();
  EXPECT_EQ(m_host->CreateControllerOn(gtk_label_new("not a container")), E_INVALIDARG);
  EXPECT_EQ(m_host->CreateControllerOn(nullptr), E_INVALIDARG);
}

TEST_F(RuntimeGuiTest, NavigateRejectsTextThatIsNoAddress) {
  StartHost();
  EXPECT_EQ(m_host->Navigate("index.html"), E_INVALIDARG);
  EXPECT_EQ(m_host->Navigate(""), E_INVALIDARG);
  EXPECT_TRUE(m_host->Navigations().empty());
}

}  // namespace

int main(int argc, char** argv) {
  // The trace is opened on the runtime's first use, so it is named first.
  g_autofree char* trace = g_build_filename(g_get_tmp_dir(), "vellum-runtime-gui-trace-XXXXXX", nullptr);
  const int fd = g_mkstemp(trace);
  if (fd >= 0) close(fd);
  g_tracePath = trace;
  g_setenv("VELLUMVIEW_TRACE", trace, TRUE);
  gtk_init(&argc, &argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (!g_getenv("VELLUM_KEEP_TRACE")) g_remove(trace);
  return result;
}
