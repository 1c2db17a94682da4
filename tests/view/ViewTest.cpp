// The web view host against the fake platform and the fake engine: the
// creation chain from WM_CREATE to the registered handlers, the paths it
// works out, its failure reports, its sizing and its answers to local file
// requests.
#include "view/View.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/FakeWebResourceRequestedEventArgs.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "util/FormatMessageWithHResult.h"
#include "view/LocalFileResponse.h"
#include "view/ViewFixture.h"

// Fake files name only the fields a case sets; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using ::testing::ElementsAre;

class ViewTest : public ViewFixture {
 protected:
  RECT ViewClientRect() { RECT rect{}; return m_windowing.GetClientRect(m_view.m_hWnd, &rect), rect; }

  void AddFile(std::u16string path, std::string content) { m_system.AddFile(std::move(path), {.content = std::move(content)}); }
  // Hands one request to the handler as the web view would, with its address and context.
  ComPtr<FakeWebResourceRequestedEventArgs> Request(std::u16string uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = kDocument) {
    auto args = MakeComObject<FakeWebResourceRequestedEventArgs>(std::move(uri), context);
    EXPECT_EQ(m_view.OnWebResourceRequested(m_webView.Get(), args.Get()), S_OK);
    return args;
  }
  static constexpr auto kDocument = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT;
};

// --- The creation chain -----------------------------------------------------------

TEST_F(ViewTest, TheChainRunsFromCreationToTheRegisteredHandlersInOrder) {
  RunChain();
  // The bounds themselves are checked by the sizing test.
  EXPECT_THAT(m_log->Calls(),
              ElementsAre("CreateEnvironment(/home/user/.local/share/Corvella/vellumview)", "CreateCoreWebView2Controller",
                          "get_CoreWebView2", "get_Settings", "put_IsScriptEnabled(1)",
                          "put_AreDefaultScriptDialogsEnabled(1)", "put_IsWebMessageEnabled(1)",
                          "put_AreDevToolsEnabled(0)", testing::StartsWith("put_Bounds("),
                          "add_ContainsFullScreenElementChanged", "Navigate(file:///srv/app/index.html)",
                          "add_NavigationStarting", "add_DownloadStarting", "add_NewWindowRequested",
                          "AddWebResourceRequestedFilterWithRequestSourceKinds(*,0,4294967295)", "add_WebResourceRequested"));
  EXPECT_EQ(m_browserArguments, u"--disable-web-security --allow-file-access-from-files --allow-file-access");
  EXPECT_THAT(m_environment->controllerParents, ElementsAre(m_view.m_hWnd));
  // That the registered handler answers local requests is followed in the GUI test "demo_gui".
}

TEST_F(ViewTest, ARuntimeWithoutTheFilterOrSettingsStillNavigatesAndGetsTheHandler) {
  m_webView->Withhold(ICoreWebView2_22::kIid);
  m_webView->getSettingsResult = E_NOINTERFACE;
  RunChain();
  EXPECT_EQ(m_log->Count("put_Is") + m_log->Count("AddWebResourceRequestedFilter"), 0);
  EXPECT_EQ(m_log->Count("Navigate("), 1);
  EXPECT_EQ(m_webView->WebResourceRequestedHandlerCount(), 1u);
}

// --- Sizing --------------------------------------------------------------------------

TEST_F(ViewTest, TheWebViewTakesTheClientAreaFromTheControllerOnAndOnEverySizeOrDpiChange) {
  CreateFrame();
  EXPECT_EQ(m_view.SendMessage(WM_DPICHANGED, 0, 0), 0);
  CompleteEnvironment(S_OK, m_environment.Get());
  m_windowing.UserResize(m_view.m_hWnd, 700, 500);  // nothing to size yet
  m_environment->CompleteControllerCreation(S_OK, m_controller.Get());
  EXPECT_THAT(m_controller->bounds, ElementsAre(ViewClientRect()));
  m_windowing.UserResize(m_view.m_hWnd, 1024, 700);
  EXPECT_THAT(m_controller->bounds, ElementsAre(testing::_, ViewClientRect()));
  EXPECT_EQ(m_view.SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), 0), 0);
  EXPECT_EQ(m_controller->bounds.size(), 3u);
}

