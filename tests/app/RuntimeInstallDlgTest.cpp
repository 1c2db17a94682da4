// The runtime setup dialog on the fake platform: where it stands, the
// worker's reports, and how it ends when its loop is asked to quit. Its
// caption, text and moving bar, the installer's arguments, the wait for it,
// and that Esc and the close box do not end it are followed in the GUI test
// "first_run_gui_install". The installer is a scripted program of the fake
// system.
#include "app/RuntimeInstallDlg.h"

#include <gtest/gtest.h>

#include <future>

#include "tests/platform/FakePlatformScope.h"

namespace {

const std::u16string kInstaller(CRuntimeInstallDlg::kInstallerPath);

class RuntimeInstallDlgTest : public ::testing::Test {
 protected:
  // The worker reports with cross-thread sends; the modal loop waits for them.
  RuntimeInstallDlgTest() { fake.AllowBlocking(true); }

  FakePlatformScope platform;
  FakeWindowing& fake = platform.windowing;
};

TEST_F(RuntimeInstallDlgTest, EndsWith1000AfterTheInstallerEvenWhenItsWaitFailsAndStandsCentred) {
  // A wait that fails leaves nothing to wait for: the dialog must not stay up for ever.
  platform.system.AddProgram(kInstaller, {S_OK, [] { return E_FAIL; }});
  CRuntimeInstallDlg dialog;
  EXPECT_EQ(dialog.DoModal(nullptr), CRuntimeInstallDlg::kInstallFinished);
  EXPECT_TRUE(fake.MessageBoxes().empty());
  // Centred on the fake's work area (1920 by 1040): 618 by 160 pixels in the fake.
  const auto moves = fake.CallsNamed("SetPos");
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves[0].rect, (RECT{651, 440, 1269, 600}));
}

TEST_F(RuntimeInstallDlgTest, ALaunchFailureIsShownOwnedByTheDialogWithItsCodeAndEndsItWithCancel) {
  // A code with letters shows that it is written in lower-case hexadecimal.
  platform.system.AddProgram(kInstaller, {static_cast<HRESULT>(0x800700C1), nullptr});
  CRuntimeInstallDlg dialog;
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  ASSERT_EQ(fake.MessageBoxes().size(), 1u);
  const auto& box = fake.MessageBoxes()[0];
  EXPECT_EQ(std::tuple(box.owner, box.text, box.caption, box.type),
            std::tuple(fake.Dialogs().at(0).hwnd, std::u16string(u"ランタイムのセットアップに失敗しました : 0x800700c1"),
                       std::u16string(), MB_OK | MB_ICONERROR));
}

TEST_F(RuntimeInstallDlgTest, ADialogEndedByAQuitRequestWaitsForItsWorkerWhichThenLeavesItAlone) {
  // An installer that runs until the test lets it go.
  std::promise<void> finish;
  platform.system.AddProgram(kInstaller, {S_OK, [&finish] {
                                            finish.get_future().wait();
                                            return S_OK;
                                          }});
  fake.Script([this] { fake.PostQuitMessage(7); });
  {
    CRuntimeInstallDlg dialog;
    EXPECT_NE(dialog.DoModal(nullptr), CRuntimeInstallDlg::kInstallFinished);
    // The installer ends only now, after the dialog's window is gone; the
    // dialog object waits for its worker before it goes.
    finish.set_value();
  }
  EXPECT_EQ(platform.system.ProcessesNotWaitedFor(), 0);
  EXPECT_TRUE(fake.MessageBoxes().empty());
  // The quit request is kept for the loop it was meant for.
  MSG msg;
  EXPECT_EQ(fake.GetMessage(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
