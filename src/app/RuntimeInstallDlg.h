#pragma once
// The runtime setup dialog: a caption, one line of text and a pulsing
// progress bar, and no button. A worker thread starts the runtime installer
// from the working directory's runtime folder, hidden, and waits for it;
// the dialog ends with kInstallFinished once the installer has ended
// (whatever its exit code), or with IDCANCEL after telling the user that
// the installer could not be started. The user cannot dismiss it: Esc and
// the close box change nothing.
//
// The worker never calls a window function itself. It reaches the dialog
// only by sending it private messages, which the platform runs on the
// user-interface thread; the dialog's handlers do the window work there.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

#include "window/CDialogImplBase.h"

class CRuntimeInstallDlg : public CDialogImplBase {
 public:
  // The installer has ended: the dialog ends with kInstallFinished.
  static constexpr UINT WM_INSTALL_FINISHED = WM_APP + 0x11;
  // The installer could not be started; wParam holds the HRESULT. The
  // handler shows the failure owned by the dialog.
  static constexpr UINT WM_INSTALL_LAUNCH_FAILED = WM_APP + 0x12;
  // Sent after WM_INSTALL_LAUNCH_FAILED: the dialog ends with IDCANCEL.
  static constexpr UINT WM_INSTALL_CANCEL = WM_APP + 0x13;

  static constexpr INT_PTR kInstallFinished = 1000;
  // The installer, relative to the working directory, and its arguments.
  static constexpr std::u16string_view kInstallerPath = u"runtime/MicrosoftEdgeWebView2RuntimeInstallerX64.exe";

  CRuntimeInstallDlg() = default;
  // Waits for the worker, so that no thread of the dialog outlives it.
  ~CRuntimeInstallDlg() override;

  DialogTemplate GetDialogTemplate() const override;
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

  LRESULT OnInitDialog();
  LRESULT OnInstallFinished();
  LRESULT OnInstallLaunchFailed(HRESULT hr);
  LRESULT OnInstallCancel();

  // The worker thread's routine: starts the installer, waits for it and
  // tells the dialog. Returns 0.
  DWORD InstallThreadProc(HWND dialog);

 private:
  // Sends to the dialog unless it has already ended; a send to an ended
  // dialog would go to a window that no longer exists.
  void SendToDialog(HWND dialog, UINT message, WPARAM wParam);
  // Joins the worker, answering the sends it may still be waiting on.
  void JoinWorker();

  std::thread m_worker;
  std::atomic<bool> m_ended{false};
  std::mutex m_doneMutex;
  std::condition_variable m_doneChanged;
  bool m_workerDone = false;
};
