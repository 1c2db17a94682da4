#include "loader/LoaderRequestBuilder.h"

#include <gtest/gtest.h>

#include <ostream>

#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/LoaderTestSupport.h"
#include "webview/ICoreWebView2EnvironmentOptionsEdgeView.h"

namespace {

using loader_test::kPolicyRoot;
using loader_test::SetPolicy;

constexpr RegistryHive kMachine = RegistryHive::LocalMachine;
constexpr RegistryHive kUser = RegistryHive::CurrentUser;

class LoaderRequestBuilderTest : public ::testing::Test {
 protected:
  LoaderRequestBuilderTest() { m_system.SetExecutablePath(std::u16string(loader_test::kExecutable)); }

  LoaderRequest Build(const char16_t* folder = nullptr, const char16_t* userData = nullptr,
                      ICoreWebView2EnvironmentOptions* options = nullptr) {
    return LoaderRequestBuilder(m_system).Build(folder, userData, options);
  }

  FakeSystem m_system;
};

TEST_F(LoaderRequestBuilderTest, CopiesTheArgumentsWhenNothingElseIsSet) {
  const LoaderRequest request = Build(u"/opt/rt", u"/data");
  EXPECT_EQ(request.browserExecutableFolder, u"/opt/rt");
  EXPECT_EQ(request.userDataFolder, u"/data");
  EXPECT_EQ(request.environmentOptions, nullptr);
  EXPECT_FALSE(request.useEdgeView);
  EXPECT_FALSE(request.releaseChannelsSet);
  EXPECT_FALSE(request.channelSearchKindSet);
  EXPECT_EQ(request.channelSearchKind, 0u);
  EXPECT_EQ(request.releaseChannels, 0u);
  const LoaderRequest empty = Build();
  EXPECT_FALSE(empty.browserExecutableFolder.has_value());
  EXPECT_FALSE(empty.userDataFolder.has_value());
}

// Precedence: environment > machine policy > user policy > caller's argument.
struct PrecedenceCase {
  const char* label;
  std::optional<std::u16string> environment;
  std::optional<std::u16string> machine;
  std::optional<std::u16string> user;
  std::optional<std::u16string> expected;
  friend void PrintTo(const PrecedenceCase& c, std::ostream* os) { *os << c.label; }
};

class FolderPrecedenceTest : public LoaderRequestBuilderTest, public ::testing::WithParamInterface<PrecedenceCase> {};

TEST_P(FolderPrecedenceTest, EnvironmentThenMachineThenUser) {
  const PrecedenceCase& c = GetParam();
  if (c.environment) m_system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", *c.environment);
  if (c.machine) SetPolicy(m_system, kMachine, u"BrowserExecutableFolder", u"vellumview", *c.machine);
  if (c.user) SetPolicy(m_system, kUser, u"BrowserExecutableFolder", u"vellumview", *c.user);
  EXPECT_EQ(Build(u"/caller").browserExecutableFolder, c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderPrecedenceTest,
    ::testing::Values(PrecedenceCase{"none", {}, {}, {}, u"/caller"},
                      PrecedenceCase{"environment over both", u"/env", u"/machine", u"/user", u"/env"},
                      PrecedenceCase{"machine over user", {}, u"/machine", u"/user", u"/machine"},
                      PrecedenceCase{"user alone", {}, {}, u"/user", u"/user"},
                      // A defined but empty variable hides the policy and the caller's folder.
                      PrecedenceCase{"empty environment", u"", u"/machine", u"/user", u""}));

TEST_F(LoaderRequestBuilderTest, PolicyIsNotReadWhenTheEnvironmentAnswers) {
  m_system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"/env");
  m_system.SetEnvironmentVariable(u"WEBVIEW2_USER_DATA_FOLDER", u"/data");
  m_system.SetEnvironmentVariable(u"WEBVIEW2_RELEASE_CHANNELS", u"1");
  m_system.SetEnvironmentVariable(u"WEBVIEW2_CHANNEL_SEARCH_KIND", u"1");
  SetPolicy(m_system, kMachine, u"BrowserExecutableFolder", u"*", u"/machine");
  Build();
  EXPECT_TRUE(m_system.RegistryReads().empty());
}

// Value names: the application user model ID, then the executable's file
// name, then "*" where the setting allows it.
struct NameCase {
  const char* label;
  std::u16string_view setting;
  std::optional<std::u16string> appId;
  std::vector<std::pair<std::u16string, std::u16string>> values;
  std::optional<std::u16string> expected;
  friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }
};

