// A copy that takes long: the window keeps handling messages and a dialog
// naming the file shows over the middle of the frame until the copy ends;
// Cancel, Esc and the close box stop the copy and leave the destination as
// it was; a quick copy shows nothing.
#include "fileops/CopyProgressDlg.h"

#include <gtest/gtest.h>

#include <future>

#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "tests/platform/FakePlatformScope.h"
#include "tests/platform/RecordingWindow.h"
#include "util/Win32Error.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

TEST(CopyProgressDlgTest, AQuickCopyShowsNothing) {
  FakePlatformScope platform;
  RecordingWindow window;
  window.Frame();
  EXPECT_EQ(CopyProgressDlg::Copy(window.m_hWnd, u"/d/missing", u"/d/copy.bin"), HResultFromWin32(ERROR_FILE_NOT_FOUND));
  platform.system.AddFile(u"/d/small.bin", {.content = "bytes"});
  EXPECT_EQ(CopyProgressDlg::Copy(window.m_hWnd, u"/d/small.bin", u"/d/copy.bin"), S_OK);
  EXPECT_EQ(platform.system.FileContent(u"/d/copy.bin"), "bytes");
  EXPECT_TRUE(platform.windowing.Dialogs().empty());
}

// The owner is the view, a child of the frame; the dialog is placed over the
// frame's middle. `stop` is what the user does while the copy runs (nothing
// for a copy that simply ends).
TEST(CopyProgressDlgTest, ALongCopyShowsTheFileOverTheFrameAndCancelStopsIt) {
  struct Case {
    const char* what;
    UINT message;
    WPARAM wParam;
    HRESULT expected;
    const char* destination;
  };
  const Case cases[] = {
      {"copy ends", 0, 0, S_OK, "new"},
      {"Cancel or Esc", WM_COMMAND, IDCANCEL, HResultFromWin32(ERROR_CANCELLED), "old"},
      {"close box", WM_CLOSE, 0, HResultFromWin32(ERROR_CANCELLED), "old"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatformScope platform;
    RecordingWindow frame;
    const RECT frameRect{500, 200, 1300, 800};
    frame.Frame(&frameRect);
    platform.windowing.ShowWindow(frame.m_hWnd, SW_SHOW);
    RecordingWindow view;
    const RECT viewRect{0, 40, 800, 600};
    view.Child(frame.m_hWnd, &viewRect);
    platform.system.AddFile(u"/d/big.bin", {.content = "new"});
    platform.system.AddFile(u"/out/Report.pdf", {.content = "old"});
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    platform.system.SetCopyHook([released] { released.wait(); });
    platform.windowing.AllowBlocking(true);
    RECT dialogRect{};
    bool openAfterStop = false;
    platform.windowing.Script([&] {
      const HWND dialog = platform.windowing.Dialogs().back().hwnd;
      platform.windowing.GetWindowRect(dialog, &dialogRect);
      if (c.message) platform.windowing.SendMessage(dialog, c.message, c.wParam, 0);
      // The window waits for the copy to give up before it goes.
      openAfterStop = platform.windowing.IsWindowVisible(dialog);
      release.set_value();
    });
    EXPECT_EQ(CopyProgressDlg::Copy(view.m_hWnd, u"/d/big.bin", u"/out/Report.pdf"), c.expected);
    EXPECT_EQ(platform.system.FileContent(u"/out/Report.pdf"), c.destination);
    ASSERT_EQ(platform.windowing.Dialogs().size(), 1u);
    const auto& shown = platform.windowing.Dialogs()[0];
    EXPECT_EQ(shown.owner, view.m_hWnd);
    EXPECT_TRUE(openAfterStop);
    EXPECT_FALSE(platform.windowing.IsWindow(shown.hwnd));
    EXPECT_EQ(shown.dialogTemplate.items.at(0).text, u"Report.pdf" + std::u16string(LoadStringResource(IDS_COPY_PROGRESS_TEXT)));
    EXPECT_EQ(shown.dialogTemplate.items.back().id, IDCANCEL);
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, 900, 1);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, 500, 1);
    EXPECT_FALSE(platform.windowing.Starved());
  }
}

}  // namespace
