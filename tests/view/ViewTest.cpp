// The web view host against the fake platform and the fake engine: the
// creation chain from WM_CREATE to the registered handlers, the paths it
// works out, its failure reports and its sizing.
#include "view/View.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/Resource.h"
#include "app/StringTable.h"
#include "com/CoTaskMem.h"
#include "fakes/FakeEnvironment.h"
#include "fakes/FakeWebResourceRequestedEventArgs.h"
#include "loader/FindClientLibrary.h"
#include "platform/Platform.h"
#include "platform/fake/FakeSystem.h"
#include "platform/fake/FakeWindowing.h"
#include "util/FormatMessageWithHResult.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

using ::testing::ElementsAre;

constexpr std::u16string_view kRuntimeFolder = u"/opt/runtime";
constexpr std::u16string_view kDataHome = u"/home/user/.local/share";

std::u16string Message(UINT id, HRESULT hr) { return FormatMessageWithHResult(LoadStringResource(id), hr); }

class ViewTest : public ::testing::Test {
 protected:
  ViewTest() {
    Platform::Install(&m_windowing, &m_system);
    m_system.SetRoamingDataFolder(std::u16string(kDataHome));
    m_system.SetCurrentDirectory(u"/srv/app");
    m_frame = std::make_unique<CMainFrame>();
    m_frame->m_view.m_pFrame = m_frame.get();
    m_frame->m_settings.startPage = u"index.html";
  }
  ~ViewTest() override {
    m_frame.reset();
    Platform::Install(nullptr, nullptr);
  }

  // A runtime in a fixed folder whose creation entry records its call and
  // keeps the handler, so that the test decides when and how creation ends.
  void InstallRuntime() {
    m_system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", std::u16string(kRuntimeFolder));
    const std::u16string library = std::u16string(kRuntimeFolder) + u"/" + std::u16string(kClientLibraryRelativePath);
    FakeSystem::File file;
    file.version = u"130.0.2839.0";
    m_system.AddFile(library, file);
    FakeSystem::Library entry;
    entry.exports[kCreateEnvironmentEntryName] = [this](int, UINT32, LPCWSTR userDataFolder,
                                                        ICoreWebView2EnvironmentOptions* options,
                                                        ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
      m_log->Add("CreateEnvironment");
      m_userDataFolders.push_back(userDataFolder ? userDataFolder : u"(null)");
      LPWSTR arguments = nullptr;
      if (options && SUCCEEDED(options->get_AdditionalBrowserArguments(&arguments))) {
        const CoTaskMemString owned(arguments);
        m_browserArguments.push_back(std::u16string(View(owned)));
      }
      m_options = options;
      m_environmentHandler = handler;
      return S_OK;
    };
    m_system.AddLibrary(library, entry);
  }

  // Ends environment creation with this outcome; a loader that retries a
  // failure gets the same answer again.
  void CompleteEnvironment(HRESULT hr, ICoreWebView2Environment* environment) {
    for (int i = 0; i < 4 && m_environmentHandler; ++i) {
      auto handler = std::move(m_environmentHandler);
      handler->Invoke(hr, environment);
    }
  }

  // Creates the frame, and with it the view window.
  void CreateFrame() { ASSERT_NE(m_frame->CreateEx(), nullptr); }

  // Runs the whole chain to the running state.
  void RunChain() {
    InstallRuntime();
    CreateFrame();
    CompleteEnvironment(S_OK, m_environment.Get());
    ASSERT_TRUE(m_environment->HasPendingControllerRequest());
    m_environment->CompleteControllerCreation(S_OK, m_controller.Get());
  }

  CView& Host() { return m_frame->m_view; }
  bool FrameClosed() const { return !m_windowing.Exists(m_frameWindow ? m_frameWindow : m_frame->m_hWnd); }

  RECT ViewClientRect() {
    RECT rect{};
    m_windowing.GetClientRect(Host().m_hWnd, &rect);
    return rect;
  }

