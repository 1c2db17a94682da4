#include "fileops/SaveCopy.h"

#include "fileops/CopyProgressDlg.h"
#include "fileops/GetExtensionKey.h"
#include "fileops/ShellOpen.h"
#include "platform/ISystem.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "util/Win32Error.h"

std::u16string SaveCopy::Destination(const std::u16string& chosen, const std::u16string& extension) {
  if (FindExtension(chosen) != chosen.size()) return chosen;
  return chosen + extension;
}

HRESULT SaveCopy::Run(HWND owner, const SaveCopyRequest& request, bool& openAfterSave) {
  IWindowing& windowing = Platform::Windowing();
  ISystem& system = Platform::System();

  SaveFileDialog dialog;
  dialog.title = LoadStringResource(IDS_SAVE_DIALOG_TITLE);
  dialog.typeName = request.entry.name;
  dialog.typePattern = u"*" + request.entry.ext;
  dialog.fileName = request.fileTitle;
  dialog.offerCheckBox = request.entry.open;
  if (dialog.offerCheckBox) {
    dialog.checkBoxLabel = LoadStringResource(IDS_OPEN_AFTER_SAVE);
    dialog.checkBoxState = openAfterSave;
  }
  SaveFileDialogResult chosen;
  const HRESULT shown = windowing.ShowSaveFileDialog(owner, dialog, &chosen);
  // Cancelled, or no dialog to show: nothing is saved and nothing is said.
  if (shown == HResultFromWin32(ERROR_CANCELLED)) return S_OK;
  if (FAILED(shown)) return shown;
  if (chosen.path.empty()) return S_OK;

  // The dialog asked about replacing the name the user confirmed. The
  // extension added here can name another existing file ("Report" saved
  // as "Report.pdf"), which nobody was asked about yet.
  const std::u16string destination = Destination(chosen.path, request.extension);
  if (destination != chosen.path && system.FileExists(destination)) {
    const std::u16string question = destination + std::u16string(LoadStringResource(IDS_CONFIRM_REPLACE));
    if (windowing.MessageBox(owner, question, u"", MB_YESNO | MB_ICONWARNING) != IDYES) return S_OK;
  }

  const HRESULT copied = CopyProgressDlg::Copy(owner, request.sourcePath, destination);
  // The user stopped the copy: nothing was saved, as they asked, and
  // nothing is said about it.
  if (copied == HResultFromWin32(ERROR_CANCELLED)) return S_OK;
  if (FAILED(copied)) {
    windowing.MessageBox(owner, LoadStringResource(IDS_SAVE_FAILED), u"", MB_OK);
    return copied;
  }
  if (chosen.checkBoxOffered) {
    openAfterSave = chosen.checked;
    if (chosen.checked) ShellOpen(destination);
  }
  return S_OK;
}
