#pragma once
// Opens the file with the program named in the settings.
#include <string>

#include "fileops/FileProc.h"

class FileOpenByProc final : public FileProc {
 public:
  explicit FileOpenByProc(std::u16string app) : app(std::move(app)) {}
  // Starts `app` with the path as its one argument. The argument list goes to
  // the program as it stands, with no shell in between, so a path holding
  // spaces or shell characters arrives whole and is never interpreted.
  // Always S_OK: a launch that fails stays silent.
  HRESULT Run(const std::u16string& path) override;

  const std::u16string app;
};
