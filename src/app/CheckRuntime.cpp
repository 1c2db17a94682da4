#include "app/CheckRuntime.h"

#include "com/CoTaskMem.h"
#include "loader/RuntimeLoader.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "platform/WindowMessages.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

bool CheckRuntime() {
  // The version text only tells that a runtime is there; it is not looked at
  // (the options object carries the version the runtime must meet). The
  // owner frees it on every way out.
  LPWSTR versionInfo = nullptr;
  const HRESULT hr = GetAvailableRuntimeVersionString(nullptr, &versionInfo);
  const CoTaskMemString version(versionInfo);
  if (SUCCEEDED(hr)) return true;

  // No runtime. The first-run setup (a notice, then the installer in the
  // runtime folder run behind a progress dialog) is not part of this program
  // yet, so whether an installer is present or not, the user is told where
  // to get the runtime.
  Platform::Windowing().MessageBox(nullptr, LoadStringResource(IDS_RUNTIME_NOT_INSTALLED), u"",
                                   MB_OK | MB_ICONWARNING);
  return false;
}
