#pragma once
// What one discovery carries from the entry point to the search, and on to
// environment creation.
#include <cstdint>
#include <optional>
#include <string>

struct ICoreWebView2EnvironmentOptions;

struct LoaderRequest {
  // The folder of a fixed runtime; a non-empty folder is used and no channel
  // is searched. Nothing stands for the caller's null.
  std::optional<std::u16string> browserExecutableFolder;
  // The user-data folder handed to the runtime; not used by the version query.
  std::optional<std::u16string> userDataFolder;
  // The caller's options object. The request holds no reference of its own:
  // whoever keeps a request beyond the caller's call keeps one beside it.
  ICoreWebView2EnvironmentOptions* environmentOptions = nullptr;
  // 0 searches from the most stable channel, 1 from the least stable.
  std::uint32_t channelSearchKind = 0;
  // The Edge browser's own installation stands in the stable slot.
  bool useEdgeView = false;
  bool releaseChannelsSet = false;
  bool channelSearchKindSet = false;
  // Bit n allows channel n; consulted only when releaseChannelsSet is true.
  std::uint32_t releaseChannels = 0;
};
