#pragma once
// Copies a file on a worker thread so that a large copy does not freeze the
// window. The user-interface thread waits for a short moment; a copy that
// takes longer shows a small dialog, centred on the frame, naming the file
// with a pulsing bar and a Cancel button. Cancel (and Esc or the close box,
// which mean the same) asks the copy to stop: the temporary file goes, the
// destination stays as it was, and the dialog closes once the worker has
// given up, which it does before its next piece.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "com/HResult.h"
#include "window/CDialogImplBase.h"

class CopyProgressDlg final : public CDialogImplBase {
 public:
  // How long the copy may take before the dialog shows.
  static constexpr std::chrono::milliseconds kQuietPeriod{500};
  // Sent by the worker to the dialog when the copy has ended.
  static constexpr UINT WM_COPY_FINISHED = WM_APP + 0x11;
  // The line of text naming the file.
  static constexpr int IDC_COPY_TEXT = 1003;

  // Copies `source` over `destination` (ISystem::CopyFileReplacing) and
  // returns its result once the copy has ended: HRESULT_FROM_WIN32
  // (ERROR_CANCELLED) when the user stopped it.
  static HRESULT Copy(HWND owner, const std::u16string& source, const std::u16string& destination);

  DialogTemplate GetDialogTemplate() const override;
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    HRESULT hr = E_FAIL;
    HWND dialog = nullptr;
    std::atomic<bool> stop{false};
  };
  CopyProgressDlg(std::shared_ptr<State> state, std::u16string fileName)
      : m_state(std::move(state)), m_fileName(std::move(fileName)) {}
  std::shared_ptr<State> m_state;
  std::u16string m_fileName;
};
