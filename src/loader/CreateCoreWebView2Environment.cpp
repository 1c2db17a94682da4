// Environment creation: discovery, loading the client library, calling its
// creation entry, and the retry of a failed attempt.
#include <cinttypes>
#include <cstdio>

#include "loader/CreationRelay.h"
#include "loader/FindClientLibrary.h"
#include "loader/LoaderRequestBuilder.h"
#include "loader/RuntimeKind.h"
#include "loader/RuntimeLoader.h"
#include "platform/Platform.h"
#include "util/Strings.h"
#include "webview/EngineContract.h"

namespace {

std::string Hex8(HRESULT hr) {
  char text[9];
  std::snprintf(text, sizeof text, "%08" PRIX32, static_cast<std::uint32_t>(hr));
  return text;
}

// Loads the client library and calls its creation entry.
HRESULT LoadAndCallClientLibrary(ISystem& system, const std::u16string& path, RuntimeKind kind,
                                 const LoaderRequest& request,
                                 ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* relay) {
  LibraryHandle library = nullptr;
  if (const HRESULT hr = system.LoadLibrary(path, &library); FAILED(hr) || !library) {
    const HRESULT failure = FAILED(hr) ? hr : E_FAIL;
    system.WriteDebugLine("WebView2: CoreWebView2Environment failed when trying to LoadLibrary: hr=0x" +
                          Hex8(failure) + " path=" + WideToUtf8(path) + "\n");
    return failure;
  }
  CreateEnvironmentEntry entry;
  HRESULT hr = system.GetCreateEnvironmentEntry(library, kCreateEnvironmentEntryName, &entry);
  if (FAILED(hr) || !entry) {
    if (SUCCEEDED(hr)) hr = E_FAIL;
    system.WriteDebugLine(
        "WebView2: CoreWebView2Environment failed when trying to call into EmbeddedBrowserWebView.dll. hr=0x" +
        Hex8(hr) + "\n");
  } else {
    const char16_t* userDataFolder = request.userDataFolder ? request.userDataFolder->c_str() : nullptr;
    hr = entry(1, static_cast<UINT32>(kind), userDataFolder, request.environmentOptions, relay);
  }
  // A library that can tell when it may be unloaded keeps itself loaded for
  // as long as it needs to, so the loader's own load is released; any other
  // library stays loaded for the life of the process.
  if (SUCCEEDED(system.FindLibrarySymbol(library, "DllCanUnloadNow"))) system.FreeLibrary(library);
  return hr;
}

}  // namespace

HRESULT MakeCreationAttempt(ISystem& system, const LoaderRequest& request,
                            ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* relay) {
  ClientLibrary library;
  RuntimeKind kind;
  HRESULT hr;
  if (request.browserExecutableFolder && !request.browserExecutableFolder->empty()) {
    hr = ResolveFixedRuntimeFolder(system, *request.browserExecutableFolder, &library.path);
    kind = request.useEdgeView ? RuntimeKind::EdgeView : RuntimeKind::FixedRuntime;
  } else {
    hr = FindClientLibrary(system, request, &library);
    kind = request.useEdgeView ? RuntimeKind::EdgeView : RuntimeKind::InstalledRuntime;
  }
  const bool found = SUCCEEDED(hr);
  if (found) hr = LoadAndCallClientLibrary(system, library.path, kind, request, relay);
  if (FAILED(hr) && !request.useEdgeView) {
    CreationFailureEvent event;
    event.hr = hr;
    event.clientDllFound = found;
    event.installedRuntime = kind == RuntimeKind::InstalledRuntime;
    system.WriteCreationFailureEvent(event);
  }
  return hr;
}

HRESULT CreateCoreWebView2EnvironmentWithSystem(
    ISystem& system, LPCWSTR browserExecutableFolder, LPCWSTR userDataFolder,
    ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler) {
  if (!environmentCreatedHandler) return E_POINTER;
  const LoaderRequest request =
      LoaderRequestBuilder(system).Build(browserExecutableFolder, userDataFolder, environmentOptions);
  const ComPtr<CreationRelay> relay = MakeComObject<CreationRelay>(system, request, environmentCreatedHandler);
  if (!relay) return E_OUTOFMEMORY;
  HRESULT hr = MakeCreationAttempt(system, relay->Request(), relay.Get());
  if (FAILED(hr)) hr = MakeCreationAttempt(system, relay->Request(), relay.Get());
  // The creating call's reference goes with `relay`; a library that keeps
  // the handler for later has taken its own.
  return hr;
}

HRESULT CreateCoreWebView2EnvironmentWithOptions(
    LPCWSTR browserExecutableFolder, LPCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler) {
  if (!environmentCreatedHandler) return E_POINTER;
  return CreateCoreWebView2EnvironmentWithSystem(Platform::System(), browserExecutableFolder, userDataFolder,
                                                 environmentOptions, environmentCreatedHandler);
}

HRESULT CreateCoreWebView2Environment(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler) {
  return CreateCoreWebView2EnvironmentWithOptions(nullptr, nullptr, nullptr, environmentCreatedHandler);
}
