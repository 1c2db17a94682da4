#include "loader/LoaderRequestBuilder.h"

#include <gtest/gtest.h>

#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/LoaderTestSupport.h"
#include "util/Strings.h"
#include "webview/ICoreWebView2EnvironmentOptionsEdgeView.h"

namespace {

constexpr RegistryHive kMachine = RegistryHive::LocalMachine;
constexpr RegistryHive kUser = RegistryHive::CurrentUser;
using Text = std::optional<std::u16string>;

// A fresh fake system per case, with the builder run over it.
struct Rig {
  FakeSystem system;
  Rig() { system.SetExecutablePath(std::u16string(loader_test::kExecutable)); }
  static std::u16string Key(std::u16string_view setting) { return std::u16string(LoaderRequestBuilder::kPolicyRoot) += setting; }
  void Env(std::u16string name, const Text& value) { if (value) system.SetEnvironmentVariable(std::move(name), *value); }
  void Policy(RegistryHive hive, std::u16string_view setting, std::u16string_view name, const Text& value) {
    if (value) system.SetRegistryString(hive, RegistryView::Default, Key(setting), name, *value);
  }
  LoaderRequest Build(const char16_t* folder = nullptr, const char16_t* userData = nullptr,
                      ICoreWebView2EnvironmentOptions* options = nullptr) {
    return LoaderRequestBuilder(system).Build(folder, userData, options);
  }
};

TEST(LoaderRequestBuilder, FoldersTakeEnvironmentThenMachineThenUserThenCaller) {
  struct Case { Text environment, machine, user, expected; };
  const Case cases[] = {
      {{}, {}, {}, u"/caller"}, {u"/env", u"/machine", u"/user", u"/env"}, {{}, u"/machine", u"/user", u"/machine"},
      {{}, {}, u"/user", u"/user"},
      // A defined but empty variable hides the policy and the caller's folder.
      {u"", u"/machine", u"/user", u""},
  };
  // The machine's wildcard wins even over the user's more specific name.
  struct Setting { std::u16string variable; std::u16string_view policy, machineName; Text LoaderRequest::*field; };
  const Setting settings[] = {
      {u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"BrowserExecutableFolder", u"*", &LoaderRequest::browserExecutableFolder},
      {u"WEBVIEW2_USER_DATA_FOLDER", u"UserDataFolder", u"vellumview", &LoaderRequest::userDataFolder}};
  for (const Setting& setting : settings)
    for (const Case& c : cases) {
      Rig s;
      s.Env(setting.variable, c.environment);
      s.Policy(kMachine, setting.policy, setting.machineName, c.machine);
      s.Policy(kUser, setting.policy, u"vellumview", c.user);
      EXPECT_EQ(s.Build(u"/caller", u"/caller").*setting.field, c.expected) << WideToUtf8(setting.variable) << &c - cases;
    }
}

// Value names: the application user model ID (or the default value without
// one), then the executable's file name, then "*" where the setting allows it.
TEST(LoaderRequestBuilder, PolicyValueNamesInOrder) {
  using Values = std::vector<std::pair<std::u16string, std::u16string>>;
  struct Case { const char* label; bool userData; Text appId; Values values; Text expected; };
  const std::u16string longest(259, u'a');
  const Case cases[] = {
      {"app id first", false, u"Quill.demo", {{u"Quill.demo", u"/id"}, {u"vellumview", u"/exe"}, {u"*", u"/any"}}, u"/id"},
      {"executable next", false, u"Quill.demo", {{u"vellumview", u"/exe"}, {u"*", u"/any"}}, u"/exe"},
      {"no wildcard for user data", true, u"Quill.demo", {{u"*", u"/any"}}, std::nullopt},
      {"default value without an id", false, std::nullopt, {{u"", u"/default"}, {u"vellumview", u"/exe"}}, u"/default"},
      {"default value ignored with an id", false, u"Quill.", {{u"", u"/default"}, {u"vellumview", u"/exe"}}, u"/exe"},
      // A text of more than 520 bytes with its terminator counts as absent.
      {"over-long value skipped", false, u"Quill.demo", {{u"Quill.demo", longest + u"a"}, {u"*", u"/any"}}, u"/any"},
      {"longest value kept", false, u"Quill.demo", {{u"Quill.demo", longest}}, longest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Rig s;
    if (c.appId) s.system.SetAppUserModelId(*c.appId);
    for (const auto& [name, value] : c.values)
      s.Policy(kMachine, c.userData ? u"UserDataFolder" : u"BrowserExecutableFolder", name, value);
    const LoaderRequest request = s.Build();
    EXPECT_EQ(c.userData ? request.userDataFolder : request.browserExecutableFolder, c.expected);
  }
}

TEST(LoaderRequestBuilder, WithoutThePolicyRootNoPolicyIsReadUntilItAppears) {
  Rig s;
  s.system.SetRegistryString(kMachine, RegistryView::Default, u"Software\\Policies\\Other", u"*", u"/x");
  EXPECT_FALSE(s.Build().browserExecutableFolder.has_value());
  EXPECT_FALSE(LoaderRequestBuilder::PolicyRootPresent());
  s.Policy(kUser, u"BrowserExecutableFolder", u"*", u"/user");
  EXPECT_EQ(s.Build().browserExecutableFolder, u"/user");
  EXPECT_TRUE(LoaderRequestBuilder::PolicyRootPresent());
}

// An object offering only the Edge browser table. Like any COM object it
// answers QueryInterface first in its table, which is all the builder asks
// of an options object before it finds the table it looks for.
struct EdgeViewOnly final : RuntimeClass<ICoreWebView2EnvironmentOptionsEdgeView> {
  EdgeViewOnly(INT32 value, HRESULT hr) : value(value), hr(hr) {}
  HRESULT get_UseEdgeView(INT32* out) override { return *out = value, hr; }
  INT32 value;
  HRESULT hr;
};

// With the Edge browser asked for, the channel settings ignore the wildcard
// (the folder does not, and names still apply).
TEST(LoaderRequestBuilder, EdgeViewFromTheOptionsOrTheVariable) {
  struct Case { Text variable; INT32 optionsValue; HRESULT optionsHr; bool expected; };
  const Case cases[] = {
      {{}, 1, S_OK, true}, {{}, 1, S_FALSE, false}, {{}, 2, S_OK, false},
      {u"1", 0, S_OK, true}, {u"0", 1, S_OK, false}, {u"01", 0, S_OK, false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    Rig s;
    s.Env(u"WEBVIEW2_USE_EDGE_VIEW", cases[i].variable);
    for (const char16_t* setting : {u"ReleaseChannels", u"ChannelSearchKind", u"BrowserExecutableFolder"})
      s.Policy(kMachine, setting, u"*", u"1");
    s.Policy(kMachine, u"ReleaseChannelPreference", u"vellumview", u"1");
    auto options = MakeComObject<EdgeViewOnly>(cases[i].optionsValue, cases[i].optionsHr);
    const LoaderRequest request =
        s.Build(nullptr, nullptr, reinterpret_cast<ICoreWebView2EnvironmentOptions*>(static_cast<IUnknown*>(options.Get())));
    EXPECT_EQ(request.useEdgeView, cases[i].expected);
    EXPECT_EQ(request.releaseChannelsSet, !cases[i].expected);
    EXPECT_EQ(std::tuple(request.channelSearchKindSet, request.channelSearchKind, request.browserExecutableFolder),
              std::tuple(true, 1u, u"1"));
    EXPECT_EQ(options->RefCount(), 1u);
  }
}

// The two channel settings, each row setting both: the list from its
// variable or policy, the kind from its variable, the preference, or policy;
// an options object fills only what nothing else set.
TEST(LoaderRequestBuilder, ChannelSettingsFromTheEnvironmentPolicyOrOptions) {
  struct Channels { Text variable, policy; bool set; std::uint32_t mask; };
  struct Kind { Text variable, preference; std::optional<DWORD> policyNumber; bool set; std::uint32_t value; };
  struct Case { Channels channels; Kind kind; std::optional<std::pair<int, int>> options; };
  const Case cases[] = {
      {{u"1,2", u"3", true, 0b110}, {u"1", {}, {}, true, 1}}, {{u",", u"3", true, 0}, {u" 1x", {}, {}, true, 1}},
      {{{}, u"3,4", true, 0b11000}, {u"2", {}, {}, true, 0}},
      // An empty variable changes nothing and hides the policy; an empty registry list counts as absent.
      {{u"", u"3", false, 0}, {u"", {}, {}, true, 0}}, {{{}, u"", false, 0}, {{}, u"1", {}, true, 1}},
      // The preference is read only when the kind set nothing; a number from the policy is 1 or else 0.
      {{}, {u"0", u"1", {}, true, 0}}, {{}, {{}, {}, 1u, true, 1}}, {{}, {{}, {}, 2u, true, 0}},
      // The options' values do not count as a setting of the kind; no channels and an unknown kind leave both open.
      {{{}, {}, true, 0b100}, {{}, {}, {}, false, 1}, std::pair(COREWEBVIEW2_RELEASE_CHANNELS_DEV, 1)},
      {{u"0", {}, true, 0b1}, {u"0", {}, {}, true, 0}, std::pair(COREWEBVIEW2_RELEASE_CHANNELS_DEV, 1)},
      {{{}, {}, false, 0}, {{}, {}, {}, false, 0}, std::pair(0, 2)},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const auto& [channels, kind, optionValues] = cases[i];
    Rig s;
    s.Env(u"WEBVIEW2_RELEASE_CHANNELS", channels.variable);
    s.Policy(kMachine, u"ReleaseChannels", u"*", channels.policy);
    s.Env(u"WEBVIEW2_CHANNEL_SEARCH_KIND", kind.variable);
    s.Env(u"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", kind.preference);
    if (kind.policyNumber) s.system.SetRegistryDword(kMachine, RegistryView::Default, s.Key(u"ChannelSearchKind"), u"*", *kind.policyNumber);
    ComPtr<CoreWebView2EnvironmentOptions> options;
    if (optionValues) {
      options = MakeComObject<CoreWebView2EnvironmentOptions>();
      options->put_ReleaseChannels(static_cast<COREWEBVIEW2_RELEASE_CHANNELS>(optionValues->first));
      options->put_ChannelSearchKind(static_cast<COREWEBVIEW2_CHANNEL_SEARCH_KIND>(optionValues->second));
    }
    const LoaderRequest request = s.Build(nullptr, nullptr, options.Get());
    EXPECT_EQ(std::pair(request.releaseChannelsSet, request.releaseChannels), std::pair(channels.set, channels.mask));
    EXPECT_EQ(std::pair(request.channelSearchKindSet, request.channelSearchKind), std::pair(kind.set, kind.value));
    // The request names the options object without taking a reference.
    if (options) EXPECT_EQ(std::pair(request.environmentOptions, options->RefCount()),
                           std::pair(static_cast<ICoreWebView2EnvironmentOptions*>(options.Get()), ULONG{1}));
  }
}

}  // namespace