// --- Paths ----------------------------------------------------------------------------

TEST_F(ViewTest, PreparePathsBuildsTheUserDataFolderAndTheStartAddressBelowTheirRoots) {
  // Canonicalisation itself is tested with CanonicalizePath, encoding with PathToFileUrl.
  const std::u16string nul(1, u'\0');
  const struct { std::u16string browserId, startPage, cwd, dataHome; HRESULT hr; std::u16string folder, url; } cases[] = {
      {u"", u"index.html", u"/srv/app", u"/d", S_OK, u"/d/Corvella/vellumview", u"file:///srv/app/index.html"},
      // Climbing above a root is clamped there, a leading '/' stays below it, trailing separators go.
      {u"../x", u"/etc/../../passwd", u"/srv/app/", u"/d/", S_OK, u"/d/Corvella/x", u"file:///srv/app/passwd"},
      {u"日本", u"my page%.html", u"/", u"/d", S_OK, u"/d/Corvella/日本", u"file:///my%20page%25.html"},
      // The first '?' or '#' starts the query or fragment, kept as written; '%' in the name is a character.
      {u"", u"my page#1?%.html", u"/", u"/d", S_OK, u"/d/Corvella/vellumview", u"file:///my%20page#1?%.html"},
      // A NUL would cut a path. (An identity that resolves to nothing is refused at creation, below.)
      {u"a" + nul, u"index.html", u"/srv/app", u"/d", E_INVALIDARG, u"", u""},
      {u"", u"index.html" + nul + u".js", u"/srv/app", u"/d", E_INVALIDARG, u"", u""}};
  for (const auto& c : cases) {
    m_view.m_userDataFolder = m_view.m_startUrl = u"old";
    m_frame.settings.browserID = c.browserId;
    m_frame.settings.startPage = c.startPage;
    m_system.SetCurrentDirectory(c.cwd);
    m_system.SetRoamingDataFolder(c.dataHome);
    EXPECT_EQ(m_view.PreparePaths(), c.hr) << WideToUtf8(c.browserId) << " " << WideToUtf8(c.startPage);
    EXPECT_EQ(m_view.m_userDataFolder, c.folder);
    EXPECT_EQ(m_view.m_startUrl, c.url);
  }
}

// --- Failures --------------------------------------------------------------------------

TEST_F(ViewTest, AnIdentityThatResolvesToNothingShows58104OnceAndClosesTheFrame) {
  // It would share the data folder of all applications.
  m_frame.settings.browserID = u"..";
  CreateFrame();
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  const auto& box = m_windowing.MessageBoxes()[0];
  EXPECT_EQ(std::tie(box.text, box.caption, box.type), std::tuple(u"ブラウザの設定に失敗しました : 0x80070057", u"", MB_OK | MB_ICONERROR));
  EXPECT_EQ(m_log->Count("CreateEnvironment"), 0);
  EXPECT_EQ(m_frame.m_hWnd, nullptr);
}

// A creation entry that fails at once is followed in RunApplicationTest
// ("ViewFailureClosesTheFrame"). EnvironmentHandler calls the view's handler
// directly: the loader turns a failure that comes with an environment into a
// success, so only a runtime that bypasses it could deliver one.
enum class Stage { Environment, EnvironmentHandler, ControllerRequest, Controller, ControllerWebView };
struct AsyncFailure { Stage stage; HRESULT hr; bool withObject; HRESULT shown; };
class AsynchronousFailure : public ViewTest, public ::testing::WithParamInterface<AsyncFailure> {};

