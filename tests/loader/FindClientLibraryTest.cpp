#include "loader/FindClientLibrary.h"

#include <gtest/gtest.h>

#include <ostream>

#include "loader/LoaderTestSupport.h"
#include "util/Strings.h"

namespace {

using loader_test::AddRuntimeFiles;
using loader_test::ChannelKey;
using loader_test::InstallChannel;
using loader_test::LibraryPath;
using loader_test::RegisterChannel;

constexpr RegistryHive kMachine = RegistryHive::LocalMachine;
constexpr RegistryHive kUser = RegistryHive::CurrentUser;
constexpr const char* kNotFoundLine =
    "WebView2: Failed to find an installed WebView2 runtime or non-stable Microsoft Edge installation.\n";

class FindClientLibraryTest : public ::testing::Test {
 protected:
  FindClientLibraryTest() { m_system.SetExecutablePath(std::u16string(loader_test::kExecutable)); }

  HRESULT Find(const LoaderRequest& request) { return FindClientLibrary(m_system, request, &m_found); }

  // The channels whose registration the search read, in order (machine hive).
  std::vector<std::size_t> ChannelsProbed() const {
    std::vector<std::size_t> order;
    for (const auto& read : m_system.RegistryReads()) {
      if (read.hive != kMachine) continue;
      for (std::size_t c = 0; c < kReleaseChannels.size(); ++c)
        if (read.key == ChannelKey(c)) order.push_back(c);
    }
    return order;
  }

  FakeSystem m_system;
  ClientLibrary m_found;
};

TEST_F(FindClientLibraryTest, ClientLibraryPathUsesTheProgramsArchitecture) {
#if defined(__x86_64__)
  EXPECT_EQ(kClientLibraryRelativePath, u"EBWebView/x64/libEmbeddedBrowserWebView.so");
#elif defined(__aarch64__)
  EXPECT_EQ(kClientLibraryRelativePath, u"EBWebView/arm64/libEmbeddedBrowserWebView.so");
#endif
}

struct OrderCase {
  const char* label;
  std::uint32_t searchKind;
  bool masked;
  std::uint32_t mask;
  std::vector<std::size_t> order;
  friend void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.label; }
};

class ChannelOrderTest : public FindClientLibraryTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(ChannelOrderTest, TriesChannelsInOrder) {
  const OrderCase& c = GetParam();
  LoaderRequest request;
  request.channelSearchKind = c.searchKind;
  request.releaseChannelsSet = c.masked;
  request.releaseChannels = c.mask;
  EXPECT_EQ(Find(request), HResultFromWin32(2));
  EXPECT_EQ(ChannelsProbed(), c.order) << c.label;
  ASSERT_EQ(m_system.DebugLines().size(), 1u);
  EXPECT_EQ(m_system.DebugLines()[0], kNotFoundLine);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChannelOrderTest,
    ::testing::Values(OrderCase{"stable first", 0, false, 0, {0, 1, 2, 3, 4}},
                      OrderCase{"least stable first", 1, false, 0, {4, 3, 2, 1, 0}},
                      // The mask is ignored unless it was set.
                      OrderCase{"unset mask", 0, false, 0b00110, {0, 1, 2, 3, 4}},
                      OrderCase{"beta and dev", 0, true, 0b00110, {1, 2}},
                      OrderCase{"beta and dev reversed", 1, true, 0b00110, {2, 1}},
                      OrderCase{"stable only", 0, true, 0b00001, {0}},
                      OrderCase{"no channel", 0, true, 0, {}}));

TEST_F(FindClientLibraryTest, FirstFoundChannelWinsAndReportsItsName) {
  InstallChannel(m_system, kMachine, 3, u"/opt/canary/131.0.1.0");
  const std::u16string beta = InstallChannel(m_system, kUser, 1, u"/home/u/beta/130.0.2839.0");
  LoaderRequest request;
  ASSERT_EQ(Find(request), S_OK);
  EXPECT_EQ(m_found.path, beta);
  EXPECT_EQ(m_found.version, u"130.0.2839.0");
  EXPECT_EQ(m_found.channelName, u"beta");
  request.channelSearchKind = 1;
  ASSERT_EQ(Find(request), S_OK);
  EXPECT_EQ(m_found.channelName, u"canary");
  EXPECT_EQ(m_found.path, LibraryPath(u"/opt/canary/131.0.1.0"));
}

