// A copy that takes long: the window keeps handling messages and a small
// dialog shows until the copy ends, and nothing but the copy's end closes it;
// a quick copy shows nothing.
#include "fileops/CopyProgressDlg.h"

#include <gtest/gtest.h>

#include <future>

#include "tests/platform/FakePlatformScope.h"
#include "tests/platform/RecordingWindow.h"
#include "util/Win32Error.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

TEST(CopyProgressDlgTest, OnlyALongCopyShowsTheDialogUntilItEndsAndEscDoesNotEndIt) {
  FakePlatformScope platform;
  RecordingWindow window;
  window.Frame();
  EXPECT_EQ(CopyProgressDlg::Copy(window.m_hWnd, u"/d/missing", u"/d/copy.bin"), HResultFromWin32(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(platform.windowing.Dialogs().empty());

  platform.system.AddFile(u"/d/big.bin", {.content = "bytes"});
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  platform.system.SetCopyHook([released] { released.wait(); });
  platform.windowing.AllowBlocking(true);
  bool stillOpenAfterEsc = false;
  platform.windowing.Script([&] {
    const HWND dialog = platform.windowing.Dialogs().back().hwnd;
    platform.windowing.SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    platform.windowing.SendMessage(dialog, WM_CLOSE, 0, 0);
    stillOpenAfterEsc = platform.windowing.IsWindowVisible(dialog);
    release.set_value();
  });
  EXPECT_EQ(CopyProgressDlg::Copy(window.m_hWnd, u"/d/big.bin", u"/d/copy.bin"), S_OK);
  ASSERT_EQ(platform.windowing.Dialogs().size(), 1u);
  EXPECT_EQ(platform.windowing.Dialogs()[0].owner, window.m_hWnd);
  EXPECT_TRUE(stillOpenAfterEsc);
  EXPECT_FALSE(platform.windowing.IsWindow(platform.windowing.Dialogs()[0].hwnd));
  EXPECT_EQ(platform.system.FileContent(u"/d/copy.bin"), "bytes");
  EXPECT_FALSE(platform.windowing.Starved());
}

}  // namespace
