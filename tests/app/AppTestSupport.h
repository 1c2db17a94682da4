#pragma once
// Shared set-up for the application shell's tests: a runtime in the fake
// system whose environment creation stays pending (so the frame lives with
// a view that has no web view yet).
#include "com/ComPtr.h"
#include "tests/loader/LoaderTestSupport.h"
#include "webview/ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler.h"

namespace app_test {

using PendingCreation = ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>;

// Installs a runtime whose creation entry answers `result`; on success the
// completion handler is kept in `pending` and never called, as if the
// engine were still starting.
inline void InstallRuntime(FakeSystem& system, PendingCreation* pending, HRESULT result = S_OK) {
  system.SetRoamingDataFolder(u"/home/user/.local/share");
  system.SetCurrentDirectory(u"/srv/app");
  loader_test::InstallFixedRuntime(system, [pending, result](int, UINT32, LPCWSTR, auto*, auto* handler) {
    if (SUCCEEDED(result)) *pending = handler;
    return result;
  });
}

}  // namespace app_test