  FakeWindowing m_windowing;
  FakeSystem m_system;
  std::unique_ptr<CMainFrame> m_frame;
  HWND m_frameWindow = nullptr;
  std::shared_ptr<FakeEngineLog> m_log = std::make_shared<FakeEngineLog>();
  ComPtr<FakeEnvironment> m_environment = MakeComObject<FakeEnvironment>(m_log);
  ComPtr<FakeController> m_controller = m_environment->MakeController();
  ComPtr<FakeWebView> m_webView = m_controller->webView;
  ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> m_environmentHandler;
  ComPtr<ICoreWebView2EnvironmentOptions> m_options;
  std::vector<std::u16string> m_userDataFolders;
  std::vector<std::u16string> m_browserArguments;
};

// --- The creation chain -----------------------------------------------------------

TEST_F(ViewTest, TheChainRunsFromCreationToTheRegisteredHandlersInOrder) {
  RunChain();
  const RECT client = ViewClientRect();
  const std::string bounds = "put_Bounds(" + std::to_string(client.left) + "," + std::to_string(client.top) + "," +
                             std::to_string(client.right) + "," + std::to_string(client.bottom) + ")";
  EXPECT_THAT(m_log->Calls(),
              ElementsAre("CreateEnvironment", "CreateCoreWebView2Controller", "get_CoreWebView2", "get_Settings",
                          "put_IsScriptEnabled(1)", "put_AreDefaultScriptDialogsEnabled(1)",
                          "put_IsWebMessageEnabled(1)", "put_AreDevToolsEnabled(0)", bounds,
                          "Navigate(file:///srv/app/index.html)",
                          "AddWebResourceRequestedFilterWithRequestSourceKinds(*,0,4294967295)",
                          "add_WebResourceRequested"));
  EXPECT_THAT(m_userDataFolders, ElementsAre(u"/home/user/.local/share/Corvella/vellumview"));
  EXPECT_THAT(m_browserArguments,
              ElementsAre(u"--disable-web-security --allow-file-access-from-files --allow-file-access"));
  EXPECT_THAT(m_environment->controllerParents, ElementsAre(Host().m_hWnd));
  EXPECT_EQ(Host().m_controller.Get(), static_cast<ICoreWebView2Controller*>(m_controller.Get()));
  EXPECT_EQ(Host().m_webView.Get(), static_cast<ICoreWebView2*>(m_webView.Get()));
  EXPECT_EQ(Host().m_webResourceRequestedToken.value, m_webView->nextToken - 1);
  EXPECT_NE(Host().m_webResourceRequestedToken.value, 0);
  EXPECT_TRUE(m_windowing.MessageBoxes().empty());
  EXPECT_FALSE(FrameClosed());
}

TEST_F(ViewTest, TheSettingsEndAsTheProgramWantsThem) {
  m_webView->settings->isScriptEnabled = FALSE;
  m_webView->settings->areDefaultScriptDialogsEnabled = FALSE;
  m_webView->settings->isWebMessageEnabled = FALSE;
  RunChain();
  EXPECT_EQ(m_webView->settings->isScriptEnabled, TRUE);
  EXPECT_EQ(m_webView->settings->areDefaultScriptDialogsEnabled, TRUE);
  EXPECT_EQ(m_webView->settings->isWebMessageEnabled, TRUE);
  EXPECT_EQ(m_webView->settings->areDevToolsEnabled, FALSE);
}

TEST_F(ViewTest, OtherOptionsKeepTheirDefaults) {
  InstallRuntime();
  CreateFrame();
  ASSERT_TRUE(m_options);
  LPWSTR language = nullptr;
  ASSERT_EQ(m_options->get_Language(&language), S_OK);
  const CoTaskMemString owned(language);
  EXPECT_EQ(View(owned), u"");
  BOOL sso = TRUE;
  EXPECT_EQ(m_options->get_AllowSingleSignOnUsingOSPrimaryAccount(&sso), S_OK);
  EXPECT_EQ(sso, FALSE);
}

TEST_F(ViewTest, LocalRequestsAreAnsweredOnceTheChainHasRun) {
  RunChain();
  ASSERT_EQ(m_webView->WebResourceRequestedHandlerCount(), 1u);
  auto args = MakeComObject<FakeWebResourceRequestedEventArgs>(std::u16string(u"file:///nowhere/missing.css"),
                                                               COREWEBVIEW2_WEB_RESOURCE_CONTEXT_STYLESHEET);
  EXPECT_EQ(m_webView->RaiseWebResourceRequested(args.Get()), S_OK);
  ASSERT_EQ(m_environment->responses.size(), 1u);
  EXPECT_EQ(m_environment->responses[0]->statusCode, 404);
  EXPECT_EQ(m_environment->responses[0]->headers.substr(126), u"Content-Type: text/css\n");
}

