#include "app/CheckRuntime.h"

#include "app/RuntimeInstallDlg.h"
#include "com/CoTaskMem.h"
#include "loader/RuntimeLoader.h"
#include "platform/ISystem.h"
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

  // No runtime. Without an installer at hand the user is told where to get
  // one.
  IWindowing& windowing = Platform::Windowing();
  if (!Platform::System().FileExists(CRuntimeInstallDlg::kInstallerPath)) {
    windowing.MessageBox(nullptr, LoadStringResource(IDS_RUNTIME_NOT_INSTALLED), u"", MB_OK | MB_ICONWARNING);
    return false;
  }

  // First-run setup: a notice first, since the installer may take minutes,
  // then the installer behind the setup dialog. The dialog reports its own
  // failures. The runtime is not asked for again afterwards: an installer
  // that ran but failed shows up as a view that cannot start.
  windowing.MessageBox(nullptr, LoadStringResource(IDS_SETUP_NOTICE), u"", MB_OK | MB_ICONINFORMATION);
  CRuntimeInstallDlg dialog;
  return dialog.DoModal(windowing.GetActiveWindow()) == CRuntimeInstallDlg::kInstallFinished;
}
