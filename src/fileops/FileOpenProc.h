#pragma once
// Opens the file with the program the desktop associates with it.
#include "fileops/FileProc.h"

class FileOpenProc final : public FileProc {
 public:
  // Always S_OK: a launch that fails stays silent.
  HRESULT Run(const std::u16string& path) override;
};
