#include "app/CheckRuntime.h"

#include <gtest/gtest.h>

#include "app/RuntimeInstallDlg.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "tests/platform/FakePlatformScope.h"

namespace {

// A usable runtime and none without an installer at hand are followed in
// RunApplicationTest ("NormalClose", "NoRuntime"), a runtime too old for the
// loader in FindClientLibraryTest, and the first-run setup with an installer
// that runs or cannot be started in the GUI tests "first_run_gui_install"
// and "first_run_gui_refused".
TEST(CheckRuntimeTest, WithTheInstallerAtHandOnlyAFinishedSetupDialogLetsStartUpGoOn) {
  const std::u16string installer(CRuntimeInstallDlg::kInstallerPath);
  for (const bool dialogFails : {false, true}) {
    SCOPED_TRACE(dialogFails ? "no dialog" : "installed");
    FakePlatformScope platform;
    platform.windowing.AllowBlocking(true);
    platform.system.AddFile(installer);
    platform.system.AddProgram(installer, {});
    if (dialogFails) platform.windowing.FailDialogsCaptioned(std::u16string(LoadStringResource(IDS_SETUP_DIALOG_CAPTION)));
    // Going on although no runtime was installed shows that the runtime is
    // not asked for again after the dialog.
    EXPECT_EQ(CheckRuntime(), !dialogFails);
    // The notice stands alone: no owner, no caption, the information icon.
    ASSERT_EQ(platform.windowing.MessageBoxes().size(), 1u);
    const auto& notice = platform.windowing.MessageBoxes()[0];
    EXPECT_EQ(std::tuple(notice.owner, notice.caption, notice.type, notice.text),
              std::tuple(HWND{}, u"", MB_OK | MB_ICONINFORMATION, LoadStringResource(IDS_SETUP_NOTICE)));
  }
}

}  // namespace
