#pragma once
// The one open of a local file for reading, shared by every reader in the
// program and the runtime: the settings reader, the file streams that answer
// local requests, the library checks of the runtime loader. It refuses what
// would make the open unsafe or misleading instead of leaving each caller to
// remember it:
// - a NUL inside the path, which would cut the path short at the
//   operating-system boundary and open a different file from the one named;
// - a folder, which POSIX would open and fail only at the first read;
// and it never blocks: a named pipe without a writer would otherwise hold
// the caller (often the user-interface thread) until some writer appears.
#include <sys/stat.h>

#include <string_view>

#include "com/Types.h"
#include "util/UniqueFd.h"

// Opens a native (UTF-8) path. On success `file` holds the descriptor (still
// non-blocking) and `info` its status; the caller decides which kinds of file
// it can use. A NUL in the path gives 0x8007007B (ERROR_INVALID_NAME), a
// folder 0x80070005 (ERROR_ACCESS_DENIED), other failures the Windows code of
// their errno. `file` and `info` are written only on success.
HRESULT OpenFileForReading(std::string_view nativePath, UniqueFd& file, struct stat& info);

// The same for a UTF-16 path. A path holding an unpaired surrogate names no
// file exactly and fails with 0x8007007B as well, rather than opening a file
// whose name holds U+FFFD in its place.
HRESULT OpenFileForReading(std::u16string_view path, UniqueFd& file, struct stat& info);
