// The web view host against the fake platform and the fake engine: the
// creation chain from WM_CREATE to the registered handlers, the paths it
// works out, its failure reports, its sizing and its answers to local file
// requests.
#include "view/View.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "com/CoTaskMem.h"
#include "fakes/FakeEnvironment.h"
#include "fakes/FakeWebResourceRequestedEventArgs.h"
#include "loader/LoaderTestSupport.h"
#include "platform/FakePlatformScope.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "util/FormatMessageWithHResult.h"
#include "util/Strings.h"
#include "view/ViewFixture.h"
#include "view/LocalFileResponse.h"

// Fake files name only the fields a case sets; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using ::testing::ElementsAre;

class ViewTest : public ViewFixture {
 protected:
  ViewTest() {
    m_system.SetRoamingDataFolder(u"/home/user/.local/share");
    m_system.SetCurrentDirectory(u"/srv/app");
  }

  RECT ViewClientRect() { RECT rect{}; return m_windowing.GetClientRect(m_view.m_hWnd, &rect), rect; }

  void AddFile(std::u16string path, std::string content) { m_system.AddFile(std::move(path), {.content = std::move(content)}); }
  // Hands one request to the handler as the web view would, with its address and context.
  ComPtr<FakeWebResourceRequestedEventArgs> Request(std::optional<std::u16string> uri,
                                                    COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = kDocument) {
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
  // The registered handler answers local requests.
  const auto args = MakeComObject<FakeWebResourceRequestedEventArgs>(u"file:///x.css", kDocument);
  EXPECT_EQ(m_webView->RaiseWebResourceRequested(args.Get()), S_OK);
  ASSERT_EQ(m_environment->responses.size(), 1u);
  EXPECT_EQ(m_environment->responses[0]->statusCode, 404);
}

TEST_F(ViewTest, ARuntimeWithoutTheFilterOrSettingsStillNavigatesAndGetsTheHandler) {
  m_webView->Withhold(ICoreWebView2_22::kIid);
  m_webView->getSettingsResult = E_NOINTERFACE;
  RunChain();
  EXPECT_EQ(m_log->Count("put_Is") + m_log->Count("AddWebResourceRequestedFilter"), 0);
  EXPECT_EQ(m_log->Count("Navigate("), 1);
  EXPECT_EQ(m_webView->WebResourceRequestedHandlerCount(), 1u);
}

TEST_F(ViewTest, ARuntimeWithoutTheEnvironmentInterfaceGetsNeitherFilterNorHandler) {
  m_webView->Withhold(ICoreWebView2_2::kIid);
  m_webView->Withhold(ICoreWebView2_22::kIid);
  RunChain();
  EXPECT_EQ(m_log->Count("AddWebResourceRequestedFilter") + m_webView->WebResourceRequestedHandlerCount(), 0u);
  EXPECT_EQ(m_log->Count("Navigate("), 1);
}

// --- Sizing --------------------------------------------------------------------------

TEST_F(ViewTest, TheWebViewTakesTheClientAreaFromTheControllerOnAndOnEverySizeOrDpiChange) {
  CreateFrame();
  EXPECT_EQ(m_view.SendMessage(WM_DPICHANGED, 0, 0), 0);
  CompleteEnvironment(S_OK, m_environment.Get());
  m_windowing.UserResize(m_view.m_hWnd, 700, 500);
  EXPECT_TRUE(m_controller->bounds.empty());
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
      {u"a/../b", u"web/../x.html", u"/srv/app", u"/d", S_OK, u"/d/Corvella/b", u"file:///srv/app/x.html"},
      {u"../x", u"../../etc/passwd", u"/srv/app", u"/d/", S_OK, u"/d/Corvella/x", u"file:///srv/app/etc/passwd"},
      {u"/abs", u"/etc/index.html", u"/srv/app/", u"/d", S_OK, u"/d/Corvella/abs", u"file:///srv/app/etc/index.html"},
      {u"日本", u"my page%.html", u"/", u"/d", S_OK, u"/d/Corvella/日本", u"file:///my%20page%25.html"},
      // The first '?' or '#' starts the query or fragment, kept as written; '%' in the name is a character.
      {u"", u"a/../app.html?mode=kiosk&x=%41#top", u"/srv", u"/d", S_OK, u"/d/Corvella/vellumview", u"file:///srv/app.html?mode=kiosk&x=%41#top"},
      {u"", u"my page#1?%.html", u"/", u"/d", S_OK, u"/d/Corvella/vellumview", u"file:///my%20page#1?%.html"},
      {u"", u"?only", u"/srv", u"/d", S_OK, u"/d/Corvella/vellumview", u"file:///srv/?only"},
      // An identity that resolves to nothing would share the folder of all applications; a NUL would cut a path.
      {u".", u"index.html", u"/srv/app", u"/d", E_INVALIDARG, u"", u""},
      {u"/", u"index.html", u"/srv/app", u"/d", E_INVALIDARG, u"", u""},
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

TEST_F(ViewTest, AFailingPreparePathsShows58104OnceAndClosesTheFrame) {
  m_frame.settings.browserID = u"..";
  CreateFrame();
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  const auto& box = m_windowing.MessageBoxes()[0];
  EXPECT_EQ(std::tie(box.text, box.caption, box.type), std::tuple(u"ブラウザの設定に失敗しました : 0x80070057", u"", MB_OK | MB_ICONERROR));
  EXPECT_EQ(m_log->Count("CreateEnvironment"), 0);
  EXPECT_EQ(m_frame.m_hWnd, nullptr);
}

TEST_F(ViewTest, ASynchronousCreationFailureShows58103AndClosesTheFrame) {
  CreateFrame(false);  // no runtime: the loader fails before the call returns
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_windowing.MessageBoxes()[0].text, u"ブラウザの初期化に失敗しました : 0x80070002");
  EXPECT_EQ(m_frame.m_hWnd, nullptr);
}

// EnvironmentHandler calls the view's handler directly: the loader turns a
// failure that comes with an environment into a success, so only a runtime
// that bypasses it could deliver one.
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

using enum Stage;
INSTANTIATE_TEST_SUITE_P(
    Table, AsynchronousFailure,
    ::testing::ValuesIn(std::vector<AsyncFailure>{
        {Environment, E_ACCESSDENIED, false, E_ACCESSDENIED}, {EnvironmentHandler, E_ABORT, true, E_ABORT},
        {Environment, S_OK, false, E_FAIL}, {ControllerRequest, E_OUTOFMEMORY, true, E_OUTOFMEMORY},
        {Controller, E_ABORT, false, E_ABORT}, {Controller, E_UNEXPECTED, true, E_UNEXPECTED},
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

TEST_F(ViewTest, LocalRequestsAreAnsweredWithTheFileOr404Or400AndTheHeaderBlock) {
  // Which addresses are local, the header block and the path rules are tested
  // with IsFileUri, ResponseHeadersForUri and FileUrlToPath.
  AddFile(u"/srv/my app/index.html", "<html>");
  AddFile(u"/srv/my app/日本 語.js", "nihongo");
  const struct { std::u16string uri; int status; std::string body; COREWEBVIEW2_WEB_RESOURCE_CONTEXT context; } cases[] = {
      {u"file:///srv/my%20app/index.html", 200, "<html>", kDocument},
      {u"FILE://localhost/srv/my%20app/%E6%97%A5%E6%9C%AC%20%E8%AA%9E.js?x=%zz#f", 200, "nihongo", kDocument},
      {u"file:///srv/my%20app/index.html", 200, "<html>", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_IMAGE},
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
  // Only addresses that became paths reached the file system, decoded.
  EXPECT_THAT(m_system.OpenedFileStreams(),
              ElementsAre(u"/srv/my app/index.html", u"/srv/my app/日本 語.js", u"/srv/my app/index.html", u"/srv/my app/missing.js"));
}

TEST_F(ViewTest, ARequestIsLeftToTheRuntimeWhenNoResponseCanBeMade) {
  AddFile(u"/srv/index.html", "<html>");
  EXPECT_EQ(Request(std::nullopt)->putResponseCount, 0);  // the address cannot be read
  EXPECT_EQ(m_view.OnWebResourceRequested(m_webView.Get(), nullptr), S_OK);
  m_environment->createResponseResult = E_OUTOFMEMORY;
  EXPECT_EQ(Request(u"file:///srv/index.html")->putResponseCount + Request(u"file:///srv/x.html")->putResponseCount, 0);
  m_environment->createResponseResult = S_OK;
  m_webView->getEnvironmentResult = E_FAIL;
  EXPECT_EQ(Request(u"file:///srv/index.html")->putResponseCount, 0);
  m_webView->getEnvironmentResult = S_OK;
  m_webView->environment = nullptr;
  EXPECT_EQ(Request(u"file:///srv/index.html")->putResponseCount, 0);
}

// --- Full screen -------------------------------------------------------------------

struct FrameState {
  DWORD style;
  DWORD exStyle;
  RECT rect;
  bool zoomed;
  friend bool operator==(const FrameState&, const FrameState&) = default;
};

class ViewFullScreenTest : public ViewTest {
 protected:
  static constexpr DWORD kEdges = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
  // Two monitors side by side, each with a panel that the work area leaves out.
  static constexpr MONITORINFO kPrimary{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}, 1};
  static constexpr MONITORINFO kSecond{RECT{1920, 0, 3200, 1024}, RECT{1920, 30, 3200, 1024}, 0};

  ViewFullScreenTest() {
    m_windowing.SetMonitors({kPrimary, kSecond});
    RunChain();
    m_frame.SetWindowLong(GWL_EXSTYLE, WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_APPWINDOW);
    m_frame.SetWindowPos(nullptr, 100, 50, 800, 600, SWP_NOZORDER);
  }
  FrameState State() {
    RECT rect{};
    m_windowing.GetWindowRect(m_frame.m_hWnd, &rect);
    return {static_cast<DWORD>(m_windowing.GetWindowLong(m_frame.m_hWnd, GWL_STYLE)),
            static_cast<DWORD>(m_windowing.GetWindowLong(m_frame.m_hWnd, GWL_EXSTYLE)), rect,
            m_windowing.IsZoomed(m_frame.m_hWnd) != FALSE};
  }
  HRESULT Raise(BOOL contains) { return m_webView->RaiseContainsFullScreenElementChanged(contains); }
  // What the frame looks like in full screen on a monitor, from a state.
  static FrameState Covering(const FrameState& from, const MONITORINFO& monitor) {
    return {from.style & ~(WS_CAPTION | WS_THICKFRAME), from.exStyle & ~kEdges, monitor.rcMonitor, false};
  }
};

TEST_F(ViewFullScreenTest, EnteringCoversTheWholeNearestMonitorAndLeavingPutsEverythingBack) {
  const struct {
    const char* name;
    RECT place;  // where the frame is when the page enters full screen
    const MONITORINFO& monitor;
  } cases[] = {{"primary", RECT{100, 50, 900, 650}, kPrimary},
               {"second monitor", RECT{2000, 100, 2800, 700}, kSecond},
               {"mostly on the second", RECT{1800, 100, 2600, 700}, kSecond}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    m_frame.SetWindowPos(nullptr, c.place.left, c.place.top, c.place.right - c.place.left,
                         c.place.bottom - c.place.top, SWP_NOZORDER);
    const FrameState before = State();
    EXPECT_EQ(Raise(TRUE), S_OK);
    EXPECT_EQ(State(), Covering(before, c.monitor));
    EXPECT_EQ(Raise(FALSE), S_OK);
    EXPECT_EQ(State(), before);
  }
  EXPECT_TRUE(m_frame.commands.empty());
}

TEST_F(ViewFullScreenTest, AMaximizedFrameIsRestoredBeforeSavingAndMaximizedAgainAfterLeaving) {
  const FrameState normal = State();
  m_frame.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  ASSERT_TRUE(State().zoomed);
  ASSERT_NE(State().rect.right, normal.rect.right);
  m_frame.commands.clear();

  EXPECT_EQ(Raise(TRUE), S_OK);
  EXPECT_THAT(m_frame.commands, ElementsAre(SC_RESTORE));
  EXPECT_EQ(State(), Covering(normal, kPrimary));

  EXPECT_EQ(Raise(FALSE), S_OK);
  EXPECT_THAT(m_frame.commands, ElementsAre(SC_RESTORE, SC_MAXIMIZE));
  EXPECT_TRUE(State().zoomed);
  // Restoring brings back the rectangle saved on entry, which must be the
  // restored frame's and not the maximised one.
  m_frame.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  EXPECT_EQ(State(), normal);
}

TEST_F(ViewFullScreenTest, AMinimizedFrameIsBroughtBackBeforeItsRectangleIsSaved) {
  const FrameState normal = State();
  m_frame.ShowWindow(SW_MINIMIZE);
  EXPECT_EQ(Raise(TRUE), S_OK);
  EXPECT_THAT(m_frame.commands, ElementsAre(SC_RESTORE));
  EXPECT_EQ(Raise(FALSE), S_OK);
  EXPECT_EQ(State(), normal);
}

TEST_F(ViewFullScreenTest, RepeatedEventsInTheSameStateChangeNothing) {
  const FrameState normal = State();
  // Leaving while windowed does nothing.
  EXPECT_EQ(Raise(FALSE), S_OK);
  EXPECT_EQ(State(), normal);
  EXPECT_EQ(Raise(TRUE), S_OK);
  const FrameState covering = State();
  const std::size_t calls = m_windowing.Calls().size();
  // A second entry must not save the full-screen layout as the one to go back to.
  EXPECT_EQ(Raise(TRUE), S_OK);
  EXPECT_EQ(State(), covering);
  EXPECT_EQ(m_windowing.Calls().size(), calls);
  EXPECT_EQ(Raise(FALSE), S_OK);
  EXPECT_EQ(State(), normal);
  EXPECT_EQ(Raise(FALSE), S_OK);
  EXPECT_EQ(State(), normal);
}

TEST_F(ViewFullScreenTest, AFailedReadOfTheStateChangesNothingAndIsReturned) {
  const FrameState normal = State();
  m_webView->getFullScreenResult = E_UNEXPECTED;
  EXPECT_EQ(Raise(TRUE), E_UNEXPECTED);
  EXPECT_EQ(State(), normal);
  EXPECT_FALSE(m_view.m_isFullScreen);
}

}  // namespace
