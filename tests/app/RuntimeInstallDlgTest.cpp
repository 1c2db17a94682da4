// The runtime setup dialog on the fake platform: its template, its start,
// the worker's reports for every way the installer can go, and that nothing
// the user does ends it early. The installer is a scripted program of the
// fake system; its wait can be held open until the test lets it go.
#include "app/RuntimeInstallDlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>

#include "platform/FakePlatformScope.h"
#include "resources/Resource.h"

namespace {

using ::testing::ElementsAre;

const std::u16string kInstaller(CRuntimeInstallDlg::kInstallerPath);

class RuntimeInstallDlgTest : public ::testing::Test {
 protected:
  RuntimeInstallDlgTest() {
    // The worker reports with cross-thread sends; the modal loop waits for them.
    fake.AllowBlocking(true);
    fake.SetMonitors({MONITORINFO{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}, 1}});
  }

  // An installer that runs until the test calls Finish().
  void AddHeldInstaller() {
    platform.system.AddProgram(kInstaller, {S_OK, [this] {
                                              m_finish.get_future().wait();
                                              return S_OK;
                                            }});
  }
  void Finish() { m_finish.set_value(); }

  std::u16string DialogText() const {
    for (const auto& item : fake.Dialogs().at(0).dialogTemplate.items)
      if (item.kind == DialogItemKind::Static) return item.text;
    return {};
  }

  FakePlatformScope platform;
  FakeWindowing& fake = platform.windowing;
  std::promise<void> m_finish;
};

TEST_F(RuntimeInstallDlgTest, ShowsItsCaptionTextAndPulsingBarCentredWithoutAButton) {
  platform.system.AddProgram(kInstaller, {});
  CRuntimeInstallDlg dialog;
  EXPECT_EQ(dialog.DoModal(nullptr), 1000);
  ASSERT_EQ(fake.Dialogs().size(), 1u);
  const DialogTemplate& t = fake.Dialogs()[0].dialogTemplate;
  EXPECT_EQ(t.caption, u"WebView2ランタイムのセットアップ");
  EXPECT_EQ(DialogText(), u"WebView2ランタイムをインストールしています");
  EXPECT_EQ(std::ranges::count(t.items, DialogItemKind::Button, &DialogItem::kind), 0);
  const auto bar = std::ranges::find(t.items, IDC_PROGRESS, &DialogItem::id);
  ASSERT_NE(bar, t.items.end());
  EXPECT_EQ(bar->kind, DialogItemKind::ProgressBar);
  EXPECT_TRUE(bar->style & PBS_MARQUEE);
  // The marquee steps every 50 ms.
  std::vector<std::tuple<UINT, LONG, LONG>> sent;
  for (const auto& call : fake.CallsNamed("ControlMessage"))
    sent.emplace_back(static_cast<UINT>(call.value), call.rect.left, call.rect.top);
  EXPECT_THAT(sent, ElementsAre(std::tuple(PBM_SETMARQUEE, TRUE, 50)));
  // Centred on the work area: 618 by 160 pixels in the fake.
  const auto moves = fake.CallsNamed("SetPos");
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves[0].rect, (RECT{651, 440, 1269, 600}));
}

TEST_F(RuntimeInstallDlgTest, EndsWith1000AfterTheInstallerHowEverItEnded) {
  const struct {
    const char* name;
    HRESULT wait;
  } cases[] = {{"ended", S_OK}, {"wait failed", E_FAIL}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatformScope scope;
    scope.windowing.AllowBlocking(true);
    scope.system.AddProgram(kInstaller, {S_OK, [hr = c.wait] { return hr; }});
    {
      CRuntimeInstallDlg dialog;
      EXPECT_EQ(dialog.DoModal(nullptr), CRuntimeInstallDlg::kInstallFinished);
    }
    // Started once, directly, with its two arguments, and waited for.
    EXPECT_THAT(scope.system.StartedProcesses(),
                ElementsAre(FakeSystem::StartedProcess{kInstaller, {u"/silent", u"/install"}}));
    EXPECT_EQ(scope.system.ProcessesNotWaitedFor(), 0);
    EXPECT_TRUE(scope.windowing.MessageBoxes().empty());
  }
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

TEST_F(RuntimeInstallDlgTest, EscAndTheCloseBoxChangeNothingWhileTheInstallerRuns) {
  AddHeldInstaller();
  fake.Script([this] {
    const HWND dialog = fake.Dialogs().at(0).hwnd;
    fake.PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    fake.PostMessage(dialog, WM_CLOSE, 0, 0);
  });
  fake.Script([this] {
    // Both were handled by now and the dialog is still up.
    EXPECT_TRUE(fake.IsWindowVisible(fake.Dialogs().at(0).hwnd));
    Finish();
  });
  CRuntimeInstallDlg dialog;
  EXPECT_EQ(dialog.DoModal(nullptr), CRuntimeInstallDlg::kInstallFinished);
}

TEST_F(RuntimeInstallDlgTest, ADialogEndedByAQuitRequestWaitsForItsWorkerWhichThenLeavesItAlone) {
  AddHeldInstaller();
  fake.Script([this] { fake.PostQuitMessage(7); });
  {
    CRuntimeInstallDlg dialog;
    EXPECT_NE(dialog.DoModal(nullptr), CRuntimeInstallDlg::kInstallFinished);
    // The installer ends only now, after the dialog's window is gone; the
    // dialog object waits for its worker before it goes.
    Finish();
  }
  EXPECT_EQ(platform.system.ProcessesNotWaitedFor(), 0);
  EXPECT_TRUE(fake.MessageBoxes().empty());
  // The quit request is kept for the loop it was meant for.
  MSG msg;
  EXPECT_EQ(fake.GetMessage(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
