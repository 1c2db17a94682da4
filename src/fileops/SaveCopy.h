#pragma once
// The second half of saving a copy, run from the view's WM_SAVE_COPY: the
// Save dialog, the copy and, when asked, opening the copy.
#include "com/Types.h"
#include "fileops/SaveCopyRequest.h"

class SaveCopy {
 public:
  // Shows the Save dialog for the request, owned by `owner`, copies the file
  // to the chosen place and opens the copy when the check box is ticked.
  // `openAfterSave` is the check box's remembered state: its initial state,
  // and updated after a successful copy from a dialog that offered it.
  // Returns S_OK when the user cancelled the dialog or the copy, or the copy
  // succeeded, the copy's
  // failure after showing "ファイルを保存できません", or the dialog's failure.
  static HRESULT Run(HWND owner, const SaveCopyRequest& request, bool& openAfterSave);

  // The path the file is saved to: the chosen one, with the source's
  // extension appended when the chosen name has none.
  static std::u16string Destination(const std::u16string& chosen, const std::u16string& extension);
};
