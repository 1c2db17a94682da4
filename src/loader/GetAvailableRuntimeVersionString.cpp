// The version query and the version comparison.
#include "com/CoTaskMem.h"
#include "loader/BrowserVersion.h"
#include "loader/FindClientLibrary.h"
#include "loader/LoaderRequestBuilder.h"
#include "loader/RuntimeLoader.h"
#include "platform/Platform.h"

namespace {

// One attempt of the version query: the version text with its channel's
// name, or the failure.
HRESULT QueryVersion(ISystem& system, const LoaderRequest& request, std::u16string* text) {
  ClientLibrary library;
  if (request.browserExecutableFolder && !request.browserExecutableFolder->empty()) {
    if (const HRESULT hr = ResolveFixedRuntimeFolder(system, *request.browserExecutableFolder, &library.path);
        FAILED(hr))
      return hr;
    if (const HRESULT hr = system.ReadLibraryVersion(library.path, &library.version); FAILED(hr)) return hr;
    if (library.version.empty()) return HResultFromWin32(kErrorResourceTypeNotFound);
  } else if (const HRESULT hr = FindClientLibrary(system, request, &library); FAILED(hr)) {
    return hr;
  }
  *text = library.version;
  if (!library.channelName.empty()) {
    *text += u' ';
    *text += library.channelName;
  }
  return S_OK;
}

}  // namespace

HRESULT GetAvailableRuntimeVersionStringWithSystem(ISystem& system, LPCWSTR browserExecutableFolder,
                                                   ICoreWebView2EnvironmentOptions* environmentOptions,
                                                   LPWSTR* versionInfo) {
  if (!versionInfo) return E_POINTER;
  *versionInfo = nullptr;
  const LoaderRequest request =
      LoaderRequestBuilder(system).Build(browserExecutableFolder, nullptr, environmentOptions);
  // A runtime being installed or updated may be caught half-way, so a failed
  // query is made once more before it counts.
  HRESULT hr = S_OK;
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::u16string text;
    hr = QueryVersion(system, request, &text);
    if (SUCCEEDED(hr)) {
      *versionInfo = CoTaskMemStrDup(text);
      if (*versionInfo) return S_OK;
      hr = E_OUTOFMEMORY;
    }
  }
  return hr;
}

HRESULT GetAvailableRuntimeVersionStringWithOptions(LPCWSTR browserExecutableFolder,
                                                    ICoreWebView2EnvironmentOptions* environmentOptions,
                                                    LPWSTR* versionInfo) {
  if (!versionInfo) return E_POINTER;
  return GetAvailableRuntimeVersionStringWithSystem(Platform::System(), browserExecutableFolder, environmentOptions,
                                                    versionInfo);
}

HRESULT GetAvailableRuntimeVersionString(LPCWSTR browserExecutableFolder, LPWSTR* versionInfo) {
  return GetAvailableRuntimeVersionStringWithOptions(browserExecutableFolder, nullptr, versionInfo);
}

HRESULT CompareBrowserVersions(LPCWSTR version1, LPCWSTR version2, int* result) {
  if (!result) return E_POINTER;
  if (!version1 || !version2) return E_INVALIDARG;
  const auto first = BrowserVersion::Parse(version1);
  const auto second = BrowserVersion::Parse(version2);
  if (!first || !second) return E_INVALIDARG;
  *result = *first > *second ? 1 : *first < *second ? -1 : 0;
  return S_OK;
}
