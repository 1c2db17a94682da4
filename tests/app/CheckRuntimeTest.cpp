#include "app/CheckRuntime.h"

#include "app/RuntimeInstallDlg.h"
#include <gtest/gtest.h>

#include <functional>

#include "loader/LoaderTestSupport.h"
#include "platform/FakePlatformScope.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

TEST(CheckRuntimeTest, GoesOnSilentlyOnlyWithAUsableRuntimeAndOtherwiseWarnsOnce) {
  // Without an installer the user is told where to get a runtime. A runtime
  // too old for the loader counts as missing.
  const struct { const char* name; std::function<void(FakeSystem&)> install; bool found; } cases[] = {
      {"registered", [](FakeSystem& s) { loader_test::InstallChannel(s, RegistryHive::LocalMachine, 0, u"/rt/130.0.2839.0"); }, true},
      {"fixed folder", [](FakeSystem& s) { loader_test::InstallFixedRuntime(s, nullptr); }, true},
      {"none", [](FakeSystem&) {}, false},
      {"installer in another folder", [](FakeSystem& s) { s.AddFile(u"MicrosoftEdgeWebView2RuntimeInstallerX64.exe"); }, false},
      {"too old", [](FakeSystem& s) { loader_test::InstallChannel(s, RegistryHive::LocalMachine, 0, u"/rt/86.0.615.99"); }, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatformScope platform;
    platform.system.SetExecutablePath(std::u16string(loader_test::kExecutable));
    c.install(platform.system);
    EXPECT_EQ(CheckRuntime(), c.found);
    const auto& boxes = platform.windowing.MessageBoxes();
    ASSERT_EQ(boxes.size(), c.found ? 0u : 1u);
    if (c.found) continue;
    EXPECT_EQ(std::tuple(boxes[0].owner, boxes[0].caption, boxes[0].type, boxes[0].text),
              std::tuple(HWND{}, u"", MB_OK | MB_ICONWARNING, LoadStringResource(IDS_RUNTIME_NOT_INSTALLED)));
  }
}

TEST(CheckRuntimeTest, WithTheInstallerAtHandTheNoticeAndTheSetupDialogDecideWhetherStartUpGoesOn) {
  const std::u16string installer(CRuntimeInstallDlg::kInstallerPath);
  const std::u16string notice(LoadStringResource(IDS_SETUP_NOTICE));
  const struct {
    const char* name;
    HRESULT start;       // what starting the installer gives
    bool dialogFails;    // the dialog cannot be made
    bool goesOn;
    std::vector<std::u16string> boxes;
  } cases[] = {
      {"installed", S_OK, false, true, {notice}},
      {"launch refused", static_cast<HRESULT>(0x80070005), false, false,
       {notice, u"ランタイムのセットアップに失敗しました : 0x80070005"}},
      {"no dialog", S_OK, true, false, {notice}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatformScope platform;
    platform.windowing.AllowBlocking(true);
    platform.system.SetExecutablePath(std::u16string(loader_test::kExecutable));
    platform.system.AddFile(installer);
    platform.system.AddProgram(installer, {c.start, nullptr});
    if (c.dialogFails) platform.windowing.FailDialogsCaptioned(std::u16string(LoadStringResource(IDS_SETUP_DIALOG_CAPTION)));
    // Going on although no runtime was installed shows that the runtime is
    // not asked for again after the dialog.
    EXPECT_EQ(CheckRuntime(), c.goesOn);
    std::vector<std::u16string> texts;
    for (const auto& box : platform.windowing.MessageBoxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, c.boxes);
    // The notice stands alone: no owner, no caption, the information icon.
    const auto& first = platform.windowing.MessageBoxes().at(0);
    EXPECT_EQ(std::tuple(first.owner, first.caption, first.type), std::tuple(HWND{}, u"", MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(platform.system.StartedProcesses().size(), c.dialogFails ? 0u : 1u);
  }
}

}  // namespace
