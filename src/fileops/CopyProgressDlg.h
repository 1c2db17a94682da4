#pragma once
// Copies a file on a worker thread so that a large copy does not freeze the
// window. The user-interface thread waits for a short moment; a copy that
// takes longer shows a small dialog with a pulsing bar until it ends. The
// dialog has no button: the copy cannot be stopped half way without leaving
// the user unsure what was saved.
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

  // Copies `source` over `destination` (ISystem::CopyFileReplacing) and
  // returns its result once the copy has ended.
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
  };
  explicit CopyProgressDlg(std::shared_ptr<State> state) : m_state(std::move(state)) {}
  std::shared_ptr<State> m_state;
};