TEST_P(AsynchronousFailure, Shows58103WithTheCodeOnceOwnedByTheViewClosesTheFrameAndCallsThroughNothing) {
  const auto& c = GetParam();
  CreateFrame();
  const HWND view = m_view.m_hWnd;
  // Every stage runs on to the end; the stages after the failing one find the frame closed.
  if (c.stage == Stage::ControllerRequest) m_environment->createControllerResult = c.hr;
  if (c.stage == Stage::ControllerWebView) m_controller->getCoreWebView2Result = c.hr;
  if (c.stage == Stage::ControllerWebView && !c.withObject) m_controller->webView = nullptr;
  if (c.stage == Stage::EnvironmentHandler) { EXPECT_EQ(m_view.OnEnvironmentCreated(c.hr, m_environment.Get()), S_OK); }
  const bool environmentFails = c.stage == Stage::Environment, controllerFails = c.stage == Stage::Controller;
  CompleteEnvironment(environmentFails ? c.hr : S_OK, environmentFails && !c.withObject ? nullptr : m_environment.Get());
  m_environment->CompleteControllerCreation(controllerFails ? c.hr : S_OK,
                                            controllerFails && !c.withObject ? nullptr : m_controller.Get());
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_windowing.MessageBoxes()[0].text,
            FormatMessageWithHResult(LoadStringResource(IDS_BROWSER_INITIALIZATION_FAILED), c.shown));
  EXPECT_EQ(m_windowing.MessageBoxes()[0].owner, view);
  EXPECT_EQ(m_frame.m_hWnd, nullptr);
  EXPECT_FALSE(m_view.m_controller || m_view.m_webView);
  EXPECT_EQ(m_log->Count("get_Settings") + m_log->Count("Navigate(") + m_log->Count("put_Bounds"), 0);
}

// For each stage: a failure that comes with an object, and a success without one.
using enum Stage;
INSTANTIATE_TEST_SUITE_P(
    Table, AsynchronousFailure,
    ::testing::ValuesIn(std::vector<AsyncFailure>{
        {EnvironmentHandler, E_ABORT, true, E_ABORT}, {Environment, S_OK, false, E_FAIL},
        {ControllerRequest, E_OUTOFMEMORY, true, E_OUTOFMEMORY}, {Controller, E_UNEXPECTED, true, E_UNEXPECTED},
        {Controller, S_OK, false, E_FAIL}, {ControllerWebView, E_NOINTERFACE, true, E_NOINTERFACE},
        {ControllerWebView, S_OK, false, E_FAIL}}));

TEST_F(ViewTest, CompletionsAfterTheFrameHasClosedDoNothing) {
  CreateFrame();
  m_frame.DestroyWindow();
  CompleteEnvironment(S_OK, m_environment.Get());
  EXPECT_EQ(m_view.OnControllerCreated(S_OK, m_controller.Get()), S_OK);
  EXPECT_EQ(m_view.OnEnvironmentCreated(E_FAIL, nullptr), S_OK);
  EXPECT_FALSE(m_view.m_controller);
  EXPECT_EQ(m_log->Count("CreateCoreWebView2Controller") + m_log->Count("Navigate(") + m_windowing.MessageBoxes().size(), 0u);
}

// --- Local file requests ----------------------------------------------------------

