#pragma once
// Reads a whole file into a byte string; used for settings.json and for the
// folder link files.
#include <cstddef>
#include <string>

#include "com/Types.h"

// The largest file content the reader accepts, after the byte-order mark and
// the limit are taken off. A bigger file fails with
// HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE) (0x800700DF).
inline constexpr std::size_t kReadFileToStringMaximumSize = 0x7FFFFFFF;

// Reads the file at `path` into `out`, dropping a leading UTF-8 byte-order
// mark (EF BB BF). A non-zero `maximum` reads at most that many bytes after
// the mark. Returns S_OK, the OS failure as an HRESULT, or 0x80070026 when
// the file delivers fewer bytes than its size announced. `out` is written
// only on success.
HRESULT ReadFileToString(const std::u16string& path, std::string& out, std::size_t maximum = 0);
