// The shared half of the windowing platform, exercised through the fake
// backend: creation and destruction order, the queue, sends from other
// threads, default processing, modal dialogs and message boxes.
#include <gtest/gtest.h>

#include <thread>

#include "platform/CDialogImplBase.h"
#include "platform/IWindowing.h"
#include "platform/WindowingCore.h"
#include "platform/FakePlatformScope.h"
#include "platform/RecordingWindow.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

class WindowingCoreTest : public ::testing::Test {
 protected:
  FakePlatformScope platform;
  FakeWindowing& fake = platform.windowing;
  IWindowing& windowing = platform.windowing;
};

TEST_F(WindowingCoreTest, CreationSendsCreateThenSizeWithTheClientSize) {
  RecordingWindow frame;
  ASSERT_NE(frame.Create(nullptr, nullptr, u"Frame", WS_OVERLAPPEDWINDOW), nullptr);
  ASSERT_EQ(frame.Messages(), (std::vector<UINT>{WM_CREATE, WM_SIZE}));
  // The fake's default rectangle is 800 by 600.
  EXPECT_EQ(frame.seen[1].lParam, MAKELPARAM(800, 600));
  EXPECT_EQ(frame.seen[1].wParam, SIZE_RESTORED);
  EXPECT_EQ(windowing.GetWindowText(frame.m_hWnd), u"Frame");
}

TEST_F(WindowingCoreTest, CreateReturningMinusOneFailsAndCleansUp) {
  RecordingWindow frame;
  frame.handlers[WM_CREATE] = [](WPARAM, LPARAM, LRESULT& r) { r = -1; return true; };
  EXPECT_EQ(frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW), nullptr);
  EXPECT_EQ(frame.m_hWnd, nullptr);
  EXPECT_EQ(frame.Count(WM_DESTROY), 1);
  EXPECT_EQ(frame.Count(WM_NCDESTROY), 1);
  EXPECT_EQ(frame.Count(WM_SIZE), 0);
}

TEST_F(WindowingCoreTest, ChildNeedsAnExistingParent) {
  RecordingWindow child;
  EXPECT_EQ(child.Create(reinterpret_cast<HWND>(0x1234), nullptr, u"", kChild), nullptr);
  EXPECT_TRUE(child.seen.empty());
}

TEST_F(WindowingCoreTest, DestructionGoesParentFirstThenFinalMessagesChildFirst) {
  std::vector<std::pair<HWND, UINT>> log;
  RecordingWindow frame, child;
  frame.log = child.log = &log;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  child.Create(frame.m_hWnd, nullptr, u"", kChild);
  const HWND f = frame.m_hWnd, c = child.m_hWnd;
  log.clear();
  EXPECT_TRUE(frame.DestroyWindow());
  EXPECT_EQ(log, (std::vector<std::pair<HWND, UINT>>{
                     {f, WM_DESTROY}, {c, WM_DESTROY}, {c, WM_NCDESTROY}, {f, WM_NCDESTROY}}));
  EXPECT_EQ(frame.m_hWnd, nullptr);
  EXPECT_EQ(child.m_hWnd, nullptr);
  EXPECT_FALSE(windowing.IsWindow(c));
  // The native layer removes the frame once; the child goes with it.
  ASSERT_EQ(fake.CallsNamed("Destroy").size(), 1u);
  EXPECT_EQ(fake.CallsNamed("Destroy")[0].hwnd, f);
}

TEST_F(WindowingCoreTest, AnObjectGoingAwayTakesItsWindowWithIt) {
  HWND hwnd = nullptr;
  {
    RecordingWindow frame;
    hwnd = frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
    ASSERT_NE(hwnd, nullptr);
  }
  EXPECT_FALSE(windowing.IsWindow(hwnd));
  // Nothing reaches the dead object any more.
  EXPECT_EQ(windowing.SendMessage(hwnd, WM_APP, 0, 0), 0);
}

