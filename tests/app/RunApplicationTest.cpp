// Start-up from settings to the exit code, on the fake platform in a
// temporary working directory.
#include "app/RunApplication.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "tests/app/AppTestSupport.h"
#include "tests/platform/FakePlatformScope.h"
#include "tests/util/ScopedWorkingDirectory.h"
#include "tests/util/TemporaryDirectory.h"
#include "window/AppModule.h"

namespace {

constexpr HRESULT kNoRuntime = S_FALSE;
constexpr int kShowCommand = 7;  // shown minimised and inactive

struct StartCase {
  const char* name;
  const char* settings;
  HRESULT runtime;       // what the runtime's environment creation answers, or kNoRuntime
  bool frameFails;       // the frame's window cannot be made
  int exitCode;          // 1 exactly when the frame existed and was closed
  std::u16string message;
  UINT type;
  std::u16string applicationId;
  InstanceClaim claim = InstanceClaim::First;  // what the claim on the application answers
};

class RunApplicationTest : public ::testing::TestWithParam<StartCase> {
 protected:
  // The working directory goes back before the folder is removed.
  TemporaryDirectory m_directory;
  ScopedWorkingDirectory m_workingDirectory{m_directory.Path()};
  FakePlatformScope platform;
  FakeWindowing& fake = platform.windowing;
  app_test::PendingCreation pending;
};

TEST_P(RunApplicationTest, EndsWithTheExitCodeOfItsPath) {
  const StartCase& c = GetParam();
  std::ofstream("settings.json") << c.settings;
  if (c.runtime != kNoRuntime) app_test::InstallRuntime(platform.system, &pending, c.runtime);
  if (c.frameFails) fake.FailNextCreate();
  platform.system.SetInstanceClaim(c.claim);
  platform.system.SetCurrentDirectory(u"/apps/demo");
  // The user closes the frame once the loop waits.
  fake.Script([this] {
    for (const auto& call : fake.CallsNamed("CreateTopLevel")) fake.PostMessage(call.hwnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(RunApplication(kShowCommand), c.exitCode);
  EXPECT_EQ(g_module.GetMessageLoop(), nullptr);  // every way out unregisters the loop
  std::vector<std::tuple<std::u16string, std::u16string, UINT>> boxes, expected;
  for (const auto& box : fake.MessageBoxes()) boxes.emplace_back(box.text, box.caption, box.type);
  if (!c.message.empty()) expected.emplace_back(c.message, u"", c.type);
  EXPECT_EQ(boxes, expected);
  // The application id is set even when no window follows (that it comes
  // before the frame's is followed in the GUI test "shell_gui_toolbar"); the
  // frame is shown with the command given.
  EXPECT_EQ(fake.GetApplicationId(), c.applicationId);
  // One process per application id and working folder.
  EXPECT_EQ(platform.system.ClaimedInstanceKey(), c.applicationId + u"\n/apps/demo");
  const auto created = fake.CallsNamed("CreateTopLevel");
  ASSERT_EQ(created.size(), c.exitCode == 1 && c.claim == InstanceClaim::First ? 1u : 0u);
  EXPECT_EQ(platform.system.InstanceWindow(), nullptr) << "the frame is gone, so later starts are not sent to it";
  if (created.empty()) return;
  bool shown = false;
  for (const auto& call : fake.CallsNamed("Show")) shown |= call.hwnd == created[0].hwnd && call.value == kShowCommand;
  EXPECT_EQ(shown, c.runtime == S_OK);
}

// A missing settings file is followed in the shell GUI test "nosettings",
// the application id of a browserID in the GUI test "shell_gui_toolbar".
const std::u16string kNotInstalled =
    u"WebView2ランタイムがインストールされていません。\nMicrosoftのサイトよりダウンロードしてインストールしてください。\n"
    u"/usr/share/doc/vellumview/README.md (Installing)";
const StartCase kPaths[] = {
    {"NoRuntime", R"({"browserID": "demo"})", kNoRuntime, false, 0, kNotInstalled, MB_OK | MB_ICONWARNING,
     u"QuillBrowser.demo"},
    {"FrameNotCreated", "{}", S_OK, true, 0, u"", 0, u"QuillBrowser."},
    {"ViewFailureClosesTheFrame", R"({"browserID": ""})", E_FAIL, false, 1,
     u"ブラウザの初期化に失敗しました : 0x80004005", MB_OK | MB_ICONERROR, u"QuillBrowser."},
    {"NormalClose", R"({"title": "Demo", "browserID": "a b/c"})", S_OK, false, 1, u"", 0, u"QuillBrowser.a b/c"},
    // A later start: neither the runtime's check nor a window nor a message.
    {"HandedOverToTheRunningInstance", R"({"browserID": "demo"})", kNoRuntime, false, 0, u"", 0, u"QuillBrowser.demo",
     InstanceClaim::HandedOver},
    {"RunningInstanceDoesNotAnswer", R"({"browserID": "demo"})", kNoRuntime, false, 1, u"", 0, u"QuillBrowser.demo",
     InstanceClaim::NoAnswer},
};
INSTANTIATE_TEST_SUITE_P(Paths, RunApplicationTest, ::testing::ValuesIn(kPaths),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