TEST_F(ViewTest, ARuntimeWithoutTheFilterInterfaceStillGetsTheHandler) {
  m_webView->Withhold(ICoreWebView2_22::kIid);
  RunChain();
  EXPECT_EQ(m_log->Count("AddWebResourceRequestedFilter"), 0);
  EXPECT_EQ(m_webView->WebResourceRequestedHandlerCount(), 1u);
  EXPECT_EQ(m_log->Count("Navigate("), 1);
}

TEST_F(ViewTest, ARuntimeWithoutTheEnvironmentInterfaceGetsNeitherFilterNorHandler) {
  m_webView->Withhold(ICoreWebView2_2::kIid);
  m_webView->Withhold(ICoreWebView2_22::kIid);
  RunChain();
  EXPECT_EQ(m_log->Count("AddWebResourceRequestedFilter"), 0);
  EXPECT_EQ(m_webView->WebResourceRequestedHandlerCount(), 0u);
  EXPECT_EQ(m_log->Count("Navigate("), 1);
  EXPECT_TRUE(m_windowing.MessageBoxes().empty());
}

TEST_F(ViewTest, MissingSettingsAreSkippedAndTheRestRuns) {
  m_webView->getSettingsResult = E_NOINTERFACE;
  RunChain();
  EXPECT_EQ(m_log->Count("put_Is"), 0);
  EXPECT_EQ(m_log->Count("put_Bounds"), 1);
  EXPECT_EQ(m_log->Count("Navigate("), 1);
  EXPECT_EQ(m_webView->WebResourceRequestedHandlerCount(), 1u);
}

// --- Sizing --------------------------------------------------------------------------

TEST_F(ViewTest, SizeMessagesBeforeTheControllerChangeNothingAndTheFirstBoundsComeWithIt) {
  InstallRuntime();
  CreateFrame();
  m_windowing.UserResize(m_frame->m_hWnd, 640, 480);
  EXPECT_EQ(Host().SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 10)), 0);
  EXPECT_EQ(Host().SendMessage(WM_DPICHANGED, 0, 0), 0);
  EXPECT_FALSE(Host().m_controller);
  CompleteEnvironment(S_OK, m_environment.Get());
  m_windowing.UserResize(m_frame->m_hWnd, 700, 500);
  EXPECT_TRUE(m_controller->bounds.empty());

  m_environment->CompleteControllerCreation(S_OK, m_controller.Get());
  ASSERT_EQ(m_controller->bounds.size(), 1u);
  EXPECT_EQ(m_controller->bounds[0], ViewClientRect());
  EXPECT_EQ(m_controller->bounds[0].right - m_controller->bounds[0].left, 700);
}

TEST_F(ViewTest, ResizingTheRunningViewFitsTheWebViewToItsClientArea) {
  RunChain();
  m_windowing.UserResize(m_frame->m_hWnd, 1024, 700);
  ASSERT_GE(m_controller->bounds.size(), 2u);
  EXPECT_EQ(m_controller->bounds.back(), ViewClientRect());
  EXPECT_EQ(m_controller->bounds.back().right, 1024);

  const std::size_t before = m_controller->bounds.size();
  EXPECT_EQ(Host().SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), 0), 0);
  EXPECT_EQ(m_controller->bounds.size(), before + 1);
  EXPECT_EQ(m_controller->bounds.back(), ViewClientRect());
}

TEST_F(ViewTest, PaintIsHandledWithoutDrawing) {
  InstallRuntime();
  CreateFrame();
  const std::size_t calls = m_windowing.Calls().size();
  EXPECT_EQ(Host().SendMessage(WM_PAINT, 0, 0), 0);
  EXPECT_EQ(m_windowing.Calls().size(), calls);
}

// --- Paths ----------------------------------------------------------------------------

struct PathCase {
  const char* name;
  std::u16string browserId;
  std::u16string startPage;
  std::u16string currentDirectory;
  std::u16string dataHome;
  std::u16string userDataFolder;
  std::u16string startUrl;
};

