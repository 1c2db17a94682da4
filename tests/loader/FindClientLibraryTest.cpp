// The search for a runtime's client library, and the version query that
// reports what it finds.
#include "loader/FindClientLibrary.h"

#include <gtest/gtest.h>

#include "com/CoTaskMem.h"
#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/LoaderTestSupport.h"
#include "loader/RuntimeLoader.h"
#include "util/Strings.h"

// Requests name only the fields a case sets; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using loader_test::AddRuntimeFiles;
using loader_test::InstallChannel;
using loader_test::LibraryPath;

constexpr RegistryHive kMachine = RegistryHive::LocalMachine;
constexpr RegistryHive kUser = RegistryHive::CurrentUser;
const HRESULT kNotFound = HResultFromWin32(2);
const std::string kNotFoundLine =
    "WebView2: Failed to find an installed WebView2 runtime or non-stable Microsoft Edge installation.\n";

class FindClientLibraryTest : public ::testing::Test {
 protected:
  FindClientLibraryTest() { m_system.SetExecutablePath(std::u16string(loader_test::kExecutable)); }

  HRESULT Find(const LoaderRequest& request = {}) { return FindClientLibrary(m_system, request, &m_found); }
  HRESULT FindFixed(std::u16string folder) { return Find({.browserExecutableFolder = std::move(folder)}); }
  // The version query's result and text; a failure must leave null.
  using Answer = std::pair<HRESULT, std::u16string>;
  Answer Query(const char16_t* folder = nullptr, ICoreWebView2EnvironmentOptions* options = nullptr) {
    LPWSTR text = reinterpret_cast<LPWSTR>(1);
    const HRESULT hr = GetAvailableRuntimeVersionStringWithSystem(m_system, folder, options, &text);
    EXPECT_TRUE(SUCCEEDED(hr) || text == nullptr);
    return {hr, SUCCEEDED(hr) ? std::u16string(View(CoTaskMemString(text))) : u""};
  }
  const std::vector<std::string>& Lines() const { return m_system.DebugLines(); }

  FakeSystem m_system;
  ClientLibrary m_found;
};

TEST_F(FindClientLibraryTest, TriesChannelsInOrderAndByMask) {
  struct Case { std::uint32_t searchKind; bool masked; std::uint32_t mask; std::vector<std::size_t> order; };
  const Case cases[] = {
      {0, false, 0, {0, 1, 2, 3, 4}}, {1, false, 0, {4, 3, 2, 1, 0}}, {0, false, 0b00110, {0, 1, 2, 3, 4}},
      {0, true, 0b00110, {1, 2}}, {1, true, 0b00110, {2, 1}}, {0, true, 0b00001, {0}}, {0, true, 0, {}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    FakeSystem system;
    const LoaderRequest request{
        .channelSearchKind = cases[i].searchKind, .releaseChannelsSet = cases[i].masked, .releaseChannels = cases[i].mask};
    EXPECT_EQ(FindClientLibrary(system, request, &m_found), kNotFound);
    std::vector<std::size_t> order;  // the channels read in the machine hive, in order
    for (const auto& read : system.RegistryReads())
      for (std::size_t c = 0; c < kReleaseChannels.size(); ++c)
        if (read.hive == kMachine && read.key == loader_test::ChannelKey(c)) order.push_back(c);
    EXPECT_EQ(order, cases[i].order);
    EXPECT_EQ(system.DebugLines(), std::vector<std::string>{kNotFoundLine});
  }
}

TEST_F(FindClientLibraryTest, FirstUsableChannelWinsMachineBeforeUserIn32BitView) {
  InstallChannel(m_system, kMachine, 0, u"/stable/130.0.0.0", false);  // no library: skipped silently
  InstallChannel(m_system, kMachine, 1, u"/beta/130.0.0.0", true, false);  // a library that does not open: reported
  InstallChannel(m_system, kMachine, 3, u"/opt/canary/131.0.1.0");
  InstallChannel(m_system, kUser, 2, u"/user/dev/130.0.0.1");
  const std::u16string dev = InstallChannel(m_system, kMachine, 2, u"/machine/dev/130.0.0.2");
  ASSERT_EQ(Find(), S_OK);
  EXPECT_EQ(std::tie(m_found.path, m_found.version, m_found.channelName), std::tuple(dev, u"130.0.0.2", u"dev"));
  EXPECT_EQ(Lines(), std::vector<std::string>{"WebView2: skipped inaccessible " +
                                              WideToUtf8(LibraryPath(u"/beta/130.0.0.0")) + "\n"});
  ASSERT_EQ(Find({.channelSearchKind = 1}), S_OK);
  EXPECT_EQ(std::tie(m_found.path, m_found.channelName), std::tuple(LibraryPath(u"/opt/canary/131.0.1.0"), u"canary"));
  for (const auto& read : m_system.RegistryReads()) EXPECT_EQ(read.view, RegistryView::Bits32);
}

// A registered folder names its runtime's version in its last component,
// from the minimum version on; anything else leaves the channel unfound.
TEST_F(FindClientLibraryTest, RegisteredFolderNamesAVersionFromTheMinimum) {
  const std::string skipped = "WebView2: skipped an incompatible version /rt/86.0.615.99\n";
  const std::pair<std::u16string, std::vector<std::string>> cases[] = {
      {u"/rt/86.0.616.0", {}}, {u"/rt/86.0.615.99", {skipped, kNotFoundLine}}, {u"/rt/EBWebView", {kNotFoundLine}},
      {u"130.0.0.0", {kNotFoundLine}}, {u"", {kNotFoundLine}}, {u"/rt/130.0.0.0/", {kNotFoundLine}},
      {u"/" + std::u16string(250, u'x') + u"/130.0.0.0", {kNotFoundLine}}};
  for (const auto& [value, lines] : cases) {
    SCOPED_TRACE(WideToUtf8(value));
    FakeSystem system;
    InstallChannel(system, kMachine, 0, value, false);
    AddRuntimeFiles(system, u"/rt/130.0.0.0");
    AddRuntimeFiles(system, value);
    EXPECT_EQ(FindClientLibrary(system, LoaderRequest{}, &m_found), lines.empty() ? S_OK : kNotFound);
    EXPECT_EQ(system.DebugLines(), lines);
  }
  // A number is no folder.
  m_system.SetRegistryDword(kMachine, RegistryView::Bits32, loader_test::ChannelKey(0), u"EBWebView", 130u);
  EXPECT_EQ(Find(), kNotFound);
}

TEST_F(FindClientLibraryTest, FixedFoldersAreAbsoluteOrBelowTheExecutable) {
  InstallChannel(m_system, kMachine, 0, u"/stable/130.0.0.0");
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"/opt/fixed", u"/opt/fixed"}, {u"rt", u"/opt/app/bin/rt"}, {u"../rt/130", u"/opt/app/bin/../rt/130"},
      {u"C:rt", u"/opt/app/bin/C:rt"}, {u"\\rt", u"/opt/app/bin/\\rt"},
      // No version test for a fixed folder.
      {u"/old/80.0.0.0", u"/old/80.0.0.0"}};
  for (const auto& [folder, runtimeFolder] : cases) {
    SCOPED_TRACE(WideToUtf8(folder));
    const std::u16string library = AddRuntimeFiles(m_system, runtimeFolder, u"80.0.0.0");
    ASSERT_EQ(FindFixed(folder), S_OK);
    EXPECT_EQ(std::tie(m_found.path, m_found.channelName), std::tuple(library, u""));
  }
  for (const auto& read : m_system.RegistryReads()) EXPECT_NE(read.key, loader_test::ChannelKey(0));
}

