// Start-up from settings to the exit code, on the fake platform in a
// temporary working directory.
#include "app/RunApplication.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/AppModule.h"
#include "app/AppTestSupport.h"
#include "platform/FakePlatformScope.h"

namespace {

class RunApplicationTest : public ::testing::Test {
 protected:
  RunApplicationTest() { platform.system.SetExecutablePath(u"/opt/app/bin/vellumview"); }

  // The position of the first recorded call with this name, or -1.
  int FirstCall(std::string_view name) const {
    const auto& calls = platform.windowing.Calls();
    for (size_t i = 0; i < calls.size(); ++i)
      if (calls[i].name == name) return static_cast<int>(i);
    return -1;
  }

  // Closes the frame the way the user does, once the loop waits.
  void CloseFrameWhenIdle() {
    platform.windowing.Script([this] {
      for (const auto& call : platform.windowing.CallsNamed("CreateTopLevel"))
        if (platform.windowing.Exists(call.hwnd)) platform.windowing.PostMessage(call.hwnd, WM_CLOSE, 0, 0);
    });
  }

  app_test::TemporaryWorkingDirectory directory;
  FakePlatformScope platform;
  ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> pending;
};

struct SettingsFailureCase {
  const char* name;
  bool writeFile;
  std::string content;
  std::u16string message;
};

class SettingsFailureTest : public RunApplicationTest, public ::testing::WithParamInterface<SettingsFailureCase> {};

TEST_P(SettingsFailureTest, ShowsTheCodeAndEndsWithZeroBeforeAnyWindow) {
  if (GetParam().writeFile) directory.Write("settings.json", GetParam().content);
  app_test::InstallRuntime(platform.system, &pending);
  EXPECT_EQ(RunApplication(SW_SHOWDEFAULT), 0);
  ASSERT_EQ(platform.windowing.MessageBoxes().size(), 1u);
  const auto& box = platform.windowing.MessageBoxes()[0];
  EXPECT_EQ(box.text, GetParam().message);
  EXPECT_EQ(box.caption, u"");
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.type, MB_OK | MB_ICONERROR);
  // The same words reach the error stream for whoever started the program.
  EXPECT_EQ(platform.windowing.ErrorLines(),
            (std::vector<std::string>{WindowingCore::MessageBoxLogLine(GetParam().message)}));
  EXPECT_EQ(FirstCall("CreateTopLevel"), -1);
  EXPECT_EQ(FirstCall("SetApplicationId"), -1);
  EXPECT_EQ(g_module.GetMessageLoop(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFailureTest,
    ::testing::Values(SettingsFailureCase{"Missing", false, "", u"設定ファイルを読み込めません : 0x80070002"},
                      SettingsFailureCase{"NotJson", true, "{ title: ", u"設定ファイルを読み込めません : 0x80004005"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunApplicationTest, WithoutARuntimeOnlyTheWarningIsShownAndTheExitCodeIsZero) {
  directory.Write("settings.json", R"({"browserID": "demo"})");
  EXPECT_EQ(RunApplication(SW_SHOWDEFAULT), 0);
  ASSERT_EQ(platform.windowing.MessageBoxes().size(), 1u);
  EXPECT_EQ(platform.windowing.MessageBoxes()[0].type, MB_OK | MB_ICONWARNING);
  EXPECT_EQ(FirstCall("CreateTopLevel"), -1);
  EXPECT_EQ(g_module.GetMessageLoop(), nullptr);
}

struct IdentityCase {
  const char* name;
  std::string settings;
  std::u16string id;
};

class ApplicationIdTest : public RunApplicationTest, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(ApplicationIdTest, IsSetBeforeAnyWindowExists) {
  directory.Write("settings.json", GetParam().settings);
  app_test::InstallRuntime(platform.system, &pending);
  CloseFrameWhenIdle();
  EXPECT_EQ(RunApplication(SW_SHOWDEFAULT), 1);
  EXPECT_EQ(platform.windowing.GetApplicationId(), GetParam().id);
  ASSERT_NE(FirstCall("SetApplicationId"), -1);
  EXPECT_LT(FirstCall("SetApplicationId"), FirstCall("CreateTopLevel"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplicationIdTest,
    ::testing::Values(IdentityCase{"Named", R"({"browserID": "demo"})", u"QuillBrowser.demo"},
                      IdentityCase{"EmptyKeepsTheDot", R"({"browserID": ""})", u"QuillBrowser."},
                      IdentityCase{"AbsentKeepsTheDot", R"({})", u"QuillBrowser."},
                      IdentityCase{"TakenAsItStands", R"({"browserID": "a b/c"})", u"QuillBrowser.a b/c"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunApplicationTest, ANormalRunShowsTheFrameAndEndsWithOneAfterClose) {
  directory.Write("settings.json", R"({"title": "Demo", "startPage": "index.html"})");
  app_test::InstallRuntime(platform.system, &pending);
  CloseFrameWhenIdle();
  EXPECT_EQ(RunApplication(7), 1);
  EXPECT_EQ(platform.windowing.DpiCalls(), 1);
  EXPECT_LT(FirstCall("SetProcessDpiAware"), FirstCall("CreateTopLevel"));
  // The frame was the first window and was shown with the given command.
  const auto created = platform.windowing.CallsNamed("CreateTopLevel");
  ASSERT_EQ(created.size(), 1u);
  const HWND frame = created[0].hwnd;
  bool shownWithCommand = false;
  for (const auto& call : platform.windowing.CallsNamed("Show"))
    shownWithCommand |= call.hwnd == frame && call.value == 7;
  EXPECT_TRUE(shownWithCommand);
  EXPECT_TRUE(platform.windowing.MessageBoxes().empty());
  EXPECT_FALSE(platform.windowing.Exists(frame));
  EXPECT_FALSE(platform.windowing.Starved());
  EXPECT_EQ(g_module.GetMessageLoop(), nullptr);
}

TEST_F(RunApplicationTest, AViewFailureClosesTheFrameAndStillEndsWithOne) {
  directory.Write("settings.json", R"({"startPage": "index.html"})");
  app_test::InstallRuntime(platform.system, &pending, E_FAIL);
  const int exitCode = RunApplication(SW_SHOWDEFAULT);
  // The frame existed: whether the view reported while the frame was still
  // being created or later, the exit code is the one of a closed frame.
  ASSERT_NE(FirstCall("CreateTopLevel"), -1);
  EXPECT_EQ(exitCode, 1);
  EXPECT_FALSE(platform.windowing.MessageBoxes().empty());
  EXPECT_FALSE(platform.windowing.Starved());
}

TEST_F(RunApplicationTest, AFrameThatCannotBeCreatedEndsWithZeroAndNoMessage) {
  directory.Write("settings.json", R"({})");
  app_test::InstallRuntime(platform.system, &pending);
  platform.windowing.FailNextCreate();
  EXPECT_EQ(RunApplication(SW_SHOWDEFAULT), 0);
  EXPECT_TRUE(platform.windowing.MessageBoxes().empty());
  EXPECT_EQ(g_module.GetMessageLoop(), nullptr);
}

}  // namespace
