#include "fileops/CopyProgressDlg.h"

#include <thread>

#include "platform/ISystem.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

HRESULT CopyProgressDlg::Copy(HWND owner, const std::u16string& source, const std::u16string& destination) {
  auto state = std::make_shared<State>();
  ISystem& system = Platform::System();
  std::thread worker([state, &system, source, destination] {
    const HRESULT hr = system.CopyFileReplacing(source, destination);
    std::lock_guard lock(state->mutex);
    state->hr = hr;
    state->done = true;
    if (state->dialog) Platform::Windowing().PostMessage(state->dialog, WM_COPY_FINISHED, 0, 0);
    state->finished.notify_all();
  });
  bool done;
  {
    std::unique_lock lock(state->mutex);
    done = state->finished.wait_for(lock, kQuietPeriod, [&] { return state->done; });
  }
  if (!done) {
    CopyProgressDlg dialog(state);
    // -1: the dialog could not be shown; the copy is then simply waited for.
    dialog.DoModal(owner);
  }
  worker.join();
  return state->hr;
}

DialogTemplate CopyProgressDlg::GetDialogTemplate() const {
  DialogTemplate dialogTemplate;
  dialogTemplate.caption = std::u16string(LoadStringResource(IDS_SAVE_DIALOG_TITLE));
  dialogTemplate.width = 180;
  dialogTemplate.height = 40;
  dialogTemplate.items.push_back(
      {DialogItemKind::ProgressBar, -1, RECT{10, 14, 170, 26}, u"", PBS_MARQUEE});
  return dialogTemplate;
}

bool CopyProgressDlg::ProcessWindowMessage(HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG: {
      std::lock_guard lock(m_state->mutex);
      if (m_state->done)
        EndDialog(IDOK);
      else
        m_state->dialog = hwnd;
      result = TRUE;
      return true;
    }
    // Esc and the close box arrive as IDCANCEL, which this dialog leaves
    // unanswered: only the end of the copy closes it.
    case WM_COPY_FINISHED:
      EndDialog(IDOK);
      result = 0;
      return true;
    default:
      return false;
  }
}