TEST_F(FindClientLibraryTest, FixedFolderFailuresAreLogged) {
  EXPECT_EQ(FindFixed(u"rt"), kNotFound);
  const std::string library = WideToUtf8(AddRuntimeFiles(m_system, u"/fixed", u"130.0.0.0", false));
  EXPECT_EQ(FindFixed(u"/fixed"), kNotFound);
  const std::string missing = "WebView2: Failed to find the WebView2 client dll at: ";
  EXPECT_EQ(Lines(), (std::vector<std::string>{missing + WideToUtf8(LibraryPath(u"/opt/app/bin/rt")) + "\n",
                                               "WebView2: skipped inaccessible " + library + "\n", missing + library + "\n"}));
  m_system.SetExecutablePath(std::nullopt, HResultFromWin32(5));
  EXPECT_EQ(FindFixed(u"rt"), HResultFromWin32(5));
  EXPECT_EQ(Lines().back(), "WebView2: Failed to find the app exe path.\n");
  m_system.SetExecutablePath(u"vellumview");
  EXPECT_EQ(FindFixed(u"rt"), E_FAIL);
}

TEST_F(FindClientLibraryTest, VersionQueryNamesTheChannelUnlessStableAndSearchesTwice) {
  EXPECT_EQ(GetAvailableRuntimeVersionString(nullptr, nullptr), E_POINTER);
  EXPECT_EQ(GetAvailableRuntimeVersionStringWithSystem(m_system, nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(Query(), Answer(kNotFound, u""));
  EXPECT_EQ(Lines(), (std::vector<std::string>{kNotFoundLine, kNotFoundLine}));
  InstallChannel(m_system, kMachine, 4, u"/internal/130.0.2839.0");
  EXPECT_EQ(Query(), Answer(S_OK, u"130.0.2839.0 internal"));
  InstallChannel(m_system, kUser, 0, u"/stable/131.0.0.0");
  EXPECT_EQ(Query(), Answer(S_OK, u"131.0.0.0"));
  // The options object steers the search.
  auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
  options->put_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND_LEAST_STABLE);
  EXPECT_EQ(Query(nullptr, options.Get()), Answer(S_OK, u"130.0.2839.0 internal"));
  EXPECT_EQ(options->RefCount(), 1u);
}

TEST_F(FindClientLibraryTest, VersionQueryReadsAFixedLibraryAndRetriesOnce) {
  AddRuntimeFiles(m_system, u"/opt/fixed", u"131.0.1.2");
  InstallChannel(m_system, kMachine, 2, u"/rt/130.0.2839.0");
  m_system.AddFile(LibraryPath(u"/opt/none"), FakeSystem::File{});
  FakeSystem::File flaky{.version = u"131.0.0.0", .versionReadFailures = 1, .versionFailure = HResultFromWin32(13)};
  m_system.AddFile(LibraryPath(u"/opt/flaky"), flaky);
  flaky.versionReadFailures = 2;
  m_system.AddFile(LibraryPath(u"/opt/broken"), flaky);
  EXPECT_EQ(Query(u"/opt/fixed"), Answer(S_OK, u"131.0.1.2"));
  EXPECT_EQ(Query(u"/opt/none"), Answer(HResultFromWin32(kErrorResourceTypeNotFound), u""));
  EXPECT_EQ(Query(u"/opt/flaky"), Answer(S_OK, u"131.0.0.0"));
  EXPECT_EQ(Query(u"/opt/broken"), Answer(HResultFromWin32(13), u""));
  // The environment's folder wins; a defined but empty one searches the channels.
  m_system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"/opt/fixed");
  EXPECT_EQ(Query(u"/opt/none"), Answer(S_OK, u"131.0.1.2"));
  m_system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"");
  EXPECT_EQ(Query(u"/opt/none"), Answer(S_OK, u"130.0.2839.0 dev"));
}

}  // namespace
