// The main frame on the fake platform: what its creation builds, its
// layout with and without the toolbar, its commands, the About box from the
// window menu, focus and closing; and its update table.
#include "app/MainFrame.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "app/AppModule.h"
#include "app/AppTestSupport.h"
#include "app/MessageLoop.h"
#include "fakes/FakeEngineLog.h"
#include "fakes/FakeWebView.h"
#include "platform/FakePlatformScope.h"
#include "resources/Resource.h"

namespace {

class MainFrameTest : public ::testing::Test {
 protected:
  MainFrameTest() {
    app_test::InstallRuntime(platform.system, &m_pendingEnvironment);
    g_module.AddMessageLoop(&m_loop);
    m_frame->m_view.m_pFrame = m_frame.get();
  }
  ~MainFrameTest() override { g_module.RemoveMessageLoop(); }  // the frame goes before the loop and the platform

  RECT Rect(HWND hwnd) {
    RECT r{};
    fake.GetWindowRect(hwnd, &r);
    return r;
  }

  FakePlatformScope platform;
  FakeWindowing& fake = platform.windowing;
  CMessageLoop m_loop;
  std::unique_ptr<CMainFrame> m_frame = std::make_unique<CMainFrame>();
  app_test::PendingCreation m_pendingEnvironment;
};

struct FrameCase {
  const char* name;
  std::u16string title;
  int toolBar;
  std::u16string caption;
  bool hasToolBar;
};

class MainFrameCreationTest : public MainFrameTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(MainFrameCreationTest, BuildsTheFrameAndLaysItOut) {
  const FrameCase& c = GetParam();
  fake.SetToolBarHeight(42);
  fake.SetDefaultRect(RECT{0, 0, 800, 600});  // screen and client coordinates agree
  m_frame->m_settings.title = c.title;
  m_frame->m_settings.toolBar = c.toolBar;
  const HWND hwnd = m_frame->CreateEx();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(static_cast<DWORD>(fake.GetWindowLong(hwnd, GWL_STYLE)), 0x06CF0000u);
  EXPECT_EQ(static_cast<DWORD>(fake.GetWindowLong(hwnd, GWL_EXSTYLE)), 0x00040100u);
  EXPECT_EQ(fake.GetWindowText(hwnd), c.caption);
  EXPECT_EQ(m_frame->m_hWndClient, m_frame->m_view.m_hWnd);  // laid out below as the frame's child
  // The window menu ends with a separator and the About item.
  const auto menu = fake.WindowMenu(hwnd);
  EXPECT_EQ(std::vector(menu.end() - 2, menu.end()), (decltype(menu){{0, u""}, {0xE140, u"バージョン情報(&A) ..."}}));
  // The toolbar: Back, Forward and Reload, listed in the update table.
  EXPECT_EQ(fake.CallsNamed("CreateToolBar").size(), c.hasToolBar ? 1u : 0u);
  std::vector<std::tuple<UINT, std::u16string, std::u16string>> buttons, expected;
  for (const auto& b : fake.ToolBarButtons(m_frame->m_hWndToolBar))
    buttons.emplace_back(b.command, b.iconName, b.label);
  if (c.hasToolBar)
    expected = {{58000, u"go-previous", u"Back"}, {58001, u"go-next", u"Forward"}, {58002, u"view-refresh", u"Reload"}};
  EXPECT_EQ(buttons, expected);
  EXPECT_EQ(m_frame->UIToolBars(), c.hasToolBar ? std::vector<HWND>{m_frame->m_hWndToolBar} : std::vector<HWND>{});
  EXPECT_EQ(m_frame->UIFind(ID_VIEW_TOOLBAR)->checked, c.hasToolBar);
  // Focus and background are left to the view.
  fake.SendMessage(hwnd, WM_SETFOCUS, 0, 0);
  EXPECT_EQ(fake.GetFocus(), m_frame->m_hWndClient);
  EXPECT_EQ(fake.SendMessage(hwnd, WM_ERASEBKGND, 0, 0), 1);
  // The view fills what the toolbar leaves of the frame;
  // minimised, the layout is left as it was (the toolbar is not laid out
  // again); restored, it still fits.
  const int top = c.hasToolBar ? 42 : 0;
  EXPECT_EQ(Rect(m_frame->m_hWndClient), (RECT{0, top, 800, 600}));
  fake.UserResize(hwnd, 1000, 700);
  EXPECT_EQ(Rect(m_frame->m_hWndToolBar), (c.hasToolBar ? RECT{0, 0, 1000, 42} : RECT{}));
  const auto laidOut = fake.CallsNamed("Invalidate").size();
  fake.ShowWindow(hwnd, SW_MINIMIZE);
  EXPECT_EQ(fake.CallsNamed("Invalidate").size(), laidOut);
  fake.ShowWindow(hwnd, SW_RESTORE);
  EXPECT_EQ(Rect(m_frame->m_hWndClient), (RECT{0, top, 1000, 700}));
}

const FrameCase kSettings[] = {
    {"Defaults", u"", 0, u"Vellumview04", true},
    {"TitledWithoutToolbar", u"Vellumview demo", 1, u"Vellumview demo", false},
    {"BlankTitleAndNegativeToolbarValue", u" ", -1, u" ", true},
};
INSTANTIATE_TEST_SUITE_P(Settings, MainFrameCreationTest, ::testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainFrameTest, CommandsReachTheWebViewInOrderAndClosingEndsTheLoopWithOne) {
  const HWND hwnd = m_frame->CreateEx();
  ASSERT_NE(hwnd, nullptr);
  for (UINT command : {ID_BACK, ID_FORWARD, ID_RELOAD})  // without a web view: nothing
    EXPECT_EQ(fake.SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0), 0);
  auto log = std::make_shared<FakeEngineLog>();
  m_frame->m_view.m_webView = MakeComObject<FakeWebView>(log);
  // As the toolbar sends them: posted, with the toolbar as the sender.
  for (UINT command : {ID_RELOAD, ID_BACK, ID_FORWARD, ID_BACK})
    fake.PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(m_frame->m_hWndToolBar));
  fake.PostMessage(hwnd, WM_CLOSE, 0, 0);
  // The frame is the loop's filter and idle handler while its window exists.
  EXPECT_TRUE(m_loop.RemoveMessageFilter(m_frame.get()) && m_loop.AddMessageFilter(m_frame.get()));
  EXPECT_TRUE(m_loop.RemoveIdleHandler(m_frame.get()) && m_loop.AddIdleHandler(m_frame.get()));
  EXPECT_EQ(m_loop.Run(), 1);
  EXPECT_EQ(log->Calls(), (std::vector<std::string>{"Reload", "GoBack", "GoForward", "GoBack"}));
  EXPECT_FALSE(m_loop.RemoveMessageFilter(m_frame.get()) || m_loop.RemoveIdleHandler(m_frame.get()));
  EXPECT_FALSE(fake.Exists(hwnd));
  EXPECT_TRUE(fake.MessageBoxes().empty() && fake.Dialogs().empty());  // closing asks nothing
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

TEST_F(MainFrameTest, TheAboutBoxOpensFromTheWindowMenuCentredOnTheFrame) {
  const HWND hwnd = m_frame->CreateEx();
  ASSERT_NE(hwnd, nullptr);
  fake.ShowWindow(hwnd, SW_SHOWDEFAULT);
  HWND dialog = nullptr;
  fake.Script([&] { fake.PostMessage(dialog = fake.GetActiveWindow(), WM_COMMAND, IDOK, 0); });
  EXPECT_EQ(fake.SendMessage(hwnd, WM_SYSCOMMAND, 0xE140, 0), 0);
  ASSERT_EQ(fake.Dialogs().size(), 1u);
  const auto& shown = fake.Dialogs()[0];
  EXPECT_EQ(shown.hwnd, dialog);
  EXPECT_EQ(shown.owner, hwnd);
  EXPECT_EQ(shown.dialogTemplate.caption, u"About");
  std::vector<std::u16string> texts;  // in tab order: the default button first
  for (const DialogItem& item : shown.dialogTemplate.items) texts.push_back(item.text);
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"OK", u"Vellumview\nVersion 1.0.0\nVellumview developers",
                                                kApplicationIconName, u""}));
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
