#pragma once
// Builds a LoaderRequest from the caller's arguments, the WebView2
// environment variables, machine and user policy in the registry store, and
// the caller's options object.
//
// For each setting the environment variable wins; without it, the policy
// under the machine hive wins over the user hive. Policy values are looked up
// by the process's application user model ID, then by the executable's file
// name, then (for the settings that allow it) by the wildcard "*".
#include <optional>
#include <string>
#include <string_view>

#include "loader/LoaderRequest.h"
#include "platform/ISystem.h"

class LoaderRequestBuilder {
 public:
  // The policy root below each hive.
  static constexpr std::u16string_view kPolicyRoot = u"Software\\Policies\\Microsoft\\Edge\\WebView2\\";
  // A registry text is read only up to this many bytes with its terminator.
  static constexpr std::size_t kMaximumTextBytes = 520;

  explicit LoaderRequestBuilder(ISystem& system);

  // Steps: copy the arguments, ask the options object whether the Edge
  // browser's own installation is wanted, read the six settings, then take
  // the channel settings from the options object where nothing else set them.
  LoaderRequest Build(const char16_t* browserExecutableFolder, const char16_t* userDataFolder,
                      ICoreWebView2EnvironmentOptions* environmentOptions);

  // Whether the policy root was found by the last look (process-wide), for tests.
  static bool PolicyRootPresent();

 private:
  enum class Kind { Text, Number, ChannelList };

  struct Setting {
    std::u16string_view variable;
    std::u16string_view policyName;
    Kind kind;
    bool consultWildcard;
    bool resetsPolicyRoot;
  };

  // A setting's value as found; numbers and channel lists are still text
  // here unless the registry gave a number.
  struct Found {
    bool fromEnvironment = false;
    std::u16string text;
    std::optional<DWORD> number;
  };

  std::optional<Found> Read(const Setting& setting);
  std::optional<Found> ReadPolicy(RegistryHive hive, const Setting& setting);
  std::optional<Found> ReadPolicyValue(RegistryHive hive, const std::u16string& key, std::u16string_view name,
                                       Kind kind);
  static std::uint32_t NumberSetting(const Found& found);

  ISystem& m_system;
};
