#pragma once
// Copies a file so that the destination is either the old file or the whole
// new one, never a half-written mixture: the bytes go to a temporary file in
// the destination's folder (so the final step stays on one file system),
// which is flushed to the disk and then renamed over the destination.
#include <atomic>
#include <string_view>

#include "com/HResult.h"
#include "com/Types.h"

class FileCopy {
 public:
  // Native (UTF-8) paths. A destination that is the source itself (the same
  // file, by any name) or a read-only file fails with ERROR_ACCESS_DENIED
  // and is left alone; a copy given up through `stop` (looked at before
  // every piece and before the final rename) fails with ERROR_CANCELLED;
  // other failures give the Windows code of their errno. Every failure
  // removes the temporary file.
  static HRESULT Replace(std::string_view source, std::string_view destination,
                         const std::atomic<bool>* stop = nullptr);
};
