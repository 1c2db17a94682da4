#include "util/OpenFileForReading.h"

#include <fcntl.h>

#include <cerrno>
#include <string>

#include "com/HResult.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

HRESULT OpenFileForReading(std::u16string_view path, UniqueFd& file, struct stat& info) {
  // A NUL inside the path would silently shorten it at the OS boundary and
  // open a different file from the one named, so such a path is refused.
  if (path.find(u'\0') != std::u16string_view::npos) return HResultFromWin32(ERROR_INVALID_NAME);

  // O_NONBLOCK keeps a FIFO named in place of a file from blocking the
  // program until some writer appears; it does not change regular files.
  const std::string nativePath = WideToUtf8(path);
  UniqueFd opened(::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!opened.IsValid()) return HResultFromErrno(errno);
  if (::fstat(opened.Get(), &info) != 0) return HResultFromErrno(errno);
  // Opening a folder as a file fails on the system this program comes from;
  // POSIX opens it and fails only at the read, so refuse it here the same way.
  if (S_ISDIR(info.st_mode)) return HResultFromWin32(ERROR_ACCESS_DENIED);
  file = std::move(opened);
  return S_OK;
}