class PreparePathsTable : public ViewTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PreparePathsTable, BuildsTheUserDataFolderAndTheStartAddress) {
  const auto& c = GetParam();
  m_frame->m_settings.browserID = c.browserId;
  m_frame->m_settings.startPage = c.startPage;
  m_system.SetCurrentDirectory(c.currentDirectory);
  m_system.SetRoamingDataFolder(c.dataHome);
  ASSERT_EQ(Host().PreparePaths(), S_OK);
  EXPECT_EQ(Host().m_userDataFolder, c.userDataFolder);
  EXPECT_EQ(Host().m_startUrl, c.startUrl);
}

const std::u16string kData = u"/home/user/.local/share";
const std::u16string kCorvella = kData + u"/Corvella/";

INSTANTIATE_TEST_SUITE_P(
    Table, PreparePathsTable,
    ::testing::Values(
        PathCase{"Defaults", u"", u"index.html", u"/srv/app", kData, kCorvella + u"vellumview",
                 u"file:///srv/app/index.html"},
        PathCase{"BrowserIdDotDot", u"a/../b", u"index.html", u"/srv/app", kData, kCorvella + u"b",
                 u"file:///srv/app/index.html"},
        PathCase{"StartPageDotDot", u"", u"web/../index.html", u"/srv/app", kData, kCorvella + u"vellumview",
                 u"file:///srv/app/index.html"},
        PathCase{"Subfolder", u"my.app", u"html/./index.html", u"/srv/app", kData, kCorvella + u"my.app",
                 u"file:///srv/app/html/index.html"},
        PathCase{"OtherWorkingDirectory", u"", u"index.html", u"/home/u/elsewhere", kData,
                 kCorvella + u"vellumview", u"file:///home/u/elsewhere/index.html"},
        PathCase{"BrowserIdClimbsAboveItsRoot", u"../x", u"index.html", u"/srv/app", kData, kCorvella + u"x",
                 u"file:///srv/app/index.html"},
        PathCase{"BrowserIdClimbsFurther", u"a/../../b", u"index.html", u"/srv/app", kData, kCorvella + u"b",
                 u"file:///srv/app/index.html"},
        PathCase{"StartPageClimbsAboveItsRoot", u"", u"../../etc/passwd", u"/srv/app", kData,
                 kCorvella + u"vellumview", u"file:///srv/app/etc/passwd"},
        PathCase{"AbsoluteSettingsStayBelowTheirRoots", u"/abs", u"/etc/index.html", u"/srv/app", kData,
                 kCorvella + u"abs", u"file:///srv/app/etc/index.html"},
        PathCase{"RootWorkingDirectory", u"", u"index.html", u"/", kData, kCorvella + u"vellumview",
                 u"file:///index.html"},
        PathCase{"CharactersAUrlMustNotHoldRaw", u"", u"my page#1?%.html", u"/srv/my app", kData,
                 kCorvella + u"vellumview", u"file:///srv/my%20app/my%20page%231%3F%25.html"},
        PathCase{"NamesOutsideAscii", u"日本", u"日本.html", u"/srv/app", kData, kCorvella + u"日本",
                 u"file:///srv/app/%E6%97%A5%E6%9C%AC.html"},
        PathCase{"BackslashIsPartOfAName", u"", u"html\\index.html", u"/srv/app", kData,
                 kCorvella + u"vellumview", u"file:///srv/app/html%5Cindex.html"},
        PathCase{"DataFolderWithTrailingSeparator", u"", u"index.html", u"/srv/app", u"/data/", u"/data/Corvella/vellumview",
                 u"file:///srv/app/index.html"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadPathCase {
  const char* name;
  std::u16string browserId;
  std::u16string startPage;
};

class PreparePathsFailure : public ViewTest, public ::testing::WithParamInterface<BadPathCase> {};

TEST_P(PreparePathsFailure, FailsWithInvalidArgumentAndLeavesBothPathsEmpty) {
  Host().m_userDataFolder = u"old";
  Host().m_startUrl = u"old";
  m_frame->m_settings.browserID = GetParam().browserId;
  m_frame->m_settings.startPage = GetParam().startPage;
  EXPECT_EQ(Host().PreparePaths(), E_INVALIDARG);
  EXPECT_EQ(Host().m_userDataFolder, u"");
  EXPECT_EQ(Host().m_startUrl, u"");
}

INSTANTIATE_TEST_SUITE_P(
    Table, PreparePathsFailure,
    ::testing::Values(BadPathCase{"BrowserIdDot", u".", u"index.html"},
                      BadPathCase{"BrowserIdDotDot", u"..", u"index.html"},
                      BadPathCase{"BrowserIdClimbsToNothing", u"a/../..", u"index.html"},
                      BadPathCase{"BrowserIdSlash", u"/", u"index.html"},
                      BadPathCase{"BrowserIdNul", std::u16string(u"a\0b", 3), u"index.html"},
                      BadPathCase{"StartPageNul", u"", std::u16string(u"index.html\0.js", 14)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewTest, TheResolvedBrowserIdIsWhatTheLoaderReceives) {
  m_frame->m_settings.browserID = u"a/../b";
  InstallRuntime();
  CreateFrame();
  EXPECT_THAT(m_userDataFolders, ElementsAre(u"/home/user/.local/share/Corvella/b"));
}

// --- Failures --------------------------------------------------------------------------

TEST_F(ViewTest, AFailingPreparePathsShows58104OnceAndClosesTheFrame) {
  InstallRuntime();
  m_frame->m_settings.browserID = u"..";
  m_frame->CreateEx();
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  const auto& box = m_windowing.MessageBoxes()[0];
  EXPECT_EQ(box.text, Message(IDS_BROWSER_CONFIGURATION_FAILED, E_INVALIDARG));
  EXPECT_EQ(box.text, u"ブラウザの設定に失敗しました : 0x80070057");
  EXPECT_EQ(box.caption, u"");
  EXPECT_EQ(box.type, MB_OK | MB_ICONERROR);
  EXPECT_EQ(m_log->Count("CreateEnvironment"), 0);
  EXPECT_EQ(m_frame->m_hWnd, nullptr);
}

TEST_F(ViewTest, ASynchronousCreationFailureShows58103AndClosesTheFrame) {
  // No runtime is installed, so the loader fails before the call returns.
  m_frame->CreateEx();
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_windowing.MessageBoxes()[0].text,
            Message(IDS_BROWSER_INITIALIZATION_FAILED, HResultFromWin32(ERROR_FILE_NOT_FOUND)));
  EXPECT_EQ(m_windowing.MessageBoxes()[0].text, u"ブラウザの初期化に失敗しました : 0x80070002");
  EXPECT_EQ(m_windowing.MessageBoxes()[0].caption, u"");
  EXPECT_EQ(m_frame->m_hWnd, nullptr);
}

TEST_F(ViewTest, TheMessageBoxIsOwnedByTheViewWindow) {
  InstallRuntime();
  CreateFrame();
  const HWND view = Host().m_hWnd;
  CompleteEnvironment(E_ACCESSDENIED, nullptr);
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_windowing.MessageBoxes()[0].owner, view);
}

// EnvironmentHandler calls the view's handler directly: the loader turns a
// failure that comes with an environment into a success, so only a runtime
// that bypasses it could deliver one.
enum class Stage { Environment, EnvironmentHandler, ControllerRequest, Controller, ControllerWebView };

struct AsyncFailure {
  const char* name;
  Stage stage;
  HRESULT hr;
  bool withObject;
  HRESULT shown;
};

class AsynchronousFailure : public ViewTest, public ::testing::WithParamInterface<AsyncFailure> {};

TEST_P(AsynchronousFailure, Shows58103WithTheCodeClosesTheFrameAndCallsThroughNothing) {
  const auto& c = GetParam();
  InstallRuntime();
  CreateFrame();
  switch (c.stage) {
    case Stage::Environment:
      CompleteEnvironment(c.hr, c.withObject ? m_environment.Get() : nullptr);
      break;
    case Stage::EnvironmentHandler:
      EXPECT_EQ(Host().OnEnvironmentCreated(c.hr, c.withObject ? m_environment.Get() : nullptr), S_OK);
      break;
    case Stage::ControllerRequest:
      m_environment->createControllerResult = c.hr;
      CompleteEnvironment(S_OK, m_environment.Get());
      break;
    case Stage::Controller:
      CompleteEnvironment(S_OK, m_environment.Get());
      m_environment->CompleteControllerCreation(c.hr, c.withObject ? m_controller.Get() : nullptr);
      break;
    case Stage::ControllerWebView:
      CompleteEnvironment(S_OK, m_environment.Get());
      m_controller->getCoreWebView2Result = c.hr;
      if (!c.withObject) m_controller->webView = nullptr;
      m_environment->CompleteControllerCreation(S_OK, m_controller.Get());
      break;
  }
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_windowing.MessageBoxes()[0].text, Message(IDS_BROWSER_INITIALIZATION_FAILED, c.shown));
  EXPECT_EQ(m_frame->m_hWnd, nullptr);
  EXPECT_FALSE(Host().m_controller);
  EXPECT_FALSE(Host().m_webView);
  EXPECT_EQ(m_log->Count("get_Settings"), 0);
  EXPECT_EQ(m_log->Count("Navigate("), 0);
  EXPECT_EQ(m_log->Count("put_Bounds"), 0);
  if (c.stage == Stage::Environment || c.stage == Stage::EnvironmentHandler) EXPECT_EQ(m_log->Count("CreateCoreWebView2Controller"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AsynchronousFailure,
    ::testing::Values(AsyncFailure{"EnvironmentFails", Stage::Environment, E_ACCESSDENIED, false, E_ACCESSDENIED},
                      AsyncFailure{"EnvironmentFailsWithAnObject", Stage::EnvironmentHandler, E_ABORT, true, E_ABORT},
                      AsyncFailure{"EnvironmentMissing", Stage::Environment, S_OK, false, E_FAIL},
                      AsyncFailure{"ControllerRequestFails", Stage::ControllerRequest, E_OUTOFMEMORY, true,
                                   E_OUTOFMEMORY},
                      AsyncFailure{"ControllerFails", Stage::Controller, E_ABORT, false, E_ABORT},
                      AsyncFailure{"ControllerFailsWithAnObject", Stage::Controller, E_UNEXPECTED, true,
                                   E_UNEXPECTED},
                      AsyncFailure{"ControllerMissing", Stage::Controller, S_OK, false, E_FAIL},
                      AsyncFailure{"WebViewFails", Stage::ControllerWebView, E_NOINTERFACE, true, E_NOINTERFACE},
                      AsyncFailure{"WebViewMissing", Stage::ControllerWebView, S_OK, false, E_FAIL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewTest, CompletionsAfterTheFrameHasClosedDoNothing) {
  InstallRuntime();
  CreateFrame();
  m_frame->DestroyWindow();
  CompleteEnvironment(S_OK, m_environment.Get());
  EXPECT_EQ(m_log->Count("CreateCoreWebView2Controller"), 0);
  EXPECT_EQ(Host().OnControllerCreated(S_OK, m_controller.Get()), S_OK);
  EXPECT_EQ(Host().OnEnvironmentCreated(E_FAIL, nullptr), S_OK);
  EXPECT_FALSE(Host().m_controller);
  EXPECT_EQ(m_log->Count("Navigate("), 0);
  EXPECT_TRUE(m_windowing.MessageBoxes().empty());
}

// --- Lifetime ---------------------------------------------------------------------------

TEST_F(ViewTest, TheDestructorReleasesTheWebViewBeforeTheControllerAndLeaksNothing) {
  RunChain();
  m_frame->DestroyWindow();
  m_log->Clear();
  m_webView->logReleases = true;
  m_controller->logReleases = true;
  m_frame.reset();
  EXPECT_THAT(m_log->Calls(), ElementsAre("Release WebView", "Release Controller"));
  m_webView->logReleases = false;
  m_controller->logReleases = false;

  // The web view's handlers hold it; the controller drops them when it goes,
  // as the runtime does, and then only this test holds the objects.
  FakeWebView* webView = m_webView.Get();
  webView->AddRef();
  m_controller.Reset();
  EXPECT_EQ(webView->WebResourceRequestedHandlerCount(), 0u);
  m_webView.Reset();
  EXPECT_EQ(webView->Release(), 0u);
}

}  // namespace
