// The main frame on the fake platform: its layout with and without the
// toolbar, focus, its commands and closing, the About box from the window
// menu; and its update table.
#include "app/MainFrame.h"

#include <gtest/gtest.h>

#include <memory>

#include "resources/Resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/fakes/FakeWebView.h"
#include "tests/platform/FakePlatformScope.h"
#include "window/AppModule.h"
#include "window/MessageLoop.h"

namespace {

class MainFrameTest : public ::testing::Test {
 protected:
  MainFrameTest() {
    app_test::InstallRuntime(platform.system, &m_pendingEnvironment);
    g_module.AddMessageLoop(&m_loop);
    m_frame->m_view.m_pFrame = m_frame.get();
  }
  ~MainFrameTest() override { g_module.RemoveMessageLoop(); }  // the frame goes before the loop and the platform

  RECT Rect(HWND hwnd) { RECT r{}; return fake.GetWindowRect(hwnd, &r), r; }

  FakePlatformScope platform;
  FakeWindowing& fake = platform.windowing;
  CMessageLoop m_loop;
  std::unique_ptr<CMainFrame> m_frame = std::make_unique<CMainFrame>();
  app_test::PendingCreation m_pendingEnvironment;
};

// Its caption, the toolbar's buttons and the window menu's About item are
// followed in the shell GUI tests (toolbar, notoolbar, overflow, about).
class MainFrameLayoutTest : public MainFrameTest, public ::testing::WithParamInterface<int> {};

TEST_P(MainFrameLayoutTest, TheViewFillsWhatTheToolbarLeavesAndTakesFocusAndBackground) {
  const bool hasToolBar = GetParam() != 1;
  fake.SetToolBarHeight(42);
  fake.SetDefaultRect(RECT{0, 0, 800, 600});  // screen and client coordinates agree
  m_frame->m_settings.toolBar = GetParam();
  const HWND hwnd = m_frame->CreateEx();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(m_frame->m_hWndClient, m_frame->m_view.m_hWnd);
  fake.SendMessage(hwnd, WM_SETFOCUS, 0, 0);
  EXPECT_EQ(fake.GetFocus(), m_frame->m_hWndClient);
  EXPECT_EQ(fake.SendMessage(hwnd, WM_ERASEBKGND, 0, 0), 1);
  // Minimised, the layout is left as it was (the toolbar is not laid out
  // again); restored, it still fits.
  const int top = hasToolBar ? 42 : 0;
  EXPECT_EQ(Rect(m_frame->m_hWndClient), (RECT{0, top, 800, 600}));
  fake.UserResize(hwnd, 1000, 700);
  EXPECT_EQ(Rect(m_frame->m_hWndToolBar), (hasToolBar ? RECT{0, 0, 1000, 42} : RECT{}));
  const auto laidOut = fake.CallsNamed("Invalidate").size();
  fake.ShowWindow(hwnd, SW_MINIMIZE);
  EXPECT_EQ(fake.CallsNamed("Invalidate").size(), laidOut);
  fake.ShowWindow(hwnd, SW_RESTORE);
  EXPECT_EQ(Rect(m_frame->m_hWndClient), (RECT{0, top, 1000, 700}));
}

// Only 1 switches the toolbar off.
INSTANTIATE_TEST_SUITE_P(ToolBarSetting, MainFrameLayoutTest, ::testing::Values(-1, 1));

TEST_F(MainFrameTest, CommandsReachTheWebViewAndClosingEndsTheLoopWithOne) {
  const HWND hwnd = m_frame->CreateEx();
  ASSERT_NE(hwnd, nullptr);
  for (UINT command : {ID_BACK, ID_FORWARD, ID_RELOAD})  // without a web view: nothing
    EXPECT_EQ(fake.SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0), 0);
  auto log = std::make_shared<FakeEngineLog>();
  m_frame->m_view.m_webView = MakeComObject<FakeWebView>(log);
  // As the toolbar sends them: posted, with the toolbar as the sender.
  for (UINT command : {ID_RELOAD, ID_BACK, ID_FORWARD})
    fake.PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(m_frame->m_hWndToolBar));
  fake.PostMessage(hwnd, WM_CLOSE, 0, 0);
  // The frame is the loop's filter and idle handler while its window exists.
  EXPECT_TRUE(m_loop.RemoveMessageFilter(m_frame.get()) && m_loop.AddMessageFilter(m_frame.get()));
  EXPECT_TRUE(m_loop.RemoveIdleHandler(m_frame.get()) && m_loop.AddIdleHandler(m_frame.get()));
  EXPECT_EQ(m_loop.Run(), 1);
  EXPECT_EQ(log->Calls(), (std::vector<std::string>{"Reload", "GoBack", "GoForward"}));
}

