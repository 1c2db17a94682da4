#include <gtest/gtest.h>

#include <ostream>

#include "com/CoTaskMem.h"
#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/LoaderTestSupport.h"
#include "loader/RuntimeLoader.h"
#include "platform/Platform.h"

namespace {

using loader_test::AddRuntimeFiles;
using loader_test::InstallChannel;

constexpr RegistryHive kMachine = RegistryHive::LocalMachine;
constexpr const char* kNotFoundLine =
    "WebView2: Failed to find an installed WebView2 runtime or non-stable Microsoft Edge installation.\n";

class VersionQueryTest : public ::testing::Test {
 protected:
  VersionQueryTest() { m_system.SetExecutablePath(std::u16string(loader_test::kExecutable)); }

  HRESULT Query(const char16_t* folder = nullptr, ICoreWebView2EnvironmentOptions* options = nullptr) {
    LPWSTR text = reinterpret_cast<LPWSTR>(1);
    const HRESULT hr = GetAvailableRuntimeVersionStringWithSystem(m_system, folder, options, &text);
    if (FAILED(hr)) {
      EXPECT_EQ(text, nullptr);
    }
    m_version = CoTaskMemString(SUCCEEDED(hr) ? text : nullptr);
    return hr;
  }

  FakeSystem m_system;
  CoTaskMemString m_version;
};

TEST_F(VersionQueryTest, NullOutputChangesNothing) {
  EXPECT_EQ(GetAvailableRuntimeVersionStringWithSystem(m_system, nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(GetAvailableRuntimeVersionString(nullptr, nullptr), E_POINTER);
  EXPECT_TRUE(m_system.RegistryReads().empty());
}

TEST_F(VersionQueryTest, NoRuntimeFailsAfterTwoSearches) {
  EXPECT_EQ(Query(), HResultFromWin32(2));
  EXPECT_EQ(m_system.DebugLines(), (std::vector<std::string>{kNotFoundLine, kNotFoundLine}));
}

struct ChannelCase {
  std::size_t channel;
  std::u16string_view expected;
  friend void PrintTo(const ChannelCase&, std::ostream* os) { *os << "ChannelCase"; }
};

class VersionTextTest : public VersionQueryTest, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(VersionTextTest, NamesTheChannelUnlessStable) {
  InstallChannel(m_system, kMachine, GetParam().channel, u"/rt/130.0.2839.0");
  ASSERT_EQ(Query(), S_OK);
  EXPECT_EQ(View(m_version), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Channels, VersionTextTest,
                         ::testing::Values(ChannelCase{0, u"130.0.2839.0"}, ChannelCase{1, u"130.0.2839.0 beta"},
                                           ChannelCase{2, u"130.0.2839.0 dev"},
                                           ChannelCase{3, u"130.0.2839.0 canary"},
                                           ChannelCase{4, u"130.0.2839.0 internal"}));

TEST_F(VersionQueryTest, FixedFolderReadsTheLibrarysVersion) {
  AddRuntimeFiles(m_system, u"/opt/fixed", u"131.0.1.2");
  InstallChannel(m_system, kMachine, 1, u"/rt/130.0.2839.0");
  ASSERT_EQ(Query(u"/opt/fixed"), S_OK);
  EXPECT_EQ(View(m_version), u"131.0.1.2");
}

TEST_F(VersionQueryTest, FixedFolderWithoutVersionFails) {
  FakeSystem::File file;
  m_system.AddFile(loader_test::LibraryPath(u"/opt/fixed"), file);
  EXPECT_EQ(Query(u"/opt/fixed"), HResultFromWin32(kErrorResourceTypeNotFound));
}

TEST_F(VersionQueryTest, OneFailedAttemptIsRetried) {
  FakeSystem::File file;
  file.version = u"131.0.0.0";
  file.versionReadFailures = 1;
  m_system.AddFile(loader_test::LibraryPath(u"/opt/fixed"), file);
  ASSERT_EQ(Query(u"/opt/fixed"), S_OK);
  EXPECT_EQ(View(m_version), u"131.0.0.0");

  file.versionReadFailures = 2;
  file.versionFailure = HResultFromWin32(13);
  m_system.AddFile(loader_test::LibraryPath(u"/opt/other"), file);
  EXPECT_EQ(Query(u"/opt/other"), HResultFromWin32(13));
}

TEST_F(VersionQueryTest, EnvironmentFolderWinsAndEmptyOneSearchesChannels) {
  AddRuntimeFiles(m_system, u"/env", u"140.0.0.0");
  AddRuntimeFiles(m_system, u"/arg", u"141.0.0.0");
  InstallChannel(m_system, kMachine, 2, u"/rt/130.0.2839.0");
  m_system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"/env");
  ASSERT_EQ(Query(u"/arg"), S_OK);
  EXPECT_EQ(View(m_version), u"140.0.0.0");
  m_system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"");
  ASSERT_EQ(Query(u"/arg"), S_OK);
  EXPECT_EQ(View(m_version), u"130.0.2839.0 dev");
}

TEST_F(VersionQueryTest, OptionsChannelsSteerTheSearch) {
  InstallChannel(m_system, kMachine, 0, u"/stable/130.0.0.0");
  InstallChannel(m_system, kMachine, 3, u"/canary/132.0.0.0");
  auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
  options->put_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND_LEAST_STABLE);
  ASSERT_EQ(Query(nullptr, options.Get()), S_OK);
  EXPECT_EQ(View(m_version), u"132.0.0.0 canary");
  options->put_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS_STABLE);
  ASSERT_EQ(Query(nullptr, options.Get()), S_OK);
  EXPECT_EQ(View(m_version), u"130.0.0.0");
  // The environment wins over the options object.
  m_system.SetEnvironmentVariable(u"WEBVIEW2_RELEASE_CHANNELS", u"3");
  ASSERT_EQ(Query(nullptr, options.Get()), S_OK);
  EXPECT_EQ(View(m_version), u"132.0.0.0 canary");
  EXPECT_EQ(options->RefCount(), 1u);
}

TEST_F(VersionQueryTest, PublicEntryUsesTheInstalledSystem) {
  InstallChannel(m_system, kMachine, 1, u"/rt/130.0.2839.0");
  Platform::Install(nullptr, &m_system);
  LPWSTR text = nullptr;
  const HRESULT hr = GetAvailableRuntimeVersionString(nullptr, &text);
  Platform::Install(nullptr, nullptr);
  CoTaskMemString owner(text);
  ASSERT_EQ(hr, S_OK);
  EXPECT_EQ(View(owner), u"130.0.2839.0 beta");
}

}  // namespace
