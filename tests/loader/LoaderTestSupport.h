#pragma once
// Shared set-up for the loader's tests: runtimes registered in the fake
// system.
#include <string>
#include <tuple>

#include "com/CoTaskMem.h"
#include "loader/FindClientLibrary.h"
#include "loader/ReleaseChannel.h"
#include "loader/RuntimeLoader.h"
#include "platform/fake/FakeSystem.h"
#include "webview/EngineContract.h"

namespace loader_test {

inline constexpr std::u16string_view kExecutable = u"/opt/app/bin/vellumview";

inline std::u16string ChannelKey(std::size_t channel) {
  return std::u16string(kChannelKeyPrefix) + std::u16string(kReleaseChannels[channel].keyName);
}

inline std::u16string LibraryPath(std::u16string_view runtimeFolder) {
  return std::u16string(runtimeFolder) + u"/" + std::u16string(kClientLibraryRelativePath);
}

// Puts a client library into a runtime folder of the fake file system.
inline std::u16string AddRuntimeFiles(FakeSystem& system, std::u16string_view runtimeFolder,
                                      std::u16string version = u"130.0.2839.0", bool opens = true) {
  FakeSystem::File file;
  std::tie(file.opensForExecution, file.version) = std::tuple(opens, std::move(version));
  system.AddFile(LibraryPath(runtimeFolder), file);
  return LibraryPath(runtimeFolder);
}

// Installs a runtime in the folder that the environment names, with `entry`
// as its environment creation entry.
inline void InstallFixedRuntime(FakeSystem& system, CreateEnvironmentEntry entry) {
  system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", u"/opt/runtime");
  FakeSystem::Library library;
  library.exports[std::string(kCreateEnvironmentEntryName)] = std::move(entry);
  system.AddLibrary(AddRuntimeFiles(system, u"/opt/runtime"), library);
}

// Registers a runtime of a channel in a hive (32-bit view, as the search
// reads) and, unless told otherwise, installs its files; returns the library path.
inline std::u16string InstallChannel(FakeSystem& system, RegistryHive hive, std::size_t channel,
                                     std::u16string_view runtimeFolder, bool files = true, bool opens = true) {
  system.SetRegistryString(hive, RegistryView::Bits32, ChannelKey(channel), u"EBWebView", std::u16string(runtimeFolder));
  if (!files) return LibraryPath(runtimeFolder);
  return AddRuntimeFiles(system, runtimeFolder, std::u16string(runtimeFolder.substr(runtimeFolder.rfind(u'/') + 1)),
                         opens);
}

// The version query's result and text, "(null)" for none; a failure must
// leave null behind.
inline std::pair<HRESULT, std::u16string> QueryVersion(ISystem& system, const char16_t* folder = nullptr,
                                                       ICoreWebView2EnvironmentOptions* options = nullptr) {
  LPWSTR text = reinterpret_cast<LPWSTR>(1);
  const HRESULT hr = GetAvailableRuntimeVersionStringWithSystem(system, folder, options, &text);
  if (FAILED(hr) && text) return {hr, u"(left set)"};
  return {hr, text ? std::u16string(View(CoTaskMemString(text))) : u"(null)"};
}

}  // namespace loader_test
