#include "util/Win32Error.h"

#include <cerrno>

namespace {

struct ErrnoMapping {
  int error;
  DWORD win32;
};

// The only errno-to-Windows table of the program. Where POSIX is finer or
// coarser than Windows the entry follows what the corresponding Windows call
// reports for the same situation: opening a folder as a file is refused with
// ERROR_ACCESS_DENIED there, so EISDIR maps to it as well.
constexpr ErrnoMapping kErrnoTable[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EBUSY, ERROR_BUSY},
    {ETXTBSY, ERROR_SHARING_VIOLATION},
    {EEXIST, ERROR_FILE_EXISTS},
    {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {EIO, ERROR_IO_DEVICE},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
    {EROFS, ERROR_WRITE_PROTECT},
    {EBADF, ERROR_INVALID_HANDLE},
    {EFBIG, ERROR_FILE_TOO_LARGE},
    {EOVERFLOW, ERROR_FILE_TOO_LARGE},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {EXDEV, ERROR_NOT_SAME_DEVICE},
    {EPIPE, ERROR_BROKEN_PIPE},
    {ENOEXEC, ERROR_BAD_EXE_FORMAT},
    {ENODEV, ERROR_INVALID_DRIVE},
    {ENXIO, ERROR_INVALID_DRIVE},
    {ESPIPE, ERROR_SEEK_ON_DEVICE},
    {EMLINK, ERROR_TOO_MANY_LINKS},
    {ENOSYS, ERROR_NOT_SUPPORTED},
    {EOPNOTSUPP, ERROR_NOT_SUPPORTED},
    {ETIMEDOUT, ERROR_TIMEOUT},
    {ECANCELED, ERROR_CANCELLED},
};

}  // namespace

DWORD Win32ErrorFromErrno(int error) {
  if (error == 0) return ERROR_SUCCESS;
  for (const auto& entry : kErrnoTable) {
    if (entry.error == error) return entry.win32;
  }
  return ERROR_GEN_FAILURE;
}

HRESULT HResultFromErrno(int error) {
  const DWORD win32 = Win32ErrorFromErrno(error);
  return HResultFromWin32(win32 == ERROR_SUCCESS ? ERROR_GEN_FAILURE : win32);
}
