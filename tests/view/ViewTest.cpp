// The web view host against the fake platform and the fake engine: the
// creation chain from WM_CREATE to the registered handlers, the paths it
// works out, its failure reports, its sizing, full screen, its answers to
// local file requests, and its link policy: which navigations go on, go to
// the desktop or to a file operation, which downloads the operations take,
// what new-window requests become, and how queued saves are handled.
#include "view/View.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "com/CoTaskMem.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "tests/fakes/FakeEnvironment.h"
#include "tests/fakes/FakeLinkEventArgs.h"
#include "tests/fakes/FakeWebResourceRequestedEventArgs.h"
#include "tests/loader/LoaderTestSupport.h"
#include "tests/platform/FakePlatformScope.h"
#include "tests/view/FakeFrame.h"
#include "util/FormatMessageWithHResult.h"
#include "util/Strings.h"
#include "view/LocalFileResponse.h"

// Fake files name only the fields a case sets; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using ::testing::ElementsAre;
using Launch = FakeSystem::ShellLaunch;

// The fake platform, a fake frame holding the settings, the view, and a fake
// engine whose creation the test completes step by step.
class ViewTest : public ::testing::Test {
 protected:
  ViewTest() {
    m_view.m_pFrame = &m_frame;
    m_frame.settings.startPage = u"index.html";
    m_system.SetRoamingDataFolder(u"/home/user/.local/share");
    m_system.SetCurrentDirectory(u"/srv/app");
  }

  // Creates the frame, and with it the view, against a runtime whose creation
  // entry records its call and keeps the handler, so that the test decides
  // when and how creation ends.
  void CreateFrame() {
    loader_test::InstallFixedRuntime(m_system, [this](int, UINT32, LPCWSTR folder, auto* options, auto* handler) {
      m_log->Add("CreateEnvironment(" + WideToUtf8(folder ? folder : u"(null)") + ")");
      LPWSTR arguments = nullptr;
      options->get_AdditionalBrowserArguments(&arguments);
      m_browserArguments = View(CoTaskMemString(arguments));
      m_environmentHandler = handler;
      return S_OK;
    });
    m_frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    m_view.Create(m_frame.m_hWnd, nullptr, {}, CView::kWindowStyle);
  }

  // Ends environment creation with this outcome; a loader that retries a
  // failure gets the same answer again.
  void CompleteEnvironment(HRESULT hr, ICoreWebView2Environment* environment) {
    for (int i = 0; i < 4 && m_environmentHandler; ++i) ComPtr(std::move(m_environmentHandler))->Invoke(hr, environment);
  }

  // Runs the whole chain to the running state.
  void RunChain() {
    CreateFrame();
    CompleteEnvironment(S_OK, m_environment.Get());
    m_environment->CompleteControllerCreation(S_OK, m_controller.Get());
  }

  RECT ViewClientRect() { RECT rect{}; return m_windowing.GetClientRect(m_view.m_hWnd, &rect), rect; }

  // Hands one request to the handler as the web view would, with its address and context.
  ComPtr<FakeWebResourceRequestedEventArgs> Request(std::u16string uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = kDocument) {
    auto args = MakeComObject<FakeWebResourceRequestedEventArgs>(std::move(uri), context);
    EXPECT_EQ(m_view.OnWebResourceRequested(m_webView.Get(), args.Get()), S_OK);
    return args;
  }
  static constexpr auto kDocument = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT;

