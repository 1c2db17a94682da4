#pragma once
// Finding a runtime's client library: in a fixed runtime folder, or by
// searching the release channels in the registry store and among installed
// packages.
#include <string>
#include <string_view>

#include "loader/BrowserVersion.h"
#include "loader/LoaderRequest.h"
#include "platform/ISystem.h"

// The architecture folder of the client library: the program's own, since
// only a library of the process's architecture can be loaded.
#if defined(__x86_64__)
#define VELLUM_CLIENT_ARCHITECTURE u"x64"
#elif defined(__aarch64__)
#define VELLUM_CLIENT_ARCHITECTURE u"arm64"
#elif defined(__i386__)
#define VELLUM_CLIENT_ARCHITECTURE u"x86"
#elif defined(__arm__)
#define VELLUM_CLIENT_ARCHITECTURE u"arm"
#else
#define VELLUM_CLIENT_ARCHITECTURE u"other"
#endif

// The client library's path relative to a runtime folder.
inline constexpr std::u16string_view kClientLibraryRelativePath =
    u"EBWebView/" VELLUM_CLIENT_ARCHITECTURE u"/libEmbeddedBrowserWebView.so";

// The Edge browser's registration, used for the stable slot when the Edge
// browser's own installation is asked for.
inline constexpr std::u16string_view kEdgeBrowserKey =
    u"Software\\Microsoft\\EdgeUpdate\\Clients\\{56EB18F8-B008-4CBD-B6D2-8C97FE7E9062}";
// The channels' registrations: this prefix and the channel's key name.
inline constexpr std::u16string_view kChannelKeyPrefix = u"Software\\Microsoft\\EdgeUpdate\\ClientState\\";

// What a successful search yields.
struct ClientLibrary {
  // The full path of the client library.
  std::u16string path;
  // The runtime's version text and the channel's name (empty for stable and
  // for a fixed folder); filled by the channel search only.
  std::u16string version;
  std::u16string channelName;
};

// Finds the client library for the request: in the fixed folder when the
// request names a non-empty one, otherwise by the channel search. Fails with
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when no channel yields a runtime,
// or with the fixed folder's failure.
HRESULT FindClientLibrary(ISystem& system, const LoaderRequest& request, ClientLibrary* found);

// Resolves a fixed runtime folder: one that starts with '/' is absolute, any
// other is relative to the executable's folder. Yields the client library's
// full path after checking that it exists and opens.
HRESULT ResolveFixedRuntimeFolder(ISystem& system, std::u16string_view folder, std::u16string* libraryPath);

// The minimum-version test and the client library check for a runtime found
// in `runtimeFolder` with the given version.
HRESULT CheckRuntime(ISystem& system, const BrowserVersion& version, std::u16string_view runtimeFolder,
                     std::u16string* libraryPath);

// The client library check alone: the library must exist and open for
// reading and execution.
HRESULT CheckClientLibrary(ISystem& system, std::u16string_view runtimeFolder, std::u16string* libraryPath);