TEST_F(FindClientLibraryTest, MachineHiveBeforeUserHiveInThe32BitView) {
  InstallChannel(m_system, kUser, 0, u"/user/130.0.0.1");
  InstallChannel(m_system, kMachine, 0, u"/machine/130.0.0.2");
  ASSERT_EQ(Find(LoaderRequest{}), S_OK);
  EXPECT_EQ(m_found.version, u"130.0.0.2");
  EXPECT_EQ(m_found.channelName, u"");
  for (const auto& read : m_system.RegistryReads()) EXPECT_EQ(read.view, RegistryView::Bits32);
  // A registration in the default view is not seen.
  FakeSystem other;
  other.SetRegistryString(kMachine, RegistryView::Default, ChannelKey(0), u"EBWebView", u"/m/130.0.0.0");
  AddRuntimeFiles(other, u"/m/130.0.0.0");
  ClientLibrary found;
  EXPECT_EQ(FindClientLibrary(other, LoaderRequest{}, &found), HResultFromWin32(2));
}

struct MinimumCase {
  std::u16string_view version;
  bool accepted;
  friend void PrintTo(const MinimumCase&, std::ostream* os) { *os << "MinimumCase"; }
};

class MinimumVersionTest : public FindClientLibraryTest, public ::testing::WithParamInterface<MinimumCase> {};