TEST_F(ViewTest, LocalRequestsAreAnsweredWithTheFileOr404Or400AndTheHeaderBlockOrLeftToTheRuntime) {
  // Which addresses are local, the header block and the path rules are tested
  // with IsFileUri, ResponseHeadersForUri and FileUrlToPath.
  AddFile(u"/srv/my app/index.html", "<html>");
  const struct { std::u16string uri; int status; std::string body; COREWEBVIEW2_WEB_RESOURCE_CONTEXT context; } cases[] = {
      {u"file:///srv/my%20app/index.html", 200, "<html>", kDocument},
      // Why a file does not open is told apart by FileStream; any failure is a 404.
      {u"file:///srv/my%20app/missing.js", 404, "-", kDocument}, {u"file://server/srv/my%20app/index.html", 400, "-", kDocument},
      {u"https://example.com/index.html", 0, "", kDocument}, {u"file:///srv/my%20app/index.html", 0, "", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA}};
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.uri) + " context " + std::to_string(c.context));
    m_environment->responses.clear();
    const auto args = Request(c.uri, c.context);
    ASSERT_EQ(args->putResponseCount, c.status ? 1 : 0);
    ASSERT_EQ(m_environment->responses.size(), c.status ? 1u : 0u);
    if (c.status == 0) continue;
    const auto& response = m_environment->responses.front();
    EXPECT_EQ(args->response.Get(), static_cast<ICoreWebView2WebResourceResponse*>(response.Get()));
    EXPECT_EQ(response->statusCode, c.status);
    EXPECT_EQ(response->reasonPhrase, c.status == 200 ? u"OK" : c.status == 404 ? u"Not Found" : u"Bad Request");
    EXPECT_EQ(response->headers, ResponseHeadersForUri(c.uri));
    char body[16];
    ULONG read = 0;
    if (response->content) response->content->Read(body, sizeof body, &read);
    EXPECT_EQ(response->content ? std::string(body, read) : "-", c.body);
  }
  // A response that cannot be made, or no environment to make it with, leaves the request to the runtime.
  EXPECT_EQ(m_view.OnWebResourceRequested(m_webView.Get(), nullptr), S_OK);
  m_environment->createResponseResult = E_OUTOFMEMORY;
  EXPECT_EQ(Request(u"file:///srv/my%20app/index.html")->putResponseCount, 0);
  m_webView->environment = nullptr;
  EXPECT_EQ(Request(u"file:///srv/my%20app/index.html")->putResponseCount, 0);
}

// --- Full screen -------------------------------------------------------------------

struct FrameState {
  DWORD style;
  DWORD exStyle;
  RECT rect;
  bool iconic;
  friend bool operator==(const FrameState&, const FrameState&) = default;
};

// Leaving to a maximised frame and a second monitor are followed in the GUI
// tests "full_screen_gui_maximized" and "full_screen_gui_twomonitors".
TEST_F(ViewTest, EnteringFullScreenOnceCoversTheWholeMonitorAndLeavingOncePutsTheNormalFrameBack) {
  // A panel that the work area leaves out.
  constexpr MONITORINFO kMonitor{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}, 1};
  m_windowing.SetMonitors({kMonitor});
  RunChain();
  m_frame.SetWindowLong(GWL_EXSTYLE, WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_APPWINDOW);
  m_frame.SetWindowPos(nullptr, 100, 50, 800, 600, SWP_NOZORDER);
  const auto state = [this] {
    RECT rect{};
    m_frame.GetWindowRect(&rect);
    return FrameState{DWORD(m_frame.GetWindowLong(GWL_STYLE)), DWORD(m_frame.GetWindowLong(GWL_EXSTYLE)), rect,
                      m_windowing.IsIconic(m_frame.m_hWnd) != FALSE};
  };
  const auto raise = [this](BOOL contains) { return m_webView->RaiseContainsFullScreenElementChanged(contains); };
  const FrameState normal = state();
  // A state that cannot be read changes nothing and is returned.
  m_webView->getFullScreenResult = E_UNEXPECTED;
  EXPECT_EQ(raise(TRUE), E_UNEXPECTED);
  EXPECT_EQ(state(), normal);
  m_webView->getFullScreenResult = S_OK;
  m_frame.ShowWindow(SW_MINIMIZE);
  const FrameState minimized = state();
  EXPECT_EQ(raise(FALSE), S_OK);  // leaving while windowed does nothing
  EXPECT_EQ(state(), minimized);
  // A minimised frame is brought back first: its rectangle would come back off screen.
  EXPECT_EQ(raise(TRUE), S_OK);
  EXPECT_EQ(state(), (FrameState{normal.style & ~(WS_CAPTION | WS_THICKFRAME), WS_EX_APPWINDOW, kMonitor.rcMonitor, false}));
  // A second entry must not save the full-screen layout as the one to go back to.
  EXPECT_EQ(raise(TRUE), S_OK);
  EXPECT_EQ(raise(FALSE), S_OK);
  EXPECT_EQ(state(), normal);
}

}  // namespace
