#include "loader/LoaderRequestBuilder.h"

#include <gtest/gtest.h>

#include "loader/CoreWebView2EnvironmentOptions.h"
#include "tests/loader/LoaderTestSupport.h"
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

// Folders come from the variable, then machine policy, then user policy,
// then the caller. Policy value names: the application user model ID (or the
// default value without one), then the executable's file name, then "*"
// where the setting allows it.
TEST(LoaderRequestBuilder, FoldersFromTheVariablePolicyOrCaller) {
  using Values = std::vector<std::pair<std::u16string, std::u16string>>;
  struct Case { const char* label; bool userData; Text variable, appId; Values machine, user; Text expected; };
  const std::u16string longest(259, u'a');
  const Case cases[] = {
      {"variable first", true, u"/env", {}, {{u"vellumview", u"/machine"}}, {}, u"/env"},
      {"machine's wildcard before the user's name", false, {}, {}, {{u"*", u"/machine"}}, {{u"vellumview", u"/user"}}, u"/machine"},
      {"user's", true, {}, {}, {}, {{u"vellumview", u"/user"}}, u"/user"},
      {"app id first", false, {}, u"Quill.demo", {{u"Quill.demo", u"/id"}, {u"vellumview", u"/exe"}, {u"*", u"/any"}}, {}, u"/id"},
      {"executable next", false, {}, u"Quill.demo", {{u"vellumview", u"/exe"}, {u"*", u"/any"}}, {}, u"/exe"},
      {"no wildcard for user data", true, {}, u"Quill.demo", {{u"*", u"/any"}}, {}, u"/caller"},
      {"default value without an id", false, {}, {}, {{u"", u"/default"}, {u"vellumview", u"/exe"}}, {}, u"/default"},
      // A text of more than 520 bytes with its terminator counts as absent.
      {"over-long value skipped", false, {}, u"Quill.demo", {{u"Quill.demo", longest + u"a"}, {u"*", u"/any"}}, {}, u"/any"},
      {"longest value kept", false, {}, u"Quill.demo", {{u"Quill.demo", longest}}, {}, longest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Rig s;
    const char16_t* setting = c.userData ? u"UserDataFolder" : u"BrowserExecutableFolder";
    s.Env(c.userData ? u"WEBVIEW2_USER_DATA_FOLDER" : u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", c.variable);
    if (c.appId) s.system.SetAppUserModelId(*c.appId);
    for (const auto& [name, value] : c.machine) s.Policy(kMachine, setting, name, value);
    for (const auto& [name, value] : c.user) s.Policy(kUser, setting, name, value);
    const LoaderRequest request = s.Build(u"/caller", u"/caller");
    EXPECT_EQ(c.userData ? request.userDataFolder : request.browserExecutableFolder, c.expected);
  }
}

TEST(LoaderRequestBuilder, WithoutThePolicyRootNoPolicyIsReadUntilItAppears) {
  Rig s;
  EXPECT_FALSE(s.Build().browserExecutableFolder.has_value());
  EXPECT_FALSE(LoaderRequestBuilder::PolicyRootPresent());
  s.Policy(kUser, u"BrowserExecutableFolder", u"*", u"/user");
  EXPECT_EQ(s.Build().browserExecutableFolder, u"/user");
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
    EXPECT_EQ(std::tuple(request.useEdgeView, request.releaseChannelsSet, request.channelSearchKind, request.browserExecutableFolder),
              std::tuple(cases[i].expected, !cases[i].expected, 1u, u"1"));
  }
}

// The two channel settings, each row setting both: the list from its
// variable or policy, the kind from its variable, the preference, or policy;
// an options object fills only what nothing else set.
TEST(LoaderRequestBuilder, ChannelSettingsFromTheEnvironmentPolicyOrOptions) {
  struct Channels { Text variable, policy; bool set; std::uint32_t mask; };
  struct Kind { Text variable, preference; std::optional<DWORD> policyNumber; bool set; std::uint32_t value; };
  struct Case { Channels channels; Kind kind; std::optional<std::pair<int, int>> options = {}; };
  const Case cases[] = {
      // Lists: items may be padded and trailed; numbers outside 0-4 allow stable; empty items allow nothing.
      {{u" 2, 3x", u"3", true, 0b01100}, {u"1", {}, {}, true, 1}}, {{u",3", u"3", true, 0b01000}, {u" 1x", {}, {}, true, 1}},
      {{{}, u"5,4", true, 0b10001}, {u"2", {}, {}, true, 0}},
      // An empty variable changes nothing and hides the policy; an empty registry list counts as absent.
      {{u"", u"3", false, 0}, {u"", {}, {}, true, 0}}, {{{}, u"", false, 0}, {{}, u"1", {}, true, 1}},
      // The preference is read only when the kind set nothing; a number from the policy is 1 or else 0.
      {{}, {u"0", u"1", {}, true, 0}}, {{}, {{}, {}, 1u, true, 1}}, {{}, {{}, {}, 2u, true, 0}},
      // The options' values do not count as a setting of the kind; no channels and an unknown kind leave both open.
      {{{}, {}, true, 0b100}, {{}, {}, {}, false, 1}, std::pair(COREWEBVIEW2_RELEASE_CHANNELS_DEV, 1)},
      {{u"-1", {}, true, 0b1}, {u"0", {}, {}, true, 0}, std::pair(COREWEBVIEW2_RELEASE_CHANNELS_DEV, 1)},
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
  }
}

}  // namespace
