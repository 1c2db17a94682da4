// The search for a runtime's client library, and the version query that
// reports what it finds.
#include "loader/FindClientLibrary.h"

#include <gtest/gtest.h>

#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/RuntimeLoader.h"
#include "tests/loader/LoaderTestSupport.h"
#include "util/Strings.h"

// Requests name only the fields a case sets; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using loader_test::AddRuntimeFiles;
using loader_test::InstallChannel;
using loader_test::LibraryPath;
using loader_test::QueryVersion;
using Answer = std::pair<HRESULT, std::u16string>;

constexpr RegistryHive kMachine = RegistryHive::LocalMachine;
constexpr RegistryHive kUser = RegistryHive::CurrentUser;
const HRESULT kNotFound = HResultFromWin32(2);
const std::string kNotFoundLine =
    "WebView2: Failed to find an installed WebView2 runtime or non-stable Microsoft Edge installation.\n";

class FindClientLibraryTest : public ::testing::Test {
 protected:
  FindClientLibraryTest() { m_system.SetExecutablePath(std::u16string(loader_test::kExecutable)); }

  HRESULT FindFixed(std::u16string folder) { return FindClientLibrary(m_system, {.browserExecutableFolder = folder}, &m_found); }

  FakeSystem m_system;
  ClientLibrary m_found;
};

// The first usable channel wins, in the order and among the channels asked
// for, the machine's registration before the user's, read in the 32-bit
// view. The query names the channel unless it is stable, and searches once
// more before it fails.
TEST_F(FindClientLibraryTest, FirstUsableChannelWinsAndTheQueryNamesIt) {
  EXPECT_EQ(GetAvailableRuntimeVersionString(nullptr, nullptr), E_POINTER);
  EXPECT_EQ(QueryVersion(m_system), Answer(kNotFound, u"(null)"));
  InstallChannel(m_system, kMachine, 0, u"/stable/130.0.0.0", false);  // no library: skipped silently
  const std::u16string beta = InstallChannel(m_system, kMachine, 1, u"/beta/130.0.0.0", true, false);  // reported
  InstallChannel(m_system, kMachine, 3, u"/opt/canary/131.0.1.0");
  InstallChannel(m_system, kUser, 2, u"/user/dev/130.0.0.1");
  InstallChannel(m_system, kMachine, 2, u"/machine/dev/130.0.0.2");
  EXPECT_EQ(QueryVersion(m_system), Answer(S_OK, u"130.0.0.2 dev"));
  EXPECT_EQ(m_system.DebugLines(), (std::vector<std::string>{kNotFoundLine, kNotFoundLine,
                                                             "WebView2: skipped inaccessible " + WideToUtf8(beta) + "\n"}));
  // The options object steers the search.
  auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
  options->put_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND_LEAST_STABLE);
  EXPECT_EQ(QueryVersion(m_system, nullptr, options.Get()), Answer(S_OK, u"131.0.1.0 canary"));
  m_system.SetEnvironmentVariable(u"WEBVIEW2_RELEASE_CHANNELS", u"2,3");
  EXPECT_EQ(QueryVersion(m_system, nullptr, options.Get()), Answer(S_OK, u"131.0.1.0 canary"));
  m_system.SetEnvironmentVariable(u"WEBVIEW2_RELEASE_CHANNELS", u"3");
  EXPECT_EQ(QueryVersion(m_system), Answer(S_OK, u"131.0.1.0 canary"));
  m_system.SetEnvironmentVariable(u"WEBVIEW2_RELEASE_CHANNELS", u",");
  EXPECT_EQ(QueryVersion(m_system), Answer(kNotFound, u"(null)"));
  m_system.SetEnvironmentVariable(u"WEBVIEW2_RELEASE_CHANNELS", u"0");
  InstallChannel(m_system, kUser, 0, u"/stable/131.0.0.0");
  EXPECT_EQ(QueryVersion(m_system), Answer(S_OK, u"131.0.0.0"));
  for (const auto& read : m_system.RegistryReads())
    EXPECT_TRUE(!read.key.starts_with(kChannelKeyPrefix) || read.view == RegistryView::Bits32);
}

