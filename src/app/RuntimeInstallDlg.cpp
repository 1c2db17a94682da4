#include "app/RuntimeInstallDlg.h"

#include <chrono>
#include <string>
#include <vector>

#include "platform/ISystem.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "util/FormatMessageWithHResult.h"

namespace {
// A modal frame with a caption and a window menu, in the dialog font.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | 0xC8;
}  // namespace

CRuntimeInstallDlg::~CRuntimeInstallDlg() { JoinWorker(); }

DialogTemplate CRuntimeInstallDlg::GetDialogTemplate() const {
  DialogTemplate t;
  t.caption = std::u16string(LoadStringResource(IDS_SETUP_DIALOG_CAPTION));
  t.width = 309;
  t.height = 80;
  t.style = kDialogStyle;
  t.items = {
      {DialogItemKind::Static, -1, RECT{9, 11, 147, 19}, std::u16string(LoadStringResource(IDS_SETUP_DIALOG_TEXT)),
       WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
      {DialogItemKind::ProgressBar, IDC_PROGRESS, RECT{7, 33, 302, 48}, u"",
       WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_MARQUEE},
  };
  return t;
}

bool CRuntimeInstallDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      result = OnInitDialog();
      return true;
    case WM_INSTALL_FINISHED:
      result = OnInstallFinished();
      return true;
    case WM_INSTALL_LAUNCH_FAILED:
      result = OnInstallLaunchFailed(static_cast<HRESULT>(static_cast<DWORD>(wParam)));
      return true;
    case WM_INSTALL_CANCEL:
      result = OnInstallCancel();
      return true;
    case WM_DESTROY:
      // However the dialog goes, the worker must not send to it any more.
      m_ended = true;
      return false;
  }
  // IDCANCEL from Esc or the close box is left to default processing, which
  // does nothing with it: the installer cannot be interrupted halfway.
  return false;
}

LRESULT CRuntimeInstallDlg::OnInitDialog() {
  CenterWindow(GetParent());
  const HWND dialog = m_hWnd;
  m_worker = std::thread([this, dialog] { InstallThreadProc(dialog); });
  Platform::Windowing().SendMessage(Platform::Windowing().GetDlgItem(m_hWnd, IDC_PROGRESS), PBM_SETMARQUEE, TRUE,
                                    50);
  return TRUE;
}

LRESULT CRuntimeInstallDlg::OnInstallFinished() {
  m_ended = true;
  EndDialog(kInstallFinished);
  return 0;
}

LRESULT CRuntimeInstallDlg::OnInstallLaunchFailed(HRESULT hr) {
  MessageBox(FormatMessageWithHResult(LoadStringResource(IDS_RUNTIME_SETUP_FAILED), hr), u"", MB_OK | MB_ICONERROR);
  return 0;
}

LRESULT CRuntimeInstallDlg::OnInstallCancel() {
  m_ended = true;
  EndDialog(IDCANCEL);
  return 0;
}

DWORD CRuntimeInstallDlg::InstallThreadProc(HWND dialog) {
  ISystem& system = Platform::System();
  ProcessHandle process = 0;
  const HRESULT hr = system.StartProcess(kInstallerPath, {u"/silent", u"/install"}, &process);
  if (SUCCEEDED(hr)) {
    // A wait that fails leaves nothing else to wait for; the dialog ends as
    // after a finished install rather than staying open for ever. The
    // installer's exit code is not looked at: a failed installation shows
    // up later as a runtime the view cannot start.
    system.WaitForProcess(process);
    SendToDialog(dialog, WM_INSTALL_FINISHED, 0);
  } else {
    SendToDialog(dialog, WM_INSTALL_LAUNCH_FAILED, static_cast<WPARAM>(static_cast<DWORD>(hr)));
    SendToDialog(dialog, WM_INSTALL_CANCEL, 0);
  }
  std::lock_guard lock(m_doneMutex);
  m_workerDone = true;
  m_doneChanged.notify_all();
  return 0;
}

void CRuntimeInstallDlg::SendToDialog(HWND dialog, UINT message, WPARAM wParam) {
  if (m_ended) return;
  Platform::Windowing().SendMessage(dialog, message, wParam, 0);
}

void CRuntimeInstallDlg::JoinWorker() {
  if (!m_worker.joinable()) return;
  m_ended = true;
  // The worker may be inside a send that only this thread can answer (the
  // dialog ended some other way while the worker was about to report); a
  // send to a window that is gone is answered with 0. Otherwise it is
  // waiting for the installer, which is waited for to its end, so that no
  // installer is left half done by an exiting program.
  std::unique_lock lock(m_doneMutex);
  while (!m_workerDone) {
    lock.unlock();
    MSG msg;
    Platform::Windowing().PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    lock.lock();
    m_doneChanged.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_workerDone; });
  }
  lock.unlock();
  m_worker.join();
}
