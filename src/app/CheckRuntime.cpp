#include "app/CheckRuntime.h"

#include "app/Resource.h"
#include "app/StringTable.h"
#include "com/CoTaskMem.h"
#include "loader/RuntimeLoader.h"
#include "platform/ISystem.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "platform/WindowMessages.h"

namespace {

// The installer the first-run setup would run, relative to the working
// directory.
constexpr std::u16string_view kRuntimeInstaller = u"runtime/MicrosoftEdgeWebView2RuntimeInstallerX64.exe";

}  // namespace

bool CheckRuntime() {
  // The version text only tells that a runtime is there; it is not looked at
  // (the options object carries the version the runtime must meet). The
  // owner frees it on every way out.
  LPWSTR versionInfo = nullptr;
  const HRESULT hr = GetAvailableRuntimeVersionString(nullptr, &versionInfo);
  const CoTaskMemString version(versionInfo);
  if (SUCCEEDED(hr)) return true;

  // No runtime. The first-run setup (a notice, then the installer run in a
  // progress dialog) is not part of this program yet, so a present installer
  // leads to the same warning as a missing one.
  const bool installerPresent = Platform::System().FileExists(kRuntimeInstaller);
  (void)installerPresent;
  Platform::Windowing().MessageBox(nullptr, LoadStringResource(IDS_RUNTIME_NOT_INSTALLED), u"",
                                   MB_OK | MB_ICONWARNING);
  return false;
}
