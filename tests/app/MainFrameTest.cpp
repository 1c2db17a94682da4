// The main frame on the fake platform: what its creation builds, its
// layout with and without the toolbar, its commands, the About box from the
// window menu, focus and closing.
#include "app/MainFrame.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/AboutDlg.h"
#include "app/AppModule.h"
#include "app/AppTestSupport.h"
#include "app/MessageLoop.h"
#include "app/Resource.h"
#include "app/StringTable.h"
#include "fakes/FakeEngineLog.h"
#include "fakes/FakeWebView.h"
#include "platform/FakePlatformScope.h"

namespace {

class MainFrameTest : public ::testing::Test {
 protected:
  MainFrameTest() {
    app_test::InstallRuntime(platform.system, &m_pendingEnvironment);
    g_module.AddMessageLoop(&m_loop);
    m_frame = std::make_unique<CMainFrame>();
    m_frame->m_view.m_pFrame = m_frame.get();
    m_frame->m_settings.startPage = u"index.html";
  }
  ~MainFrameTest() override {
    m_frame.reset();
    g_module.RemoveMessageLoop();
  }

  HWND Create() {
    HWND hwnd = m_frame->CreateEx();
    EXPECT_NE(hwnd, nullptr);
    return hwnd;
  }

  RECT ChildRect(HWND child) {
    RECT r{};
    platform.windowing.GetWindowRect(child, &r);
    POINT p{r.left, r.top};
    platform.windowing.ScreenToClient(m_frame->m_hWnd, &p);
    return RECT{p.x, p.y, p.x + (r.right - r.left), p.y + (r.bottom - r.top)};
  }

