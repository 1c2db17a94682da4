#pragma once
// One request to save a copy of a local file, made when a link to a file of a
// `saveAsExt` type is followed and handled later by the view's WM_SAVE_COPY
// through SaveCopyQueue.
#include <string>

#include "com/Types.h"
#include "settings/SaveAsEntry.h"

// The identifier of the "open after saving" check box of the Save dialog.
inline constexpr UINT IDC_OPEN_AFTER_SAVE = 0x1001;

struct SaveCopyRequest {
  std::u16string fileTitle;   // the file's name without its extension
  std::u16string extension;   // the extension with its dot, case as in the path
  std::u16string sourcePath;  // the whole path of the file
  SaveAsEntry entry;          // the type the request was made for
};