TEST_F(WindowingCoreTest, CloseDestroysATopLevelWindowByDefault) {
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  const HWND hwnd = frame.m_hWnd;
  windowing.SendMessage(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(windowing.IsWindow(hwnd));
}

TEST_F(WindowingCoreTest, PostedMessagesComeInOrderAndQuitOnlyWhenTheQueueIsEmpty) {
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  windowing.PostMessage(frame.m_hWnd, WM_APP + 1, 1, 0);
  windowing.PostQuitMessage(5);
  windowing.PostMessage(frame.m_hWnd, WM_APP + 2, 2, 0);
  MSG msg;
  ASSERT_EQ(windowing.GetMessage(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, WM_APP + 1);
  ASSERT_EQ(windowing.GetMessage(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, WM_APP + 2);
  ASSERT_EQ(windowing.GetMessage(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 5u);
  EXPECT_FALSE(fake.Starved());
}

TEST_F(WindowingCoreTest, PeekWithoutRemoveLeavesTheMessage) {
  windowing.PostMessage(nullptr, WM_APP, 0, 0);
  MSG msg;
  EXPECT_TRUE(windowing.PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_TRUE(windowing.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_APP);
  EXPECT_FALSE(windowing.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowingCoreTest, MessagesQueuedForADestroyedWindowAreDropped) {
  RecordingWindow frame, other;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  other.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  windowing.PostMessage(frame.m_hWnd, WM_APP, 0, 0);
  windowing.PostMessage(other.m_hWnd, WM_APP + 1, 0, 0);
  frame.DestroyWindow();
  MSG msg;
  ASSERT_TRUE(windowing.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_APP + 1);
  EXPECT_FALSE(windowing.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

struct PositionCase {
  const char* name;
  int x, y, cx, cy;
  UINT flags;
  RECT expected;  // in the parent's client coordinates
  bool sizeMessage;
};

class SetWindowPosTest : public WindowingCoreTest, public ::testing::WithParamInterface<PositionCase> {};

TEST_P(SetWindowPosTest, MovesSizesAndReportsOnlyARealSizeChange) {
  const PositionCase& c = GetParam();
  RecordingWindow frame, child;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  RECT start{10, 20, 110, 70};
  child.Create(frame.m_hWnd, &start, u"", kChild);
  child.seen.clear();
  EXPECT_TRUE(child.SetWindowPos(nullptr, c.x, c.y, c.cx, c.cy, c.flags));
  RECT window{};
  child.GetWindowRect(&window);
  POINT topLeft{window.left, window.top};
  windowing.ScreenToClient(frame.m_hWnd, &topLeft);
  EXPECT_EQ((RECT{topLeft.x, topLeft.y, topLeft.x + window.right - window.left,
                  topLeft.y + window.bottom - window.top}),
            c.expected);
  EXPECT_EQ(child.Count(WM_SIZE), c.sizeMessage ? 1 : 0);
  if (c.sizeMessage)
    EXPECT_EQ(child.seen.back().lParam,
              MAKELPARAM(c.expected.right - c.expected.left, c.expected.bottom - c.expected.top));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetWindowPosTest,
    ::testing::Values(PositionCase{"MoveOnly", 30, 40, 100, 50, SWP_NOZORDER, {30, 40, 130, 90}, false},
                      PositionCase{"Resize", 10, 20, 300, 200, 0, {10, 20, 310, 220}, true},
                      PositionCase{"NoSizeIgnoresSize", 0, 0, 999, 999, SWP_NOSIZE, {0, 0, 100, 50}, false},
                      PositionCase{"NoMoveKeepsPlace", 0, 0, 50, 60, SWP_NOMOVE, {10, 20, 60, 80}, true},
                      PositionCase{"NegativeSizeIsEmpty", 10, 20, -5, -5, 0, {10, 20, 10, 20}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowingCoreTest, ChildRectanglesAreInScreenCoordinatesThroughTheirParents) {
  RecordingWindow frame, child, grandChild;
  RECT frameRect{100, 50, 600, 450};
  frame.Create(nullptr, &frameRect, u"", WS_OVERLAPPEDWINDOW);
  RECT childRect{10, 20, 210, 220};
  child.Create(frame.m_hWnd, &childRect, u"", kChild);
  RECT grandRect{5, 6, 15, 16};
  grandChild.Create(child.m_hWnd, &grandRect, u"", kChild);
  RECT r{};
  grandChild.GetWindowRect(&r);
  EXPECT_EQ(r, (RECT{115, 76, 125, 86}));
  grandChild.GetClientRect(&r);
  EXPECT_EQ(r, (RECT{0, 0, 10, 10}));
  POINT p{115, 76};
  windowing.ScreenToClient(child.m_hWnd, &p);
  EXPECT_EQ(p, (POINT{5, 6}));
}

TEST_F(WindowingCoreTest, StyleChangesReachTheNativeWindowButKeepVisibilityAndChildBits) {
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  frame.ShowWindow(SW_SHOW);
  const LONG old = frame.GetWindowLong(GWL_STYLE);
  EXPECT_EQ(static_cast<DWORD>(old), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_EQ(frame.SetWindowLong(GWL_STYLE, static_cast<LONG>(WS_POPUP)), old);
  EXPECT_EQ(static_cast<DWORD>(frame.GetWindowLong(GWL_STYLE)), WS_POPUP | WS_VISIBLE);
  ASSERT_FALSE(fake.CallsNamed("Style").empty());
  EXPECT_EQ(static_cast<DWORD>(fake.CallsNamed("Style").back().value), WS_POPUP | WS_VISIBLE);
  frame.SetWindowLong(GWL_EXSTYLE, static_cast<LONG>(WS_EX_TOPMOST));
  EXPECT_EQ(static_cast<DWORD>(frame.GetWindowLong(GWL_EXSTYLE)), WS_EX_TOPMOST);
}

struct SysCommandCase {
  const char* name;
  std::vector<WPARAM> commands;
  bool zoomed;
  bool iconic;
  bool exists;
};

class SysCommandTest : public WindowingCoreTest, public ::testing::WithParamInterface<SysCommandCase> {};

TEST_P(SysCommandTest, DefaultProcessingCarriesOutSystemCommands) {
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  frame.ShowWindow(SW_SHOW);
  const HWND hwnd = frame.m_hWnd;
  for (WPARAM command : GetParam().commands) windowing.SendMessage(hwnd, WM_SYSCOMMAND, command, 0);
  EXPECT_EQ(windowing.IsWindow(hwnd) != FALSE, GetParam().exists);
  if (!GetParam().exists) return;
  EXPECT_EQ(windowing.IsZoomed(hwnd) != FALSE, GetParam().zoomed);
  EXPECT_EQ(windowing.IsIconic(hwnd) != FALSE, GetParam().iconic);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SysCommandTest,
    ::testing::Values(SysCommandCase{"Maximize", {SC_MAXIMIZE}, true, false, true},
                      SysCommandCase{"MaximizeThenRestore", {SC_MAXIMIZE, SC_RESTORE}, false, false, true},
                      SysCommandCase{"Minimize", {SC_MINIMIZE}, false, true, true},
                      SysCommandCase{"MaximizedMinimizedRestoredStaysMaximized",
                                     {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}, true, false, true},
                      SysCommandCase{"Close", {SC_CLOSE}, false, false, false},
                      // The low four bits belong to the system and are ignored.
                      SysCommandCase{"LowBitsIgnored", {SC_MAXIMIZE | 0x2}, true, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowingCoreTest, MinimisingReportsSizeMinimized) {
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  frame.seen.clear();
  frame.ShowWindow(SW_MINIMIZE);
  ASSERT_EQ(frame.Count(WM_SIZE), 1);
  EXPECT_EQ(frame.seen.back().wParam, SIZE_MINIMIZED);
  frame.ShowWindow(SW_RESTORE);
  EXPECT_EQ(frame.seen.back().message, WM_SIZE);
  EXPECT_EQ(frame.seen.back().wParam, SIZE_RESTORED);
}

TEST_F(WindowingCoreTest, ASendFromAnotherThreadRunsOnTheUserInterfaceThread) {
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  const std::thread::id uiThread = std::this_thread::get_id();
  std::thread::id ranOn;
  frame.handlers[WM_APP + 1] = [&](WPARAM w, LPARAM, LRESULT& r) {
    ranOn = std::this_thread::get_id();
    r = static_cast<LRESULT>(w) * 2;
    return true;
  };
  fake.AllowBlocking(true);
  LRESULT answer = 0;
  const HWND hwnd = frame.m_hWnd;
  std::thread worker([&] {
    answer = Platform::Windowing().SendMessage(hwnd, WM_APP + 1, 21, 0);
    Platform::Windowing().PostMessage(hwnd, WM_APP + 2, 0, 0);
  });
  MSG msg{};
  while (windowing.GetMessage(&msg, nullptr, 0, 0) && msg.message != WM_APP + 2) {
  }
  worker.join();
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(ranOn, uiThread);
  EXPECT_EQ(msg.message, WM_APP + 2u);
}

class TestDialog : public CDialogImplBase {
 public:
  DialogTemplate GetDialogTemplate() const override {
    DialogTemplate t;
    t.caption = u"Test";
    t.width = 100;
    t.height = 50;
    t.items = {{DialogItemKind::Button, IDOK, RECT{10, 30, 50, 44}, u"OK", BS_DEFPUSHBUTTON},
               {DialogItemKind::ProgressBar, 1002, RECT{5, 5, 95, 20}, u"", PBS_MARQUEE},
               {DialogItemKind::Static, -1, RECT{5, 22, 95, 28}, u"text", SS_LEFT}};
    return t;
  }
  bool ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    messages.push_back(message);
    if (message == WM_INITDIALOG) {
      activeDuringInit = Platform::Windowing().GetActiveWindow();
      if (endInInit) EndDialog(77);
      result = TRUE;
      return true;
    }
    if (message == WM_COMMAND) {
      commands.push_back(LOWORD(wParam));
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(LOWORD(wParam));
      result = 0;
      return true;
    }
    return false;
  }
  std::vector<UINT> messages;
  std::vector<WORD> commands;
  bool endInInit = false;
  HWND activeDuringInit = nullptr;
};

TEST_F(WindowingCoreTest, ADialogRunsUntilEndDialogAndReturnsItsResult) {
  TestDialog dialog;
  fake.Script([&] { windowing.PostMessage(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.messages.front(), WM_INITDIALOG);
  EXPECT_EQ(dialog.activeDuringInit, fake.Dialogs().back().hwnd);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_FALSE(windowing.IsWindow(fake.Dialogs().back().hwnd));
  EXPECT_EQ(fake.CallsNamed("ShowDialog").size(), 1u);
  EXPECT_FALSE(fake.Starved());
}

TEST_F(WindowingCoreTest, ClosingADialogBecomesTheCancelCommand) {
  TestDialog dialog;
  fake.Script([&] { windowing.PostMessage(dialog.m_hWnd, WM_CLOSE, 0, 0); });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.commands, (std::vector<WORD>{IDCANCEL}));
}

TEST_F(WindowingCoreTest, ADialogEndedWhileStartingIsNeverShown) {
  TestDialog dialog;
  dialog.endInInit = true;
  EXPECT_EQ(dialog.DoModal(nullptr), 77);
  EXPECT_TRUE(fake.CallsNamed("ShowDialog").empty());
}

TEST_F(WindowingCoreTest, ADialogThatCannotBeCreatedGivesMinusOne) {
  fake.FailDialogsCaptioned(u"Test");
  TestDialog dialog;
  EXPECT_EQ(dialog.DoModal(nullptr), -1);
  EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(WindowingCoreTest, AQuitRequestEndsTheDialogAndReachesTheOuterLoop) {
  TestDialog dialog;
  fake.Script([&] { windowing.PostQuitMessage(3); });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  MSG msg;
  EXPECT_EQ(windowing.GetMessage(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(WindowingCoreTest, DialogItemsWithIdentifiersCanBeAddressed) {
  TestDialog dialog;
  HWND progress = nullptr;
  fake.Script([&] {
    progress = windowing.GetDlgItem(dialog.m_hWnd, 1002);
    windowing.SendMessage(progress, PBM_SETMARQUEE, TRUE, 50);
    windowing.PostMessage(dialog.m_hWnd, WM_COMMAND, IDOK, 0);
  });
  dialog.DoModal(nullptr);
  ASSERT_NE(progress, nullptr);
  const auto controlMessages = fake.CallsNamed("ControlMessage");
  ASSERT_EQ(controlMessages.size(), 1u);
  EXPECT_EQ(controlMessages[0].hwnd, progress);
  EXPECT_EQ(controlMessages[0].value, static_cast<std::intptr_t>(PBM_SETMARQUEE));
}

TEST_F(WindowingCoreTest, DestroyingTheOwnerEndsItsDialog) {
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  TestDialog dialog;
  fake.Script([&] { frame.DestroyWindow(); });
  EXPECT_EQ(dialog.DoModal(frame.m_hWnd), IDCANCEL);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

struct LogLineCase {
  std::u16string text;
  std::string line;
};

class MessageBoxLogLineTest : public ::testing::TestWithParam<LogLineCase> {};

TEST_P(MessageBoxLogLineTest, IsOneLineWithTheProgramName) {
  EXPECT_EQ(WindowingCore::MessageBoxLogLine(GetParam().text), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxLogLineTest,
    ::testing::Values(LogLineCase{u"plain", "vellumview: plain"},
                      LogLineCase{u"a\nb\n", "vellumview: a b"},
                      LogLineCase{u"a\r\nb", "vellumview: a b"},
                      LogLineCase{u"設定ファイルを読み込めません : 0x80070002",
                                  "vellumview: 設定ファイルを読み込めません : 0x80070002"},
                      LogLineCase{u"", "vellumview: "}));

TEST_F(WindowingCoreTest, AMessageBoxIsShownAndWrittenToTheErrorStream) {
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  fake.AnswerMessageBoxes({IDCANCEL});
  EXPECT_EQ(frame.MessageBox(u"line one\nline two", u"", MB_OKCANCEL | MB_ICONWARNING), IDCANCEL);
  EXPECT_EQ(windowing.MessageBox(nullptr, u"again", u"", MB_OK), IDOK);
  ASSERT_EQ(fake.MessageBoxes().size(), 2u);
  EXPECT_EQ(fake.MessageBoxes()[0].owner, frame.m_hWnd);
  EXPECT_EQ(fake.MessageBoxes()[0].type, MB_OKCANCEL | MB_ICONWARNING);
  EXPECT_EQ(fake.ErrorLines(), (std::vector<std::string>{"vellumview: line one line two", "vellumview: again"}));
}

TEST_F(WindowingCoreTest, TheWindowMenuStartsWithTheStandardItemsAndTakesMore) {
  RecordingWindow frame, child;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  child.Create(frame.m_hWnd, nullptr, u"", kChild);
  EXPECT_EQ(windowing.GetWindowMenuItemCount(frame.m_hWnd), WindowingCore::kStandardWindowMenuItems);
  EXPECT_TRUE(windowing.AppendWindowMenuItem(frame.m_hWnd, 0, u"ignored"));
  EXPECT_TRUE(windowing.AppendWindowMenuItem(frame.m_hWnd, 0xE140, u"About"));
  EXPECT_FALSE(windowing.AppendWindowMenuItem(child.m_hWnd, 0xE140, u"About"));
  const auto menu = fake.WindowMenu(frame.m_hWnd);
  ASSERT_EQ(menu.size(), 6u);
  EXPECT_EQ(menu[3].first, SC_CLOSE);
  EXPECT_EQ(menu[4], (std::pair<UINT, std::u16string>{0, u""}));
  EXPECT_EQ(menu[5], (std::pair<UINT, std::u16string>{0xE140, u"About"}));
  // Alt+Space arrives as the keyboard menu command.
  windowing.SendMessage(frame.m_hWnd, WM_SYSCOMMAND, SC_KEYMENU, u' ');
  EXPECT_EQ(fake.CallsNamed("ShowWindowMenu").size(), 1u);
}

TEST_F(WindowingCoreTest, FocusMovesAndTheNewFocusHearsOfIt) {
  RecordingWindow frame, child;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  child.Create(frame.m_hWnd, nullptr, u"", kChild);
  EXPECT_EQ(windowing.SetFocus(child.m_hWnd), nullptr);
  EXPECT_EQ(windowing.GetFocus(), child.m_hWnd);
  EXPECT_EQ(child.Count(WM_SETFOCUS), 1);
  EXPECT_EQ(windowing.SetFocus(frame.m_hWnd), child.m_hWnd);
}

TEST_F(WindowingCoreTest, TheActiveWindowIsTheShownFrame) {
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(windowing.GetActiveWindow(), nullptr);
  frame.ShowWindow(SW_SHOWDEFAULT);
  EXPECT_EQ(windowing.GetActiveWindow(), frame.m_hWnd);
  frame.ShowWindow(SW_HIDE);
  EXPECT_EQ(windowing.GetActiveWindow(), nullptr);
}

}  // namespace
