#pragma once
// Opens a local file for reading the way every reader in the program needs
// it: a NUL inside the path is refused, a named pipe cannot block the open,
// and a folder fails as it does on the system this program comes from.
#include <sys/stat.h>

#include <string_view>

#include "com/Types.h"
#include "util/UniqueFd.h"

// On success `file` holds the descriptor (still non-blocking) and `info` its
// status. A NUL in the path gives 0x8007007B, a folder 0x80070005, other
// failures the Windows code of their errno.
HRESULT OpenFileForReading(std::u16string_view path, UniqueFd& file, struct stat& info);
