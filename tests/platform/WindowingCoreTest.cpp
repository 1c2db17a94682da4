// The shared half of the windowing platform, exercised through the fake
// backend: creation and destruction order, the queue, default processing,
// modal dialogs and message boxes. A send from another thread goes through
// the same shared code and is checked against the real backend, whose wait
// it must wake.
#include "platform/WindowingCore.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/platform/FakePlatformScope.h"
#include "tests/platform/RecordingWindow.h"
#include "window/CDialogImplBase.h"

namespace {

class WindowingCoreTest : public ::testing::Test {
 protected:
  FakePlatformScope platform;
  FakeWindowing& fake = platform.windowing;
  RecordingWindow frame;
};

TEST_F(WindowingCoreTest, CreationSendsCreateThenSizeAndFailsCleanlyWhenRefused) {
  ASSERT_NE(frame.Frame(), nullptr);
  ASSERT_EQ(frame.Messages(), (std::vector<UINT>{WM_CREATE, WM_SIZE}));
  EXPECT_EQ((std::pair{frame.seen[1].wParam, frame.seen[1].lParam}),  // restored, at the fake's default size
            (std::pair<WPARAM, LPARAM>{SIZE_RESTORED, MAKELPARAM(800, 600)}));
  RecordingWindow refusing, orphan;
  refusing.handlers[WM_CREATE] = [](WPARAM, LPARAM, LRESULT& r) { return r = -1, true; };
  EXPECT_EQ(refusing.Frame(), nullptr);
  EXPECT_EQ(refusing.m_hWnd, nullptr);
  EXPECT_EQ(refusing.Messages(), (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(orphan.Child(reinterpret_cast<HWND>(0x1234)), nullptr);  // a child needs an existing parent
  EXPECT_TRUE(orphan.seen.empty());
}

TEST_F(WindowingCoreTest, DestructionGoesParentFirstThenFinalMessagesChildFirst) {
  std::vector<std::pair<HWND, UINT>> log;
  RecordingWindow child;
  frame.log = child.log = &log;
  const HWND f = frame.Frame(), c = child.Child(f);
  log.clear();
  EXPECT_TRUE(frame.DestroyWindow());
  EXPECT_EQ(log, (decltype(log){{f, WM_DESTROY}, {c, WM_DESTROY}, {c, WM_NCDESTROY}, {f, WM_NCDESTROY}}));
  EXPECT_EQ(child.m_hWnd, nullptr);
  EXPECT_FALSE(fake.IsWindow(c));
  // The native layer removes the frame once; the child goes with it.
  ASSERT_EQ(fake.CallsNamed("Destroy").size(), 1u);
  EXPECT_EQ(fake.CallsNamed("Destroy")[0].hwnd, f);
  // An object going away takes its window with it; nothing reaches it then.
  HWND gone = std::make_unique<RecordingWindow>()->Frame();
  EXPECT_FALSE(fake.IsWindow(gone));
  EXPECT_EQ(fake.SendMessage(gone, WM_APP, 0, 0), 0);
}

TEST_F(WindowingCoreTest, TheQueueKeepsOrderQuitsOnlyWhenEmptyAndDropsMessagesOfDestroyedWindows) {
  RecordingWindow other;
  ASSERT_TRUE(frame.Frame() && other.Frame());
  fake.PostMessage(frame.m_hWnd, WM_APP, 0, 0);
  fake.PostMessage(other.m_hWnd, WM_APP + 1, 0, 0);
  fake.PostQuitMessage(5);
  fake.PostMessage(nullptr, WM_APP + 2, 0, 0);
  frame.DestroyWindow();
  MSG msg;
  EXPECT_TRUE(fake.PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));  // leaves it there
  for (UINT expected : {WM_APP + 1, WM_APP + 2}) {
    ASSERT_EQ(fake.GetMessage(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, expected);
  }
  EXPECT_TRUE(fake.GetMessage(&msg, nullptr, 0, 0) == FALSE && msg.message == WM_QUIT && msg.wParam == 5u);
  EXPECT_FALSE(fake.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(fake.Starved());
}

TEST_F(WindowingCoreTest, DefaultProcessingCarriesOutSystemCommands) {
  constexpr WPARAM kNoSize = ~WPARAM{0};
  const struct {
    std::vector<WPARAM> commands;
    bool zoomed, iconic;
    WPARAM lastSize;  // the state reported by the last WM_SIZE, if any
  } cases[] = {{{SC_MAXIMIZE, SC_RESTORE}, false, false, kNoSize},
               {{SC_MINIMIZE}, false, true, SIZE_MINIMIZED},
               {{SC_MINIMIZE, SC_RESTORE}, false, false, SIZE_RESTORED},
               {{SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}, true, false, SIZE_MAXIMIZED},  // back to maximised
               {{SC_MAXIMIZE | 0x2}, true, false, kNoSize}};  // the low four bits are not the command
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.commands));
    RecordingWindow window;
    const HWND hwnd = window.Frame();
    window.ShowWindow(SW_SHOW);
    window.seen.clear();
    for (WPARAM command : c.commands) fake.SendMessage(hwnd, WM_SYSCOMMAND, command, 0);
    EXPECT_EQ(fake.IsZoomed(hwnd) != FALSE, c.zoomed);
    EXPECT_EQ(fake.IsIconic(hwnd) != FALSE, c.iconic);
    EXPECT_EQ(window.Count(WM_SIZE) ? window.seen.back().wParam : kNoSize, c.lastSize);
  }
}

TEST_F(WindowingCoreTest, TheActiveWindowIsTheShownFrame) {
  fake.ShowWindow(frame.Frame(), SW_SHOWDEFAULT);
  EXPECT_EQ(fake.GetActiveWindow(), frame.m_hWnd);
  frame.ShowWindow(SW_HIDE);
  EXPECT_EQ(fake.GetActiveWindow(), nullptr);
}

// A dialog that ends at once when asked to.
class TestDialog : public CDialogImplBase {
 public:
  DialogTemplate GetDialogTemplate() const override { return {}; }
  bool ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT&) override {
    if (message == WM_INITDIALOG && endWhileStarting) EndDialog(77);
    return false;
  }
  bool endWhileStarting = false;
};

// (A dialog ended by its button, one that cannot be created and one ended by
// a quit request are covered by the About box, the set-up check and the
// install dialog tests of the application.)
TEST_F(WindowingCoreTest, ADialogLosingItsOwnerOrEndedWhileStartingGivesItsResult) {
  for (const bool endWhileStarting : {false, true}) {
    RecordingWindow owner;
    owner.Frame();
    TestDialog dialog;
    dialog.endWhileStarting = endWhileStarting;
    if (!endWhileStarting) fake.Script([&] { owner.DestroyWindow(); });
    EXPECT_EQ(dialog.DoModal(owner.m_hWnd), endWhileStarting ? 77 : IDCANCEL);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
  }
  EXPECT_EQ(fake.CallsNamed("ShowDialog").size(), 1u);  // the one ended while starting is never shown
}

TEST_F(WindowingCoreTest, AMessageBoxIsAnsweredAndWrittenToTheErrorStreamOnOneLine) {
  fake.AnswerMessageBoxes({IDCANCEL});
  EXPECT_EQ(fake.MessageBox(nullptr, u"line one\r\nline two\n", u"", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(fake.MessageBox(nullptr, u"", u"", MB_OK), IDOK);
  EXPECT_EQ(fake.ErrorLines(), (std::vector<std::string>{"vellumview: line one line two", "vellumview: "}));
}

}  // namespace