class PolicyNameTest : public LoaderRequestBuilderTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(PolicyNameTest, FindsTheFirstMatchingName) {
  const NameCase& c = GetParam();
  if (c.appId) m_system.SetAppUserModelId(*c.appId);
  for (const auto& [name, value] : c.values) SetPolicy(m_system, kMachine, c.setting, name, value);
  const LoaderRequest request = Build();
  const auto& actual =
      c.setting == u"UserDataFolder" ? request.userDataFolder : request.browserExecutableFolder;
  EXPECT_EQ(actual, c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PolicyNameTest,
    ::testing::Values(
        NameCase{"app id first", u"BrowserExecutableFolder", u"QuillBrowser.demo",
                 {{u"QuillBrowser.demo", u"/by-id"}, {u"vellumview", u"/by-exe"}, {u"*", u"/any"}}, u"/by-id"},
        NameCase{"names compare without case", u"BrowserExecutableFolder", u"QuillBrowser.demo",
                 {{u"quillbrowser.DEMO", u"/by-id"}}, u"/by-id"},
        NameCase{"executable name next", u"BrowserExecutableFolder", u"QuillBrowser.demo",
                 {{u"vellumview", u"/by-exe"}, {u"*", u"/any"}}, u"/by-exe"},
        NameCase{"wildcard for the folder", u"BrowserExecutableFolder", u"QuillBrowser.demo", {{u"*", u"/any"}},
                 u"/any"},
        NameCase{"no wildcard for user data", u"UserDataFolder", u"QuillBrowser.demo", {{u"*", u"/any"}},
                 std::nullopt},
        NameCase{"user data by executable", u"UserDataFolder", std::nullopt, {{u"vellumview", u"/d"}}, u"/d"},
        // Without an ID the key's default value is read first.
        NameCase{"default value without an id", u"BrowserExecutableFolder", std::nullopt,
                 {{u"", u"/default"}, {u"vellumview", u"/by-exe"}}, u"/default"},
        NameCase{"default value ignored with an id", u"BrowserExecutableFolder", u"QuillBrowser.",
                 {{u"", u"/default"}, {u"vellumview", u"/by-exe"}}, u"/by-exe"},
        // A text of more than 520 bytes with its terminator counts as absent.
        NameCase{"over-long value skipped", u"BrowserExecutableFolder", u"QuillBrowser.demo",
                 {{u"QuillBrowser.demo", std::u16string(260, u'a')}, {u"*", u"/any"}}, u"/any"},
        NameCase{"longest value kept", u"BrowserExecutableFolder", u"QuillBrowser.demo",
                 {{u"QuillBrowser.demo", std::u16string(259, u'a')}}, std::u16string(259, u'a')}));

TEST_F(LoaderRequestBuilderTest, MachinePolicyWinsEvenWhenTheUserHasTheMoreSpecificName) {
  m_system.SetAppUserModelId(u"QuillBrowser.demo");
  SetPolicy(m_system, kMachine, u"BrowserExecutableFolder", u"*", u"/machine-any");
  SetPolicy(m_system, kUser, u"BrowserExecutableFolder", u"QuillBrowser.demo", u"/user-id");
  EXPECT_EQ(Build().browserExecutableFolder, u"/machine-any");
}

TEST_F(LoaderRequestBuilderTest, WithoutThePolicyRootNoPolicyIsRead) {
  // A policy key outside the root does not count.
  m_system.SetRegistryString(kMachine, RegistryView::Default, u"Software\\Policies\\Other", u"*", u"/x");
  const LoaderRequest request = Build();
  EXPECT_FALSE(request.browserExecutableFolder.has_value());
  EXPECT_FALSE(LoaderRequestBuilder::PolicyRootPresent());
  // Only the root was probed, once per hive, then never again in this request.
  int probes = 0;
  for (const auto& read : m_system.RegistryReads()) probes += read.key == kPolicyRoot;
  EXPECT_EQ(probes, 2);
  EXPECT_EQ(m_system.RegistryReads().size(), 2u);
  // The next request looks afresh.
  SetPolicy(m_system, kUser, u"BrowserExecutableFolder", u"*", u"/user");
  EXPECT_EQ(Build().browserExecutableFolder, u"/user");
  EXPECT_TRUE(LoaderRequestBuilder::PolicyRootPresent());
}

struct EdgeCase {
  const char* label;
  std::optional<std::u16string> variable;
  bool optionsSayYes;
  bool expected;
  friend void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.label; }
};

class EdgeViewSwitchTest : public LoaderRequestBuilderTest, public ::testing::WithParamInterface<EdgeCase> {};