TEST_P(MinimumVersionTest, AcceptsFrom86_0_616_0) {
  const MinimumCase& c = GetParam();
  const std::u16string folder = u"/rt/" + std::u16string(c.version);
  InstallChannel(m_system, kMachine, 0, folder);
  const HRESULT hr = Find(LoaderRequest{});
  if (c.accepted) {
    EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(m_system.DebugLines().empty());
  } else {
    EXPECT_EQ(hr, HResultFromWin32(2));
    // Skipped in each hive it was looked for: the machine hive only.
    ASSERT_EQ(m_system.DebugLines().size(), 2u);
    EXPECT_EQ(m_system.DebugLines()[0], "WebView2: skipped an incompatible version /rt/" +
                                            std::string(c.version.begin(), c.version.end()) + "\n");
    EXPECT_EQ(m_system.DebugLines()[1], kNotFoundLine);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, MinimumVersionTest,
                         ::testing::Values(MinimumCase{u"86.0.616.0", true}, MinimumCase{u"86.0.615.99", false},
                                           MinimumCase{u"86.0.617", true}, MinimumCase{u"85.9.9999.9999", false},
                                           MinimumCase{u"86", false}, MinimumCase{u"130.0.2839.0", true}));

struct RegistrationCase {
  const char* label;
  std::optional<std::u16string> value;
  std::optional<DWORD> number;
  friend void PrintTo(const RegistrationCase& c, std::ostream* os) { *os << c.label; }
};

class UnusableRegistrationTest : public FindClientLibraryTest, public ::testing::WithParamInterface<RegistrationCase> {};

TEST_P(UnusableRegistrationTest, LeavesTheChannelUnfound) {
  const RegistrationCase& c = GetParam();
  const std::u16string key = ChannelKey(0);
  if (c.value) m_system.SetRegistryString(kMachine, RegistryView::Bits32, key, u"EBWebView", *c.value);
  if (c.number) m_system.SetRegistryDword(kMachine, RegistryView::Bits32, key, u"EBWebView", *c.number);
  AddRuntimeFiles(m_system, u"/rt/130.0.0.0");
  AddRuntimeFiles(m_system, u"/rt/EBWebView");
  EXPECT_EQ(Find(LoaderRequest{}), HResultFromWin32(2)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableRegistrationTest,
    ::testing::Values(RegistrationCase{"last component not a version", u"/rt/EBWebView", {}},
                      RegistrationCase{"no separator", u"130.0.0.0", {}}, RegistrationCase{"empty", u"", {}},
                      RegistrationCase{"trailing separator", u"/rt/130.0.0.0/", {}},
                      RegistrationCase{"a number", {}, 130u},
                      RegistrationCase{"longer than 520 bytes", u"/" + std::u16string(250, u'x') + u"/130.0.0.0", {}}));

TEST_F(FindClientLibraryTest, MissingLibraryIsSilentAndInaccessibleOneIsReported) {
  RegisterChannel(m_system, kMachine, 0, u"/stable/130.0.0.0");  // no files
  RegisterChannel(m_system, kMachine, 1, u"/beta/130.0.0.0");
  AddRuntimeFiles(m_system, u"/beta/130.0.0.0", u"130.0.0.0", false);
  const std::u16string dev = InstallChannel(m_system, kMachine, 2, u"/dev/130.0.0.0");
  ASSERT_EQ(Find(LoaderRequest{}), S_OK);
  EXPECT_EQ(m_found.path, dev);
  EXPECT_EQ(m_found.channelName, u"dev");
  ASSERT_EQ(m_system.DebugLines().size(), 1u);
  EXPECT_EQ(m_system.DebugLines()[0],
            "WebView2: skipped inaccessible " + WideToUtf8(LibraryPath(u"/beta/130.0.0.0")) + "\n");
}

TEST_F(FindClientLibraryTest, EdgeViewUsesTheBrowserRegistrationForStableOnly) {
  m_system.SetRegistryString(kMachine, RegistryView::Bits32, kEdgeBrowserKey, u"location", u"/opt/edge");
  m_system.SetRegistryString(kMachine, RegistryView::Bits32, kEdgeBrowserKey, u"pv", u"131.0.2903.0");
  const std::u16string edge = AddRuntimeFiles(m_system, u"/opt/edge/131.0.2903.0");
  InstallChannel(m_system, kMachine, 0, u"/stable/130.0.0.0");
  LoaderRequest request;
  request.useEdgeView = true;
  ASSERT_EQ(Find(request), S_OK);
  EXPECT_EQ(m_found.path, edge);
  EXPECT_EQ(m_found.version, u"131.0.2903.0");
  // Without "pv" the browser registration is unusable.
  FakeSystem other;
  other.SetRegistryString(kMachine, RegistryView::Bits32, kEdgeBrowserKey, u"location", u"/opt/edge/131.0.2903.0");
  AddRuntimeFiles(other, u"/opt/edge/131.0.2903.0");
  ClientLibrary found;
  EXPECT_EQ(FindClientLibrary(other, request, &found), HResultFromWin32(2));
}

TEST_F(FindClientLibraryTest, PackagesAreProbedAfterTheRegistry) {
  m_system.SetPackageFunctionsAvailable(true);
  PackageEntry other{u"Some.Other_8wekyb3d8bbwe", u"/pkg/other", 200, 0, 0, 0};
  PackageEntry dev{u"microsoft.webview2runtime.dev_8WEKYB3D8BBWE", u"/pkg/dev", 131, 0, 2903, 12};
  m_system.AddPackage(other);
  m_system.AddPackage(dev);
  const std::u16string devLibrary = AddRuntimeFiles(m_system, u"/pkg/dev");
  ASSERT_EQ(Find(LoaderRequest{}), S_OK);
  EXPECT_EQ(m_found.path, devLibrary);
  EXPECT_EQ(m_found.version, u"131.0.2903.12");
  EXPECT_EQ(m_found.channelName, u"dev");
  // A dependency was asked for each channel tried.
  ASSERT_EQ(m_system.PackageDependenciesAdded().size(), 3u);
  EXPECT_EQ(m_system.PackageDependenciesAdded()[0], kReleaseChannels[0].packageFamilyName);
}

TEST_F(FindClientLibraryTest, PackagesAreIgnoredWithoutTheFunctionsOrAGraph) {
  PackageEntry stable{std::u16string(kReleaseChannels[0].packageFamilyName), u"/pkg/stable", 130, 0, 0, 0};
  m_system.AddPackage(stable);
  AddRuntimeFiles(m_system, u"/pkg/stable");
  EXPECT_EQ(Find(LoaderRequest{}), HResultFromWin32(2));
  m_system.SetPackageFunctionsAvailable(true);
  m_system.SetPackageGraphResult(HResultFromWin32(122));
  EXPECT_EQ(Find(LoaderRequest{}), HResultFromWin32(2));
  m_system.SetPackageGraphResult(S_OK);
  EXPECT_EQ(Find(LoaderRequest{}), S_OK);
}

TEST_F(FindClientLibraryTest, OldPackageIsSkipped) {
  m_system.SetPackageFunctionsAvailable(true);
  m_system.AddPackage({std::u16string(kReleaseChannels[0].packageFamilyName), u"/pkg/old", 86, 0, 615, 99});
  AddRuntimeFiles(m_system, u"/pkg/old");
  EXPECT_EQ(Find(LoaderRequest{}), HResultFromWin32(2));
  EXPECT_EQ(m_system.DebugLines()[0], "WebView2: skipped an incompatible version /pkg/old\n");
}

struct FixedCase {
  const char* label;
  std::u16string folder;
  std::u16string runtimeFolder;
  friend void PrintTo(const FixedCase& c, std::ostream* os) { *os << c.label; }
};

class FixedFolderTest : public FindClientLibraryTest, public ::testing::WithParamInterface<FixedCase> {};

TEST_P(FixedFolderTest, ResolvesAbsoluteAndRelativeFolders) {
  const FixedCase& c = GetParam();
  const std::u16string library = AddRuntimeFiles(m_system, c.runtimeFolder);
  InstallChannel(m_system, kMachine, 0, u"/stable/130.0.0.0");
  LoaderRequest request;
  request.browserExecutableFolder = c.folder;
  ASSERT_EQ(Find(request), S_OK) << c.label;
  EXPECT_EQ(m_found.path, library);
  EXPECT_TRUE(m_found.channelName.empty());
  // No channel was searched.
  EXPECT_TRUE(ChannelsProbed().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedFolderTest,
    ::testing::Values(FixedCase{"absolute", u"/opt/fixed", u"/opt/fixed"},
                      FixedCase{"relative", u"rt", u"/opt/app/bin/rt"},
                      FixedCase{"relative with parts", u"../runtime/130", u"/opt/app/bin/../runtime/130"},
                      // Windows forms are relative here.
                      FixedCase{"drive form", u"C:rt", u"/opt/app/bin/C:rt"},
                      FixedCase{"backslash form", u"\\rt", u"/opt/app/bin/\\rt"}));

TEST_F(FindClientLibraryTest, FixedFolderWithoutLibraryFails) {
  LoaderRequest request;
  request.browserExecutableFolder = u"rt";
  EXPECT_EQ(Find(request), HResultFromWin32(2));
  ASSERT_EQ(m_system.DebugLines().size(), 1u);
  EXPECT_EQ(m_system.DebugLines()[0],
            "WebView2: Failed to find the WebView2 client dll at: " + WideToUtf8(LibraryPath(u"/opt/app/bin/rt")) + "\n");
}

TEST_F(FindClientLibraryTest, FixedFolderWithInaccessibleLibraryReportsBoth) {
  AddRuntimeFiles(m_system, u"/fixed", u"130.0.0.0", false);
  LoaderRequest request;
  request.browserExecutableFolder = u"/fixed";
  EXPECT_EQ(Find(request), HResultFromWin32(2));
  ASSERT_EQ(m_system.DebugLines().size(), 2u);
  EXPECT_EQ(m_system.DebugLines()[0].rfind("WebView2: skipped inaccessible /fixed/", 0), 0u);
  EXPECT_EQ(m_system.DebugLines()[1].rfind("WebView2: Failed to find the WebView2 client dll at: /fixed/", 0), 0u);
}

TEST_F(FindClientLibraryTest, RelativeFolderNeedsTheExecutablePath) {
  m_system.SetExecutablePath(std::nullopt, HResultFromWin32(5));
  LoaderRequest request;
  request.browserExecutableFolder = u"rt";
  EXPECT_EQ(Find(request), HResultFromWin32(5));
  ASSERT_EQ(m_system.DebugLines().size(), 1u);
  EXPECT_EQ(m_system.DebugLines()[0], "WebView2: Failed to find the app exe path.\n");
  m_system.SetExecutablePath(u"vellumview");
  EXPECT_EQ(Find(request), E_FAIL);
}

TEST_F(FindClientLibraryTest, FixedFolderSkipsTheVersionTest) {
  const std::u16string library = AddRuntimeFiles(m_system, u"/old/80.0.0.0", u"80.0.0.0");
  LoaderRequest request;
  request.browserExecutableFolder = u"/old/80.0.0.0";
  EXPECT_EQ(Find(request), S_OK);
  EXPECT_EQ(m_found.path, library);
}

}  // namespace