// A registered folder names its runtime's version in its last component,
// from the minimum version on; anything else leaves the channel unfound.
TEST_F(FindClientLibraryTest, RegisteredFolderNamesAVersionFromTheMinimum) {
  const std::string skipped = "WebView2: skipped an incompatible version /rt/86.0.615.99\n";
  const std::pair<std::u16string, std::vector<std::string>> cases[] = {
      {u"/rt/86.0.616.0", {}}, {u"/rt/86.0.615.99", {skipped, kNotFoundLine}}, {u"/rt/EBWebView", {kNotFoundLine}},
      {u"130.0.0.0", {kNotFoundLine}}, {u"/" + std::u16string(250, u'x') + u"/130.0.0.0", {kNotFoundLine}}};
  for (const auto& [value, lines] : cases) {
    SCOPED_TRACE(WideToUtf8(value));
    FakeSystem system;
    InstallChannel(system, kMachine, 0, value);
    EXPECT_EQ(FindClientLibrary(system, LoaderRequest{}, &m_found), lines.empty() ? S_OK : kNotFound);
    EXPECT_EQ(system.DebugLines(), lines);
  }
}

// A fixed folder is taken without a version test, absolute or below the
// executable's folder; one without a usable library is logged.
TEST_F(FindClientLibraryTest, FixedFoldersAreAbsoluteOrBelowTheExecutable) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"/old/80.0.0.0", u"/old/80.0.0.0"}, {u"rt", u"/opt/app/bin/rt"}, {u"\\rt", u"/opt/app/bin/\\rt"}};
  for (const auto& [folder, runtimeFolder] : cases) {
    const std::u16string library = AddRuntimeFiles(m_system, runtimeFolder, u"80.0.0.0");
    ASSERT_EQ(FindFixed(folder), S_OK) << WideToUtf8(folder);
    EXPECT_EQ(m_found.path, library);
  }
  const std::string library = WideToUtf8(AddRuntimeFiles(m_system, u"/fixed", u"130.0.0.0", false));
  EXPECT_EQ(FindFixed(u"/fixed"), kNotFound);
  EXPECT_EQ(m_system.DebugLines(), (std::vector<std::string>{"WebView2: skipped inaccessible " + library + "\n",
                                                             "WebView2: Failed to find the WebView2 client dll at: " + library + "\n"}));
  m_system.SetExecutablePath(std::nullopt, HResultFromWin32(5));
  EXPECT_EQ(FindFixed(u"rt"), HResultFromWin32(5));
  EXPECT_EQ(m_system.DebugLines().back(), "WebView2: Failed to find the app exe path.\n");
}

TEST_F(FindClientLibraryTest, VersionQueryReadsAFixedLibraryAndRetriesOnce) {
  InstallChannel(m_system, kMachine, 2, u"/rt/130.0.2839.0");
  m_system.AddFile(LibraryPath(u"/opt/none"), FakeSystem::File{});
  FakeSystem::File flaky{.version = u"131.0.0.0", .versionReadFailures = 1, .versionFailure = HResultFromWin32(13)};
  m_system.AddFile(LibraryPath(u"/opt/flaky"), flaky);
  flaky.versionReadFailures = 2;
  m_system.AddFile(LibraryPath(u"/opt/broken"), flaky);
  EXPECT_EQ(QueryVersion(m_system, u"/opt/none"), Answer(HResultFromWin32(kErrorResourceTypeNotFound), u"(null)"));
  EXPECT_EQ(QueryVersion(m_system, u"/opt/flaky"), Answer(S_OK, u"131.0.0.0"));
  EXPECT_EQ(QueryVersion(m_system, u"/opt/broken"), Answer(HResultFromWin32(13), u"(null)"));
  // A defined but empty folder variable searches the channels.
  m_system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"");
  EXPECT_EQ(QueryVersion(m_system, u"/opt/none"), Answer(S_OK, u"130.0.2839.0 dev"));
}

}  // namespace
