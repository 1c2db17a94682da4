#include "fileops/CopyProgressDlg.h"

#include <thread>

#include "platform/ISystem.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"

namespace {
// A modal frame with a caption and a window menu, in the dialog font.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | 0xC8;
}  // namespace

HRESULT CopyProgressDlg::Copy(HWND owner, const std::u16string& source, const std::u16string& destination) {
  auto state = std::make_shared<State>();
  ISystem& system = Platform::System();
  std::thread worker([state, &system, source, destination] {
    const HRESULT hr = system.CopyFileReplacing(source, destination, &state->stop);
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
    const std::size_t slash = destination.rfind(u'/');
    CopyProgressDlg dialog(state, slash == std::u16string::npos ? destination : destination.substr(slash + 1));
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
  dialogTemplate.height = 62;
  dialogTemplate.style = kDialogStyle;
  dialogTemplate.items = {
      {DialogItemKind::Static, IDC_COPY_TEXT, RECT{10, 8, 170, 16},
       m_fileName + std::u16string(LoadStringResource(IDS_COPY_PROGRESS_TEXT)), WS_CHILD | WS_VISIBLE | SS_LEFT},
      {DialogItemKind::ProgressBar, IDC_PROGRESS, RECT{10, 20, 170, 30}, u"", WS_CHILD | WS_VISIBLE | PBS_MARQUEE},
      {DialogItemKind::Button, IDCANCEL, RECT{120, 40, 170, 54}, std::u16string(LoadStringResource(IDS_CANCEL)),
       WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON},
  };
  return dialogTemplate;
}

bool CopyProgressDlg::ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG: {
      // The owner is the view inside the frame; the dialog sits over the
      // middle of the frame, as the program's other dialogs do.
      IWindowing& windowing = Platform::Windowing();
      HWND frame = GetParent();
      while (frame && (static_cast<DWORD>(windowing.GetWindowLong(frame, GWL_STYLE)) & WS_CHILD))
        frame = windowing.GetParent(frame);
      CenterWindow(frame);
      windowing.SendMessage(windowing.GetDlgItem(hwnd, IDC_PROGRESS), PBM_SETMARQUEE, TRUE, 50);
      std::lock_guard lock(m_state->mutex);
      if (m_state->done)
        EndDialog(IDOK);
      else
        m_state->dialog = hwnd;
      result = TRUE;
      return true;
    }
    // The Cancel button, Esc and the close box all arrive as IDCANCEL. The
    // dialog stays until the worker has removed its temporary file, so that
    // nothing of the copy is left behind when the window is gone.
    case WM_COMMAND:
      if (LOWORD(wParam) != IDCANCEL) return false;
      m_state->stop = true;
      result = 0;
      return true;
    case WM_COPY_FINISHED:
      EndDialog(IDOK);
      result = 0;
      return true;
    default:
      return false;
  }
}
