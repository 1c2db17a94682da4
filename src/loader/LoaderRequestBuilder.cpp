#include "loader/LoaderRequestBuilder.h"

#include <atomic>

#include "com/ComPtr.h"
#include "loader/ReleaseChannel.h"
#include "loader/WideStringToLong.h"
#include "webview/ICoreWebView2EnvironmentOptions.h"
#include "webview/ICoreWebView2EnvironmentOptions7.h"
#include "webview/ICoreWebView2EnvironmentOptionsEdgeView.h"

namespace {

// Whether the policy root was present at the last look. Every request looks
// afresh (the first setting sets it back to true), so a policy written while
// the program runs is seen by the next request. Concurrent requests may
// overwrite each other's value, which only decides whether the registry is
// consulted.
std::atomic<bool> g_policyRootPresent{true};

}  // namespace

LoaderRequestBuilder::LoaderRequestBuilder(ISystem& system) : m_system(system) {}

bool LoaderRequestBuilder::PolicyRootPresent() { return g_policyRootPresent.load(); }

LoaderRequest LoaderRequestBuilder::Build(const char16_t* browserExecutableFolder, const char16_t* userDataFolder,
                                          ICoreWebView2EnvironmentOptions* environmentOptions) {
  LoaderRequest request;
  if (browserExecutableFolder) request.browserExecutableFolder = std::u16string(browserExecutableFolder);
  if (userDataFolder) request.userDataFolder = std::u16string(userDataFolder);
  request.environmentOptions = environmentOptions;

  // An options object may ask for the Edge browser's own installation
  // through a table of its own; the program's options object has none.
  if (environmentOptions) {
    ComPtr<ICoreWebView2EnvironmentOptionsEdgeView> edgeView;
    if (SUCCEEDED(environmentOptions->QueryInterface(ICoreWebView2EnvironmentOptionsEdgeView::kIid,
                                                     reinterpret_cast<void**>(edgeView.GetAddressOf()))) &&
        edgeView) {
      INT32 value = 0;
      request.useEdgeView = edgeView->get_UseEdgeView(&value) == S_OK && value == 1;
    }
  }

  const Setting folderSetting{u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"BrowserExecutableFolder", Kind::Text, true,
                              true};
  if (const auto found = Read(folderSetting)) request.browserExecutableFolder = found->text;

  const Setting userDataSetting{u"WEBVIEW2_USER_DATA_FOLDER", u"UserDataFolder", Kind::Text, false, false};
  if (const auto found = Read(userDataSetting)) request.userDataFolder = found->text;

  // The Edge browser switch exists only in the environment.
  if (const auto value = m_system.ReadEnvironmentVariable(u"WEBVIEW2_USE_EDGE_VIEW"))
    request.useEdgeView = *value == u"1";

  // With the Edge browser asked for, the channel settings ignore the wildcard.
  const bool wildcard = !request.useEdgeView;
  const Setting channelsSetting{u"WEBVIEW2_RELEASE_CHANNELS", u"ReleaseChannels", Kind::ChannelList, wildcard, false};
  if (const auto found = Read(channelsSetting)) {
    // An empty list from the environment changes nothing (the registry's
    // empty values never arrive here).
    if (!found->text.empty()) {
      request.releaseChannels = ParseReleaseChannelList(found->text);
      request.releaseChannelsSet = true;
    }
  }

  const Setting searchKindSetting{u"WEBVIEW2_CHANNEL_SEARCH_KIND", u"ChannelSearchKind", Kind::Number, wildcard,
                                  false};
  if (const auto found = Read(searchKindSetting)) {
    request.channelSearchKind = NumberSetting(*found);
    request.channelSearchKindSet = true;
  }
  if (!request.channelSearchKindSet) {
    const Setting preferenceSetting{u"WEBVIEW2_RELEASE_CHANNEL_PREFERENCE", u"ReleaseChannelPreference", Kind::Number,
                                    wildcard, false};
    if (const auto found = Read(preferenceSetting)) {
      request.channelSearchKind = NumberSetting(*found);
      request.channelSearchKindSet = true;
    }
  }

  // The options object fills in the channel settings that the environment
  // and policy left open.
  if (environmentOptions && !(request.channelSearchKindSet && request.releaseChannelsSet)) {
    ComPtr<ICoreWebView2EnvironmentOptions7> options7;
    if (SUCCEEDED(environmentOptions->QueryInterface(ICoreWebView2EnvironmentOptions7::kIid,
                                                     reinterpret_cast<void**>(options7.GetAddressOf()))) &&
        options7) {
      if (!request.channelSearchKindSet) {
        COREWEBVIEW2_CHANNEL_SEARCH_KIND kind = COREWEBVIEW2_CHANNEL_SEARCH_KIND_MOST_STABLE;
        if (SUCCEEDED(options7->get_ChannelSearchKind(&kind)) && kind == COREWEBVIEW2_CHANNEL_SEARCH_KIND_LEAST_STABLE)
          request.channelSearchKind = 1;
      }
      if (!request.releaseChannelsSet) {
        COREWEBVIEW2_RELEASE_CHANNELS channels = COREWEBVIEW2_RELEASE_CHANNELS_NONE;
        if (SUCCEEDED(options7->get_ReleaseChannels(&channels)) && channels != 0) {
          request.releaseChannels = static_cast<std::uint32_t>(channels);
          request.releaseChannelsSet = true;
        }
      }
    }
  }
  return request;
}

