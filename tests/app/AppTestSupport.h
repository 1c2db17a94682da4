#pragma once
// Shared set-up for the application shell's tests: a runtime in the fake
// system whose environment creation stays pending (so the frame lives with
// a view that has no web view yet).
#include "com/ComPtr.h"
#include "loader/FindClientLibrary.h"
#include "platform/fake/FakeSystem.h"
#include "webview/EngineContract.h"
#include "webview/ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler.h"

namespace app_test {

using PendingCreation = ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>;

// Installs a runtime whose creation entry answers `result`; on success the
// completion handler is kept in `pending` and never called, as if the
// engine were still starting.
inline void InstallRuntime(FakeSystem& system, PendingCreation* pending, HRESULT result = S_OK) {
  const std::u16string folder = u"/opt/runtime";
  system.SetEnvironmentVariable(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", folder);
  system.SetRoamingDataFolder(u"/home/user/.local/share");
  system.SetCurrentDirectory(u"/srv/app");
  const std::u16string library = folder + u"/" + std::u16string(kClientLibraryRelativePath);
  FakeSystem::File file;
  file.version = u"130.0.2839.0";
  system.AddFile(library, file);
  FakeSystem::Library entry;
  entry.exports[kCreateEnvironmentEntryName] =
      [pending, result](int, UINT32, LPCWSTR, ICoreWebView2EnvironmentOptions*,
                        ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
        if (SUCCEEDED(result)) *pending = handler;
        return result;
      };
  system.AddLibrary(library, entry);
}

}  // namespace app_test