  FakePlatformScope platform;
  FakeWindowing& fake = platform.windowing;
  CMessageLoop m_loop;
  std::unique_ptr<CMainFrame> m_frame;
  ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> m_pendingEnvironment;
};

TEST_F(MainFrameTest, CreatesTheFrameWithItsTraitsAndTheDefaultCaption) {
  const HWND hwnd = Create();
  EXPECT_EQ(static_cast<DWORD>(fake.GetWindowLong(hwnd, GWL_STYLE)), 0x06CF0000u);
  EXPECT_EQ(static_cast<DWORD>(fake.GetWindowLong(hwnd, GWL_EXSTYLE)), 0x00040100u);
  EXPECT_EQ(fake.GetWindowText(hwnd), u"Vellumview04");
  EXPECT_EQ(fake.GetParent(hwnd), nullptr);
  // The view's window is the frame's client, created as its child.
  ASSERT_NE(m_frame->m_hWndClient, nullptr);
  EXPECT_EQ(m_frame->m_hWndClient, m_frame->m_view.m_hWnd);
  EXPECT_EQ(fake.ParentOf(m_frame->m_hWndClient), hwnd);
  EXPECT_EQ(static_cast<DWORD>(fake.GetWindowLong(m_frame->m_hWndClient, GWL_STYLE)),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  // The environment is being created, so the view has no web view yet.
  EXPECT_TRUE(m_pendingEnvironment);
  EXPECT_FALSE(m_frame->m_view.m_webView);
}

struct CaptionCase {
  std::u16string title;
  std::u16string caption;
};

class MainFrameCaptionTest : public MainFrameTest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(MainFrameCaptionTest, TheTitleSettingReplacesTheDefaultCaption) {
  m_frame->m_settings.title = GetParam().title;
  const HWND hwnd = Create();
  EXPECT_EQ(fake.GetWindowText(hwnd), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Titles, MainFrameCaptionTest,
                         ::testing::Values(CaptionCase{u"", u"Vellumview04"},
                                           CaptionCase{u"Vellumview demo", u"Vellumview demo"},
                                           CaptionCase{u"資料ビューア", u"資料ビューア"},
                                           CaptionCase{u" ", u" "}));

struct LayoutCase {
  const char* name;
  int toolBar;
  bool hasToolBar;
};

class MainFrameLayoutTest : public MainFrameTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(MainFrameLayoutTest, TheToolbarAloneDecidesWhereTheViewStarts) {
  fake.SetToolBarHeight(42);
  m_frame->m_settings.toolBar = GetParam().toolBar;
  const HWND hwnd = Create();
  const int top = GetParam().hasToolBar ? 42 : 0;
  EXPECT_EQ(m_frame->m_hWndToolBar != nullptr, GetParam().hasToolBar);
  EXPECT_EQ(fake.CallsNamed("CreateToolBar").size(), GetParam().hasToolBar ? 1u : 0u);
  // The fake's frame is 800 by 600.
  EXPECT_EQ(ChildRect(m_frame->m_hWndClient), (RECT{0, top, 800, 600}));

  fake.UserResize(hwnd, 1000, 700);
  EXPECT_EQ(ChildRect(m_frame->m_hWndClient), (RECT{0, top, 1000, 700}));
  if (GetParam().hasToolBar) {
    EXPECT_EQ(ChildRect(m_frame->m_hWndToolBar), (RECT{0, 0, 1000, 42}));
  }

  // Minimised, the layout stays as it was; restored, it still fits.
  fake.ShowWindow(hwnd, SW_MINIMIZE);
  EXPECT_EQ(ChildRect(m_frame->m_hWndClient), (RECT{0, top, 1000, 700}));
  fake.ShowWindow(hwnd, SW_RESTORE);
  EXPECT_EQ(ChildRect(m_frame->m_hWndClient), (RECT{0, top, 1000, 700}));
}

INSTANTIATE_TEST_SUITE_P(ToolBarSetting, MainFrameLayoutTest,
                         ::testing::Values(LayoutCase{"Shown", 0, true}, LayoutCase{"Hidden", 1, false},
                                           LayoutCase{"AnyOtherValueShows", 2, true},
                                           LayoutCase{"NegativeShows", -1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainFrameTest, TheToolbarHasBackForwardAndReloadWithTheirIconsAndToolTips) {
  Create();
  const auto buttons = fake.ToolBarButtons(m_frame->m_hWndToolBar);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0].command, 58000u);
  EXPECT_EQ(buttons[1].command, 58001u);
  EXPECT_EQ(buttons[2].command, 58002u);
  EXPECT_EQ(buttons[0].iconName, u"go-previous");
  EXPECT_EQ(buttons[1].iconName, u"go-next");
  EXPECT_EQ(buttons[2].iconName, u"view-refresh");
  EXPECT_EQ(buttons[0].label, u"Back");
  EXPECT_EQ(buttons[1].label, u"Forward");
  EXPECT_EQ(buttons[2].label, u"Reload");
  // The toolbar is listed in the update table, and the toolbar entry checked.
  EXPECT_EQ(m_frame->UIToolBars(), (std::vector<HWND>{m_frame->m_hWndToolBar}));
  ASSERT_NE(m_frame->UIFind(ID_VIEW_TOOLBAR), nullptr);
  EXPECT_TRUE(m_frame->UIFind(ID_VIEW_TOOLBAR)->checked);
}

TEST_F(MainFrameTest, WithoutAToolbarTheUpdateTableListsNone) {
  m_frame->m_settings.toolBar = 1;
  Create();
  EXPECT_TRUE(m_frame->UIToolBars().empty());
  EXPECT_FALSE(m_frame->UIFind(ID_VIEW_TOOLBAR)->checked);
}

TEST_F(MainFrameTest, TheWindowMenuEndsWithASeparatorAndTheAboutItem) {
  const HWND hwnd = Create();
  const auto menu = fake.WindowMenu(hwnd);
  ASSERT_EQ(menu.size(), WindowingCore::kStandardWindowMenuItems + 2u);
  EXPECT_EQ(menu[menu.size() - 2].first, 0u);
  EXPECT_EQ(menu.back().first, 0xE140u);
  EXPECT_EQ(menu.back().second, u"バージョン情報(&A) ...");
}

TEST_F(MainFrameTest, CommandsWithoutAWebViewDoNothing) {
  const HWND hwnd = Create();
  for (UINT command : {ID_BACK, ID_FORWARD, ID_RELOAD})
    EXPECT_EQ(fake.SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0), 0);
  EXPECT_TRUE(fake.MessageBoxes().empty());
  EXPECT_TRUE(fake.IsWindow(hwnd));
}

TEST_F(MainFrameTest, CommandsReachTheWebViewInTheOrderGiven) {
  const HWND hwnd = Create();
  auto log = std::make_shared<FakeEngineLog>();
  m_frame->m_view.m_webView = MakeComObject<FakeWebView>(log);
  // As the toolbar sends them: posted, with the toolbar as the sender.
  const LPARAM toolBar = reinterpret_cast<LPARAM>(m_frame->m_hWndToolBar);
  for (UINT command : {ID_RELOAD, ID_BACK, ID_FORWARD, ID_BACK})
    fake.PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), toolBar);
  fake.PostMessage(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(m_loop.Run(), 1);
  EXPECT_EQ(log->Calls(), (std::vector<std::string>{"Reload", "GoBack", "GoForward", "GoBack"}));
}

TEST_F(MainFrameTest, TheAboutBoxOpensFromTheWindowMenuCentredOnTheFrame) {
  const HWND hwnd = Create();
  fake.ShowWindow(hwnd, SW_SHOWDEFAULT);
  HWND dialog = nullptr;
  fake.Script([&] {
    dialog = fake.GetActiveWindow();
    fake.PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(fake.SendMessage(hwnd, WM_SYSCOMMAND, ID_APP_ABOUT, 0), 0);
  ASSERT_EQ(fake.Dialogs().size(), 1u);
  const auto& shown = fake.Dialogs()[0];
  EXPECT_EQ(shown.hwnd, dialog);
  EXPECT_EQ(shown.owner, hwnd);
  EXPECT_EQ(shown.dialogTemplate.caption, u"About");
  bool hasText = false, hasIcon = false, hasOk = false;
  for (const DialogItem& item : shown.dialogTemplate.items) {
    hasText |= item.kind == DialogItemKind::Static &&
               item.text == u"Vellumview\nVersion 1.0.0\nVellumview developers" && (item.style & SS_CENTER);
    hasIcon |= item.kind == DialogItemKind::Icon;
    hasOk |= item.kind == DialogItemKind::Button && item.id == IDOK && item.text == u"OK" &&
             (item.style & BS_DEFPUSHBUTTON);
  }
  EXPECT_TRUE(hasText);
  EXPECT_TRUE(hasIcon);
  EXPECT_TRUE(hasOk);
  // Frame (10, 10)-(810, 610); the fake's dialog is 264 by 244.
  const auto moves = fake.CallsNamed("SetPos");
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back().hwnd, dialog);
  EXPECT_EQ((POINT{moves.back().rect.left, moves.back().rect.top}), (POINT{410 - 132, 310 - 122}));
  // Handled by the frame: the system's own processing never saw it.
  EXPECT_TRUE(fake.CallsNamed("ShowWindowMenu").empty());
  EXPECT_FALSE(fake.IsWindow(dialog));
  EXPECT_TRUE(fake.IsWindow(hwnd));
}

struct AboutCloseCase {
  const char* name;
  UINT message;
  WPARAM wParam;
};

class AboutCloseTest : public MainFrameTest, public ::testing::WithParamInterface<AboutCloseCase> {};

TEST_P(AboutCloseTest, EnterEscAndTheCloseBoxAllCloseIt) {
  const HWND hwnd = Create();
  fake.ShowWindow(hwnd, SW_SHOWDEFAULT);
  fake.Script([&] { fake.PostMessage(fake.GetActiveWindow(), GetParam().message, GetParam().wParam, 0); });
  CAboutDlg about;
  const INT_PTR result = about.DoModal(hwnd);
  EXPECT_TRUE(result == IDOK || result == IDCANCEL);
  EXPECT_FALSE(fake.Starved());
}

INSTANTIATE_TEST_SUITE_P(Ways, AboutCloseTest,
                         ::testing::Values(AboutCloseCase{"Enter", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)},
                                           AboutCloseCase{"Esc", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
                                           AboutCloseCase{"CloseBox", WM_CLOSE, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainFrameTest, AnAboutBoxWithAHiddenOwnerCentresOnTheWorkArea) {
  const HWND hwnd = Create();
  fake.Script([&] { fake.PostMessage(fake.GetActiveWindow(), WM_COMMAND, IDOK, 0); });
  CAboutDlg about;
  about.DoModal(hwnd);
  const auto moves = fake.CallsNamed("SetPos");
  ASSERT_FALSE(moves.empty());
  // Work area 1920 by 1040.
  EXPECT_EQ((POINT{moves.back().rect.left, moves.back().rect.top}), (POINT{960 - 132, 520 - 122}));
}

TEST_F(MainFrameTest, FocusGoesOnToTheView) {
  const HWND hwnd = Create();
  fake.SendMessage(hwnd, WM_SETFOCUS, 0, 0);
  EXPECT_EQ(fake.GetFocus(), m_frame->m_hWndClient);
}

TEST_F(MainFrameTest, TheBackgroundIsLeftToTheView) {
  const HWND hwnd = Create();
  EXPECT_EQ(fake.SendMessage(hwnd, WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(MainFrameTest, ItIsTheLoopsFilterAndIdleHandlerWhileItsWindowExists) {
  const HWND hwnd = Create();
  // Registered by creation: removing succeeds, and they are put back.
  EXPECT_TRUE(m_loop.RemoveMessageFilter(m_frame.get()));
  EXPECT_TRUE(m_loop.RemoveIdleHandler(m_frame.get()));
  m_loop.AddMessageFilter(m_frame.get());
  m_loop.AddIdleHandler(m_frame.get());
  fake.DestroyWindow(hwnd);
  EXPECT_FALSE(m_loop.RemoveMessageFilter(m_frame.get()));
  EXPECT_FALSE(m_loop.RemoveIdleHandler(m_frame.get()));
}

TEST_F(MainFrameTest, ClosingEndsTheLoopWithOneAndAsksNothing) {
  const HWND hwnd = Create();
  fake.ShowWindow(hwnd, SW_SHOWDEFAULT);
  fake.Script([&] { fake.PostMessage(hwnd, WM_CLOSE, 0, 0); });
  EXPECT_EQ(m_loop.Run(), 1);
  EXPECT_FALSE(fake.IsWindow(hwnd));
  EXPECT_FALSE(fake.IsWindow(m_frame->m_view.m_hWnd));
  EXPECT_EQ(m_frame->m_hWnd, nullptr);
  EXPECT_TRUE(fake.MessageBoxes().empty());
  EXPECT_TRUE(fake.Dialogs().empty());
}

TEST_F(MainFrameTest, AFrameObjectGoingAwayWithItsWindowLeavesTheLoopClean) {
  const HWND hwnd = Create();
  CMessageFilter* filter = m_frame.get();
  CIdleHandler* idle = m_frame.get();
  m_frame.reset();
  EXPECT_FALSE(fake.IsWindow(hwnd));
  // The loop no longer knows the frame, so nothing dangling is ever asked.
  EXPECT_FALSE(m_loop.RemoveMessageFilter(filter));
  EXPECT_FALSE(m_loop.RemoveIdleHandler(idle));
}

}  // namespace
