#pragma once
// The program's runtime loader: finds an installed runtime, reports its
// version, and creates the browser environment through the runtime's client
// library. These entry points reach the system through Platform::System();
// the ...WithSystem forms take the system explicitly, for tests.
#include "com/Types.h"
#include "platform/ISystem.h"

struct ICoreWebView2EnvironmentOptions;
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;

// The version text of the runtime that would be used, as a CoTaskMemAlloc
// copy that the caller frees with CoTaskMemFree: the version, then one space
// and the channel's name for a channel other than the stable one. On failure
// `versionInfo` is null. A null `versionInfo` returns E_POINTER.
HRESULT GetAvailableRuntimeVersionString(LPCWSTR browserExecutableFolder, LPWSTR* versionInfo);
HRESULT GetAvailableRuntimeVersionStringWithOptions(LPCWSTR browserExecutableFolder,
                                                    ICoreWebView2EnvironmentOptions* environmentOptions,
                                                    LPWSTR* versionInfo);

// Compares two version texts by the version rule: `result` is 1, -1 or 0.
// A null `result` gives E_POINTER; a null or unreadable text E_INVALIDARG.
HRESULT CompareBrowserVersions(LPCWSTR version1, LPCWSTR version2, int* result);

// Starts creating a browser environment. S_OK means the client library took
// the request and the outcome arrives later through the handler, on this
// thread; a failure means the handler is not invoked by the loader.
HRESULT CreateCoreWebView2EnvironmentWithOptions(
    LPCWSTR browserExecutableFolder, LPCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler);
HRESULT CreateCoreWebView2Environment(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler);

HRESULT GetAvailableRuntimeVersionStringWithSystem(ISystem& system, LPCWSTR browserExecutableFolder,
                                                   ICoreWebView2EnvironmentOptions* environmentOptions,
                                                   LPWSTR* versionInfo);
HRESULT CreateCoreWebView2EnvironmentWithSystem(
    ISystem& system, LPCWSTR browserExecutableFolder, LPCWSTR userDataFolder,
    ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler);
