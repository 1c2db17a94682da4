#include "loader/FindClientLibrary.h"

#include <optional>
#include <string>

#include "loader/ReleaseChannel.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

// A registry text is read into a buffer of this many bytes; a longer value
// fails the read, and a value of fewer than three bytes (an empty text and
// its terminator) is no folder.
constexpr std::size_t kRegistryBufferBytes = 520;
constexpr std::size_t kShortestUsableBytes = 3;

std::optional<std::u16string> ReadFolderValue(ISystem& system, RegistryHive hive, std::u16string_view key,
                                              std::u16string_view name) {
  RegistryValue value;
  if (FAILED(system.ReadRegistryValue(hive, RegistryView::Bits32, key, name, &value))) return std::nullopt;
  // Only a text can name a folder; a number never holds a path with a
  // version in its last component, so it fails here rather than later.
  if (value.type != REG_SZ) return std::nullopt;
  const std::size_t bytes = (value.text.size() + 1) * sizeof(char16_t);
  if (bytes > kRegistryBufferBytes || bytes < kShortestUsableBytes) return std::nullopt;
  return std::move(value.text);
}

bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i];
    char16_t y = b[i];
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
    if (x != y) return false;
  }
  return true;
}

// The registry probe for one channel in one hive.
bool ProbeRegistry(ISystem& system, RegistryHive hive, std::size_t channel, bool useEdgeView,
                   ClientLibrary* found) {
  const bool edge = channel == 0 && useEdgeView;
  const std::u16string key =
      edge ? std::u16string(kEdgeBrowserKey)
           : std::u16string(kChannelKeyPrefix) + std::u16string(kReleaseChannels[channel].keyName);
  auto folder = ReadFolderValue(system, hive, key, edge ? u"location" : u"EBWebView");
  if (!folder) return false;
  if (edge) {
    const auto productVersion = ReadFolderValue(system, hive, key, u"pv");
    if (!productVersion) return false;
    *folder += u'/';
    *folder += *productVersion;
  }
  const std::size_t slash = folder->rfind(u'/');
  if (slash == std::u16string::npos) return false;
  const std::u16string versionText = folder->substr(slash + 1);
  const auto version = BrowserVersion::Parse(versionText);
  if (!version) return false;
  if (FAILED(CheckRuntime(system, *version, *folder, &found->path))) return false;
  found->version = versionText;
  return true;
}

// The package probe for one channel.
bool ProbePackages(ISystem& system, std::size_t channel, ClientLibrary* found) {
  if (!system.PackageFunctionsAvailable()) return false;
  const std::u16string_view family = kReleaseChannels[channel].packageFamilyName;
  // A dependency that cannot be added does not end the probe: the package
  // may already be in the graph.
  (void)system.AddPackageDependency(family);
  std::vector<PackageEntry> entries;
  if (FAILED(system.GetPackageGraph(&entries)) || entries.empty()) return false;
  for (const PackageEntry& entry : entries) {
    if (!SameTextIgnoringCase(entry.familyName, family)) continue;
    const BrowserVersion version{{entry.major, entry.minor, entry.build, entry.revision}};
    if (FAILED(CheckRuntime(system, version, entry.installedPath, &found->path))) return false;
    found->version = Utf8ToWide(std::to_string(entry.major) + "." + std::to_string(entry.minor) + "." +
                                std::to_string(entry.build) + "." + std::to_string(entry.revision));
    return true;
  }
  return false;
}

}  // namespace

HRESULT CheckClientLibrary(ISystem& system, std::u16string_view runtimeFolder, std::u16string* libraryPath) {
  std::u16string path(runtimeFolder);
  path += u'/';
  path += kClientLibraryRelativePath;
  if (!system.FileExists(path)) return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  if (const HRESULT hr = system.CheckFileOpensForExecution(path); FAILED(hr)) {
    system.WriteDebugLine("WebView2: skipped inaccessible " + WideToUtf8(path) + "\n");
    return hr;
  }
  *libraryPath = std::move(path);
  return S_OK;
}

HRESULT CheckRuntime(ISystem& system, const BrowserVersion& version, std::u16string_view runtimeFolder,
                     std::u16string* libraryPath) {
  if (version < kMinimumBrowserVersion) {
    system.WriteDebugLine("WebView2: skipped an incompatible version " + WideToUtf8(runtimeFolder) + "\n");
    return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  }
  return CheckClientLibrary(system, runtimeFolder, libraryPath);
}

HRESULT ResolveFixedRuntimeFolder(ISystem& system, std::u16string_view folder, std::u16string* libraryPath) {
  std::u16string runtimeFolder;
  if (!folder.empty() && folder.front() == u'/') {
    runtimeFolder = folder;
  } else {
    std::u16string executable;
    if (const HRESULT hr = system.GetExecutablePath(&executable); FAILED(hr)) {
      system.WriteDebugLine("WebView2: Failed to find the app exe path.\n");
      return hr;
    }
    const std::size_t slash = executable.rfind(u'/');
    if (slash == std::u16string::npos) return E_FAIL;
    runtimeFolder = executable.substr(0, slash + 1);
    runtimeFolder += folder;
  }
  if (FAILED(CheckClientLibrary(system, runtimeFolder, libraryPath))) {
    std::u16string path = runtimeFolder + u"/";
    path += kClientLibraryRelativePath;
    system.WriteDebugLine("WebView2: Failed to find the WebView2 client dll at: " + WideToUtf8(path) + "\n");
    return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  }
  return S_OK;
}

HRESULT FindClientLibrary(ISystem& system, const LoaderRequest& request, ClientLibrary* found) {
  if (!found) return E_POINTER;
  if (request.browserExecutableFolder && !request.browserExecutableFolder->empty()) {
    found->version.clear();
    found->channelName.clear();
    return ResolveFixedRuntimeFolder(system, *request.browserExecutableFolder, &found->path);
  }
  const std::size_t channels = kReleaseChannels.size();
  for (std::size_t i = 0; i < channels; ++i) {
    const std::size_t channel = request.channelSearchKind == 1 ? channels - 1 - i : i;
    if (request.releaseChannelsSet && (request.releaseChannels & (1u << channel)) == 0) continue;
    ClientLibrary candidate;
    const bool hit = ProbeRegistry(system, RegistryHive::LocalMachine, channel, request.useEdgeView, &candidate) ||
                     ProbeRegistry(system, RegistryHive::CurrentUser, channel, request.useEdgeView, &candidate) ||
                     ProbePackages(system, channel, &candidate);
    if (hit) {
      candidate.channelName = kReleaseChannels[channel].name;
      *found = std::move(candidate);
      return S_OK;
    }
  }
  system.WriteDebugLine(
      "WebView2: Failed to find an installed WebView2 runtime or non-stable Microsoft Edge installation.\n");
  return HResultFromWin32(ERROR_FILE_NOT_FOUND);
}