std::uint32_t LoaderRequestBuilder::NumberSetting(const Found& found) {
  if (found.number) return *found.number == 1 ? 1 : 0;
  return WideStringToLong(found.text) == 1 ? 1 : 0;
}

std::optional<LoaderRequestBuilder::Found> LoaderRequestBuilder::Read(const Setting& setting) {
  const auto variable = m_system.ReadEnvironmentVariable(setting.variable);
  if (setting.resetsPolicyRoot) g_policyRootPresent = true;
  if (variable) {
    Found found;
    found.fromEnvironment = true;
    found.text = *variable;
    return found;
  }
  if (!g_policyRootPresent) return std::nullopt;
  const bool present = m_system.RegistryKeyOpens(RegistryHive::CurrentUser, RegistryView::Default, kPolicyRoot) ||
                       m_system.RegistryKeyOpens(RegistryHive::LocalMachine, RegistryView::Default, kPolicyRoot);
  g_policyRootPresent = present;
  if (!present) return std::nullopt;
  if (auto found = ReadPolicy(RegistryHive::LocalMachine, setting)) return found;
  return ReadPolicy(RegistryHive::CurrentUser, setting);
}

std::optional<LoaderRequestBuilder::Found> LoaderRequestBuilder::ReadPolicy(RegistryHive hive,
                                                                           const Setting& setting) {
  const std::u16string key = std::u16string(kPolicyRoot) + std::u16string(setting.policyName);
  if (!m_system.RegistryKeyOpens(hive, RegistryView::Default, key)) return std::nullopt;

  // The application user model ID first; without one the key's default
  // value takes its place.
  const std::u16string appId = m_system.GetAppUserModelId().value_or(std::u16string());
  if (auto found = ReadPolicyValue(hive, key, appId, setting.kind)) return found;

  std::u16string executable;
  if (SUCCEEDED(m_system.GetExecutablePath(&executable))) {
    const std::size_t slash = executable.rfind(u'/');
    const std::u16string fileName = slash == std::u16string::npos ? executable : executable.substr(slash + 1);
    if (auto found = ReadPolicyValue(hive, key, fileName, setting.kind)) return found;
  }

  if (setting.consultWildcard) return ReadPolicyValue(hive, key, u"*", setting.kind);
  return std::nullopt;
}

std::optional<LoaderRequestBuilder::Found> LoaderRequestBuilder::ReadPolicyValue(RegistryHive hive,
                                                                                const std::u16string& key,
                                                                                std::u16string_view name, Kind kind) {
  RegistryValue value;
  if (FAILED(m_system.ReadRegistryValue(hive, RegistryView::Default, key, name, &value))) return std::nullopt;
  Found found;
  if (kind == Kind::Number && value.type == REG_DWORD) {
    found.number = value.number;
    return found;
  }
  // Texts longer than the reading buffer count as absent.
  if (value.type != REG_SZ || (value.text.size() + 1) * sizeof(char16_t) > kMaximumTextBytes) return std::nullopt;
  // An empty channel list in the registry counts as absent.
  if (kind == Kind::ChannelList && value.text.empty()) return std::nullopt;
  found.text = std::move(value.text);
  return found;
}
