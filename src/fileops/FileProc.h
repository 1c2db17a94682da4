#pragma once
// A file operation chosen by a local file's extension: open it with the
// desktop's default handler, open it with a named program, offer to save a
// copy, or open the folder a link file names. The navigation policy looks a
// handler up by extension key and calls Run; whatever Run reports is
// ignored there, because each handler tells the user itself.
#include <string>

#include "com/HResult.h"
#include "com/Types.h"

class FileProc {
 public:
  virtual ~FileProc() = default;
  // Performs the operation on a local path (never empty).
  virtual HRESULT Run(const std::u16string& path) = 0;
};