// An options object that offers the Edge browser table.
class EdgeViewOptions final : public RuntimeClass<ICoreWebView2EnvironmentOptions, ICoreWebView2EnvironmentOptionsEdgeView> {
 public:
  explicit EdgeViewOptions(INT32 value, HRESULT hr = S_OK) : m_value(value), m_hr(hr) {}
  HRESULT get_UseEdgeView(INT32* value) override {
    *value = m_value;
    return m_hr;
  }
  HRESULT get_AdditionalBrowserArguments(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT put_AdditionalBrowserArguments(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT get_Language(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT put_Language(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT get_TargetCompatibleBrowserVersion(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT put_TargetCompatibleBrowserVersion(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL*) override { return E_NOTIMPL; }
  HRESULT put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL) override { return E_NOTIMPL; }

 private:
  INT32 m_value;
  HRESULT m_hr;
};

TEST_P(EdgeViewSwitchTest, VariableReplacesTheOptionsAnswer) {
  const EdgeCase& c = GetParam();
  if (c.variable) m_system.SetEnvironmentVariable(u"WEBVIEW2_USE_EDGE_VIEW", *c.variable);
  auto options = MakeComObject<EdgeViewOptions>(c.optionsSayYes ? 1 : 0);
  EXPECT_EQ(Build(nullptr, nullptr, options.Get()).useEdgeView, c.expected) << c.label;
  EXPECT_EQ(options->RefCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, EdgeViewSwitchTest,
                         ::testing::Values(EdgeCase{"options yes", std::nullopt, true, true},
                                           EdgeCase{"options no", std::nullopt, false, false},
                                           EdgeCase{"variable 1", u"1", false, true},
                                           EdgeCase{"variable 0 overrides", u"0", true, false},
                                           EdgeCase{"variable empty overrides", u"", true, false},
                                           EdgeCase{"variable 01 is not 1", u"01", false, false}));

TEST_F(LoaderRequestBuilderTest, EdgeViewNeedsSuccessAndExactlyOne) {
  auto failing = MakeComObject<EdgeViewOptions>(1, S_FALSE);
  EXPECT_FALSE(Build(nullptr, nullptr, failing.Get()).useEdgeView);
  auto two = MakeComObject<EdgeViewOptions>(2);
  EXPECT_FALSE(Build(nullptr, nullptr, two.Get()).useEdgeView);
}

TEST_F(LoaderRequestBuilderTest, EdgeViewMakesChannelSettingsIgnoreTheWildcard) {
  SetPolicy(m_system, kMachine, u"ReleaseChannels", u"*", u"2");
  SetPolicy(m_system, kMachine, u"ChannelSearchKind", u"*", u"1");
  SetPolicy(m_system, kMachine, u"BrowserExecutableFolder", u"*", u"/any");
  m_system.SetEnvironmentVariable(u"WEBVIEW2_USE_EDGE_VIEW", u"1");
  const LoaderRequest request = Build();
  EXPECT_TRUE(request.useEdgeView);
  EXPECT_FALSE(request.releaseChannelsSet);
  EXPECT_FALSE(request.channelSearchKindSet);
  // The folder setting still honours the wildcard.
  EXPECT_EQ(request.browserExecutableFolder, u"/any");
  // By name the channel settings still apply.
  SetPolicy(m_system, kMachine, u"ReleaseChannels", u"vellumview", u"2");
  EXPECT_EQ(Build().releaseChannels, 0b100u);
}

struct ChannelsCase {
  const char* label;
  std::optional<std::u16string> environment;
  std::optional<std::u16string> policy;
  bool set;
  std::uint32_t mask;
  friend void PrintTo(const ChannelsCase& c, std::ostream* os) { *os << c.label; }
};

class ReleaseChannelsSettingTest : public LoaderRequestBuilderTest, public ::testing::WithParamInterface<ChannelsCase> {};

TEST_P(ReleaseChannelsSettingTest, ReadsTheList) {
  const ChannelsCase& c = GetParam();
  if (c.environment) m_system.SetEnvironmentVariable(u"WEBVIEW2_RELEASE_CHANNELS", *c.environment);
  if (c.policy) SetPolicy(m_system, kMachine, u"ReleaseChannels", u"*", *c.policy);
  const LoaderRequest request = Build();
  EXPECT_EQ(request.releaseChannelsSet, c.set) << c.label;
  EXPECT_EQ(request.releaseChannels, c.mask) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReleaseChannelsSettingTest,
    ::testing::Values(ChannelsCase{"environment list", u"1,2", std::nullopt, true, 0b110},
                      ChannelsCase{"environment 7", u"7", std::nullopt, true, 0b1},
                      ChannelsCase{"environment x", u"x", std::nullopt, true, 0b1},
                      ChannelsCase{"environment comma", u",", std::nullopt, true, 0},
                      // An empty variable changes nothing and hides the policy.
                      ChannelsCase{"environment empty", u"", u"3", false, 0},
                      ChannelsCase{"policy list", std::nullopt, u"3,4", true, 0b11000},
                      // An empty registry value counts as absent.
                      ChannelsCase{"policy empty", std::nullopt, u"", false, 0}));

struct KindCase {
  const char* label;
  std::optional<std::u16string> kindVariable;
  std::optional<std::u16string> preferenceVariable;
  std::optional<DWORD> kindPolicyNumber;
  std::optional<std::u16string> kindPolicyText;
  bool set;
  std::uint32_t kind;
  friend void PrintTo(const KindCase& c, std::ostream* os) { *os << c.label; }
};

class SearchKindSettingTest : public LoaderRequestBuilderTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(SearchKindSettingTest, ReadsTheNumber) {
  const KindCase& c = GetParam();
  if (c.kindVariable) m_system.SetEnvironmentVariable(u"WEBVIEW2_CHANNEL_SEARCH_KIND", *c.kindVariable);
  if (c.preferenceVariable)
    m_system.SetEnvironmentVariable(u"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", *c.preferenceVariable);
  const std::u16string key = std::u16string(kPolicyRoot) + u"ChannelSearchKind";
  if (c.kindPolicyNumber) m_system.SetRegistryDword(kMachine, RegistryView::Default, key, u"*", *c.kindPolicyNumber);
  if (c.kindPolicyText) m_system.SetRegistryString(kMachine, RegistryView::Default, key, u"*", *c.kindPolicyText);
  const LoaderRequest request = Build();
  EXPECT_EQ(request.channelSearchKindSet, c.set) << c.label;
  EXPECT_EQ(request.channelSearchKind, c.kind) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchKindSettingTest,
    ::testing::Values(KindCase{"1", u"1", {}, {}, {}, true, 1}, KindCase{" 1x", u" 1x", {}, {}, {}, true, 1},
                      KindCase{"2", u"2", {}, {}, {}, true, 0}, KindCase{"empty", u"", {}, {}, {}, true, 0},
                      KindCase{"preference alone", {}, u"1", {}, {}, true, 1},
                      // The preference is read only when the kind set nothing.
                      KindCase{"kind before preference", u"0", u"1", {}, {}, true, 0},
                      KindCase{"dword 1", {}, {}, 1u, {}, true, 1}, KindCase{"dword 2", {}, {}, 2u, {}, true, 0},
                      KindCase{"text in the registry", {}, {}, {}, u"1", true, 1},
                      KindCase{"nothing", {}, {}, {}, {}, false, 0}));

TEST_F(LoaderRequestBuilderTest, OptionsFillOnlyWhatNothingElseSet) {
  auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
  options->put_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS_DEV);
  options->put_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND_LEAST_STABLE);
  LoaderRequest request = Build(nullptr, nullptr, options.Get());
  EXPECT_TRUE(request.releaseChannelsSet);
  EXPECT_EQ(request.releaseChannels, 0b100u);
  EXPECT_EQ(request.channelSearchKind, 1u);
  // The options object does not count as a setting of the search kind.
  EXPECT_FALSE(request.channelSearchKindSet);
  EXPECT_EQ(request.environmentOptions, options.Get());

  m_system.SetEnvironmentVariable(u"WEBVIEW2_RELEASE_CHANNELS", u"0");
  m_system.SetEnvironmentVariable(u"WEBVIEW2_CHANNEL_SEARCH_KIND", u"0");
  request = Build(nullptr, nullptr, options.Get());
  EXPECT_EQ(request.releaseChannels, 0b1u);
  EXPECT_EQ(request.channelSearchKind, 0u);
  // The request takes no reference.
  EXPECT_EQ(options->RefCount(), 1u);
}

TEST_F(LoaderRequestBuilderTest, OptionsWithNoChannelsLeaveTheListUnset) {
  auto options = MakeComObject<CoreWebView2EnvironmentOptions>();
  options->put_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS_NONE);
  options->put_ChannelSearchKind(static_cast<COREWEBVIEW2_CHANNEL_SEARCH_KIND>(2));
  const LoaderRequest request = Build(nullptr, nullptr, options.Get());
  EXPECT_FALSE(request.releaseChannelsSet);
  EXPECT_EQ(request.channelSearchKind, 0u);
}

}  // namespace
