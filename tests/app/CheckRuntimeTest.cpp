#include "app/CheckRuntime.h"

#include <gtest/gtest.h>

#include "loader/LoaderTestSupport.h"
#include "platform/Platform.h"
#include "platform/WindowMessages.h"
#include "platform/fake/FakeWindowing.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {

class CheckRuntimeTest : public ::testing::Test {
 protected:
  CheckRuntimeTest() {
    m_system.SetExecutablePath(std::u16string(loader_test::kExecutable));
    Platform::Install(&m_windowing, &m_system);
  }
  ~CheckRuntimeTest() override { Platform::Install(nullptr, nullptr); }

  FakeSystem m_system;
  FakeWindowing m_windowing;
};

TEST_F(CheckRuntimeTest, InstalledRuntimeGoesOnWithoutAMessage) {
  loader_test::InstallChannel(m_system, RegistryHive::LocalMachine, 0, u"/rt/130.0.2839.0");
  EXPECT_TRUE(CheckRuntime());
  EXPECT_TRUE(m_windowing.MessageBoxes().empty());
}

TEST_F(CheckRuntimeTest, FixedFolderFromTheEnvironmentCounts) {
  loader_test::AddRuntimeFiles(m_system, u"/opt/fixed");
  m_system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"/opt/fixed");
  EXPECT_TRUE(CheckRuntime());
  EXPECT_TRUE(m_windowing.MessageBoxes().empty());
}

// Without a runtime the warning is shown whether or not the installer is
// there: the first-run setup is not part of the program yet.
class MissingRuntimeTest : public CheckRuntimeTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MissingRuntimeTest, ShowsTheWarningAndEnds) {
  if (GetParam()) m_system.AddFile(u"runtime/MicrosoftEdgeWebView2RuntimeInstallerX64.exe");
  EXPECT_FALSE(CheckRuntime());
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  const auto& box = m_windowing.MessageBoxes()[0];
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.caption, u"");
  EXPECT_EQ(box.type, MB_OK | MB_ICONWARNING);
  EXPECT_EQ(box.text, LoadStringResource(IDS_RUNTIME_NOT_INSTALLED));
  EXPECT_FALSE(box.text.empty());
}

INSTANTIATE_TEST_SUITE_P(InstallerPresent, MissingRuntimeTest, ::testing::Bool());

TEST_F(CheckRuntimeTest, OldRuntimeCountsAsMissing) {
  loader_test::InstallChannel(m_system, RegistryHive::LocalMachine, 0, u"/rt/86.0.615.99");
  EXPECT_FALSE(CheckRuntime());
  EXPECT_EQ(m_windowing.MessageBoxes().size(), 1u);
}

}  // namespace