// A later start of the application handing over (the shell GUI test
// "secondstart" follows it on the display).
TEST_F(MainFrameTest, AHandedOverStartBringsTheMinimisedFrameBackWithTheFocus) {
  const HWND hwnd = m_frame->CreateEx();
  ASSERT_NE(hwnd, nullptr);
  fake.ShowWindow(hwnd, SW_MINIMIZE);
  fake.SetFocus(nullptr);
  EXPECT_EQ(fake.SendMessage(hwnd, WM_ACTIVATE_INSTANCE, 0, 0), 0);
  EXPECT_FALSE(fake.IsIconic(hwnd));
  EXPECT_EQ(fake.GetFocus(), m_frame->m_hWndClient);
}

TEST_F(MainFrameTest, AFrameObjectGoingAwayTakesItsWindowAndLeavesTheLoopClean) {
  const HWND hwnd = m_frame->CreateEx();
  ASSERT_NE(hwnd, nullptr);
  CMessageFilter* filter = m_frame.get();
  CIdleHandler* idle = m_frame.get();
  m_frame.reset();
  EXPECT_FALSE(fake.IsWindow(hwnd));
  EXPECT_FALSE(m_loop.RemoveMessageFilter(filter) || m_loop.RemoveIdleHandler(idle));  // nothing left dangling
}

TEST_F(MainFrameTest, TheAboutBoxOpensFromTheWindowMenuOwnedByAndCentredOnTheFrame) {
  const HWND hwnd = m_frame->CreateEx();
  ASSERT_NE(hwnd, nullptr);
  fake.ShowWindow(hwnd, SW_SHOWDEFAULT);
  HWND dialog = nullptr;
  fake.Script([&] { fake.PostMessage(dialog = fake.GetActiveWindow(), WM_COMMAND, IDOK, 0); });
  EXPECT_EQ(fake.SendMessage(hwnd, WM_SYSCOMMAND, 0xE140, 0), 0);
  ASSERT_EQ(fake.Dialogs().size(), 1u);
  EXPECT_EQ(std::pair(fake.Dialogs()[0].hwnd, fake.Dialogs()[0].owner), std::pair(dialog, hwnd));
  // Frame (10, 10)-(810, 610); the fake's dialog is 264 by 244.
  const auto moves = fake.CallsNamed("SetPos");
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ((std::pair{moves.back().hwnd, POINT{moves.back().rect.left, moves.back().rect.top}}),
            (std::pair{dialog, POINT{410 - 132, 310 - 122}}));
}

TEST_F(MainFrameTest, TheUpdateTableAppliesToolbarEntriesToEveryRegisteredToolbar) {
  m_frame->m_settings.toolBar = 1;
  const HWND hwnd = m_frame->CreateEx();
  const ToolBarButton buttons[] = {{1, u"", u"one"}};
  const HWND a = fake.CreateToolBar(hwnd, 1, buttons), b = fake.CreateToolBar(hwnd, 2, buttons);
  CUpdateUI table({{7, CUpdateUI::UPDUI_TOOLBAR, false, true}, {8, CUpdateUI::UPDUI_MENUPOPUP, true, false}});
  EXPECT_TRUE(table.UIAddToolBar(a) && table.UIAddToolBar(b) && table.UIUpdateToolBar());
  // Entry 7 (toolbar kind) reaches both toolbars as enable and check; entry 8 (menu kind) none.
  std::vector<std::pair<HWND, std::intptr_t>> sent;
  for (const auto& call : fake.CallsNamed("ControlMessage")) sent.emplace_back(call.hwnd, call.value);
  EXPECT_EQ(sent,
            (decltype(sent){{a, TB_ENABLEBUTTON}, {a, TB_CHECKBUTTON}, {b, TB_ENABLEBUTTON}, {b, TB_CHECKBUTTON}}));
}

}  // namespace