  FakePlatformScope m_platform;
  FakeWindowing& m_windowing = m_platform.windowing;
  FakeSystem& m_system = m_platform.system;
  FakeFrame m_frame;
  CView m_view;
  std::shared_ptr<FakeEngineLog> m_log = std::make_shared<FakeEngineLog>();
  ComPtr<FakeEnvironment> m_environment = MakeComObject<FakeEnvironment>(m_log);
  ComPtr<FakeController> m_controller = m_environment->MakeController();
  ComPtr<FakeWebView> m_webView = m_controller->webView;
  ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> m_environmentHandler;
  std::u16string m_browserArguments;
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

TEST_F(ViewTest, ARuntimeWithoutTheFilterOrSettingsStillGetsTheRestOfTheChain) {
  m_webView->offers22 = false;
  m_webView->getSettingsResult = E_NOINTERFACE;
  RunChain();
  EXPECT_EQ(m_log->Count("put_Is") + m_log->Count("AddWebResourceRequestedFilter"), 0);
  EXPECT_EQ(m_webView->WebResourceRequestedHandlerCount(), 1u);
}

// --- Sizing --------------------------------------------------------------------------

TEST_F(ViewTest, TheWebViewTakesTheClientAreaFromTheControllerOnAndOnEverySizeOrDpiChange) {
  CreateFrame();
  EXPECT_EQ(m_view.SendMessage(WM_DPICHANGED, 0, 0), 0);
  CompleteEnvironment(S_OK, m_environment.Get());
  m_windowing.UserResize(m_view.m_hWnd, 700, 500);  // nothing to size yet
  m_environment->CompleteControllerCreation(S_OK, m_controller.Get());
  m_windowing.UserResize(m_view.m_hWnd, 1024, 700);
  EXPECT_THAT(m_controller->bounds, ElementsAre(testing::_, ViewClientRect()));  // on creation, then on the size change
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
      // The first '?' or '#' starts the query or fragment, kept as written.
      {u"", u"my page#1?%.html", u"/", u"/d", S_OK, u"/d/Corvella/vellumview", u"file:///my%20page#1?%.html"},
      // A NUL would cut a path. (An identity that resolves to nothing is refused at creation, below.)
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
struct AsyncFailure { Stage stage; HRESULT hr; };
class AsynchronousFailure : public ViewTest, public ::testing::WithParamInterface<AsyncFailure> {};

TEST_P(AsynchronousFailure, Shows58103WithTheCodeOnceOwnedByTheViewClosesTheFrameAndCallsThroughNothing) {
  const auto [stage, hr] = GetParam();
  // A failure comes with its object; a success without one is shown as E_FAIL.
  const bool withObject = FAILED(hr);
  CreateFrame();
  const HWND view = m_view.m_hWnd;
  // Every stage runs on to the end; the stages after the failing one find the frame closed.
  if (stage == Stage::ControllerRequest) m_environment->createControllerResult = hr;
  if (stage == Stage::ControllerWebView) m_controller->getCoreWebView2Result = hr;
  if (stage == Stage::ControllerWebView && !withObject) m_controller->webView = nullptr;
  if (stage == Stage::EnvironmentHandler) { EXPECT_EQ(m_view.OnEnvironmentCreated(hr, m_environment.Get()), S_OK); }
  const bool environmentFails = stage == Stage::Environment, controllerFails = stage == Stage::Controller;
  CompleteEnvironment(environmentFails ? hr : S_OK, environmentFails && !withObject ? nullptr : m_environment.Get());
  m_environment->CompleteControllerCreation(controllerFails ? hr : S_OK,
                                            controllerFails && !withObject ? nullptr : m_controller.Get());
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_windowing.MessageBoxes()[0].text,
            FormatMessageWithHResult(LoadStringResource(IDS_BROWSER_INITIALIZATION_FAILED), withObject ? hr : E_FAIL));
  EXPECT_EQ(m_windowing.MessageBoxes()[0].owner, view);
  EXPECT_EQ(m_frame.m_hWnd, nullptr);
  EXPECT_FALSE(m_view.m_controller || m_view.m_webView);
  EXPECT_EQ(m_log->Count("get_Settings") + m_log->Count("Navigate(") + m_log->Count("put_Bounds"), 0);
}

using enum Stage;
INSTANTIATE_TEST_SUITE_P(Table, AsynchronousFailure,
                         ::testing::ValuesIn(std::vector<AsyncFailure>{
                             {EnvironmentHandler, E_ABORT}, {Environment, S_OK}, {ControllerRequest, E_OUTOFMEMORY},
                             {Controller, E_UNEXPECTED}, {Controller, S_OK}, {ControllerWebView, E_NOINTERFACE},
                             {ControllerWebView, S_OK}}));

TEST_F(ViewTest, CompletionsAfterTheFrameHasClosedDoNothing) {
  CreateFrame();
  m_frame.DestroyWindow();
  CompleteEnvironment(S_OK, m_environment.Get());
  EXPECT_EQ(m_view.OnControllerCreated(S_OK, m_controller.Get()), S_OK);
  EXPECT_EQ(m_view.OnEnvironmentCreated(E_FAIL, nullptr), S_OK);
  EXPECT_EQ(m_log->Count("CreateCoreWebView2Controller") + m_log->Count("Navigate(") + m_windowing.MessageBoxes().size(), 0u);
}

// --- Local file requests ----------------------------------------------------------

TEST_F(ViewTest, LocalRequestsAreAnsweredWithTheFileOr404Or400AndTheHeaderBlockOrLeftToTheRuntime) {
  // Which addresses are local, the header block and the path rules are tested
  // with IsFileUri, ResponseHeadersForUri and FileUrlToPath.
  m_system.AddFile(u"/srv/my app/index.html", {.content = "<html>"});
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
    if (c.status == 0) continue;
    const auto& response = m_environment->responses.front();
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

// The frame's style, extended style, rectangle and whether it is minimised.
using FrameState = std::tuple<DWORD, DWORD, RECT, bool>;

// Leaving to a maximised frame and a second monitor are followed in the GUI
// tests "full_screen_gui_maximized" and "full_screen_gui_twomonitors".
TEST_F(ViewTest, EnteringFullScreenOnceCoversTheWholeMonitorAndLeavingOncePutsTheNormalFrameBack) {
  // The fake's monitor; its work area leaves out a panel (1040 of 1080 pixels).
  constexpr RECT kMonitor{0, 0, 1920, 1080};
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
  EXPECT_EQ(state(), (FrameState{std::get<0>(normal) & ~(WS_CAPTION | WS_THICKFRAME), WS_EX_APPWINDOW, kMonitor, false}));
  // A second entry must not save the full-screen layout as the one to go back to.
  EXPECT_EQ(raise(TRUE), S_OK);
  EXPECT_EQ(raise(FALSE), S_OK);
  EXPECT_EQ(state(), normal);
}

// --- Link policy -----------------------------------------------------------------

class ViewLinkPolicyTest : public ViewTest {
 protected:
  ViewLinkPolicyTest() {
    m_frame.settings.saveAsExt = {{u"PDF", u".pdf", true}};
    m_frame.settings.shellExecuteExt = {u".docx", u"", u"pdf", u".PDF"};
    m_frame.settings.openBy = {{u".txt", u"/usr/bin/editor"}};
  }

  // Raises a navigation; the cancel flag it ended with (nullopt: untouched).
  std::optional<BOOL> Navigate(std::u16string uri) {
    auto args = MakeComObject<FakeNavigationStartingEventArgs>(std::move(uri));
    m_webView->RaiseNavigationStarting(args.Get());
    return args->cancel;
  }
};

TEST_F(ViewLinkPolicyTest, NavigationsAreJudgedBySchemeAndByTheFilesExtension) {
  // Local pages of types without an operation (every start page), web links,
  // refused schemes and saved copies are followed in the GUI tests
  // (linkpolicy_gui_weblinks, linkpolicy_gui_saveas).
  RunChain();
  struct Row {
    std::u16string uri;
    std::optional<BOOL> cancel;
    std::vector<Launch> launches;
  };
  const Row rows[] = {
      // Configured types go to their operation; the path keeps its case.
      {u"file:///d/My%20Doc.DOCX", TRUE, {{u"/d/My Doc.DOCX", {}, {}}}},
      {u"file:///d/notes.txt", TRUE, {{{}, u"/usr/bin/editor", {u"/d/notes.txt"}}}},
      {u"file:///d/README", TRUE, {{u"/d/README", {}, {}}}},  // the empty key is configured
      // A file URL naming no local path reaches no operation, not even the empty key's.
      {u"file://server/share/a.docx", std::nullopt, {}},
      {u"http://example.com/", TRUE, {{u"http://example.com/", {}, {}}}},
      // Text that is no address is left to the engine, which cannot load it.
      {u"no scheme here", std::nullopt, {}},
  };
  for (const Row& row : rows) {
    const std::size_t before = m_system.ShellLaunches().size();
    EXPECT_EQ(Navigate(row.uri), row.cancel) << WideToUtf8(row.uri);
    const std::vector<Launch> launches(m_system.ShellLaunches().begin() + before, m_system.ShellLaunches().end());
    EXPECT_EQ(launches, row.launches) << WideToUtf8(row.uri);
  }
  EXPECT_EQ(m_log->Count("Navigate("), 1);  // the start page only: nothing is reloaded in the view
}

TEST_F(ViewLinkPolicyTest, DownloadsOfConfiguredLocalFilesAreTakenAndOnesWithoutAnOperationRefused) {
  // Downloads left to the runtime are followed in the GUI test "linkpolicy_gui_download".
  RunChain();
  auto docx = MakeComObject<FakeDownloadStartingEventArgs>(u"file:///d/a.docx");
  EXPECT_EQ(m_webView->RaiseDownloadStarting(docx.Get()), S_OK);
  EXPECT_EQ(docx->cancel, TRUE);
  EXPECT_THAT(m_system.ShellLaunches(), ElementsAre(Launch{u"/d/a.docx", {}, {}}));
  auto noOperation = MakeComObject<FakeDownloadStartingEventArgs>(std::nullopt);
  EXPECT_EQ(m_webView->RaiseDownloadStarting(noOperation.Get()), E_POINTER);
}

TEST_F(ViewLinkPolicyTest, ANewWindowIsRefusedEvenWhenItsAddressCannotBeRead) {
  // That its address is navigated in the view is followed in the linkpolicy GUI test "weblinks".
  RunChain();
  auto broken = MakeComObject<FakeNewWindowRequestedEventArgs>(E_OUTOFMEMORY);
  EXPECT_EQ(m_webView->RaiseNewWindowRequested(broken.Get()), E_OUTOFMEMORY);
  EXPECT_EQ(broken->handled, TRUE);
  EXPECT_EQ(m_log->Count("Navigate("), 1);
}

// One dialog at a time for quick saves is SaveCopyTest's queue case; here a
// save reaches the view's queue and its dialog runs from the loop.
TEST_F(ViewLinkPolicyTest, ASaveRunsItsDialogFromTheLoopOwnedByTheView) {
  m_system.AddFile(u"/d/one.pdf", {.content = "1"});
  RunChain();
  m_windowing.AnswerSaveDialogs({[](const SaveFileDialog&, SaveFileDialogResult* result) {
    result->path = u"/out/first.pdf";
    return S_OK;
  }});
  EXPECT_EQ(Navigate(u"file:///d/one.pdf"), TRUE);
  EXPECT_TRUE(m_windowing.SaveDialogs().empty());  // never inside the event
  // The posted messages run to the end of the queue.
  for (MSG msg{}; m_windowing.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);) m_windowing.DispatchMessage(&msg);
  ASSERT_EQ(m_windowing.SaveDialogs().size(), 1u);
  EXPECT_EQ(m_windowing.SaveDialogs()[0].first, m_view.m_hWnd);
  EXPECT_EQ(m_system.FileContent(u"/out/first.pdf"), "1");
}

}  // namespace
