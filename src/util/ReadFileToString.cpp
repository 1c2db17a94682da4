#include "util/ReadFileToString.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <utility>

#include "com/HResult.h"
#include "util/OpenFileForReading.h"
#include "util/UniqueFd.h"
#include "util/Win32Error.h"

namespace {

// Reads until `count` bytes have arrived or the file ends. POSIX may hand out
// fewer bytes than asked for without having reached the end, so a single
// read() call cannot tell a short file from a short read. Returns the errno
// of a failed read, or 0 with `delivered` set.
int ReadFully(int fd, char* buffer, std::size_t count, std::size_t& delivered) {
  delivered = 0;
  while (delivered < count) {
    const ssize_t got = ::read(fd, buffer + delivered, count - delivered);
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) break;
    delivered += static_cast<std::size_t>(got);
  }
  return 0;
}

}  // namespace

HRESULT ReadFileToString(const std::u16string& path, std::string& out, std::size_t maximum) {
  UniqueFd file;
  struct stat info {};
  const HRESULT opened = OpenFileForReading(path, file, info);
  if (FAILED(opened)) return opened;
  std::uint64_t size = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;

  if (size >= 2) {
    char mark[3] = {};
    const std::size_t markLength = size < 3 ? static_cast<std::size_t>(size) : 3;
    std::size_t delivered = 0;
    if (const int error = ReadFully(file.Get(), mark, markLength, delivered); error != 0) {
      return HResultFromErrno(error);
    }
    if (delivered != markLength) return HResultFromWin32(ERROR_HANDLE_EOF);
    if (markLength == 3 && mark[0] == '\xEF' && mark[1] == '\xBB' && mark[2] == '\xBF') {
      size -= 3;
    } else {
      // A failing seek is deliberately not checked: the read below then
      // starts after the first bytes and comes up short, which reports the
      // file as unreadable.
      (void)::lseek(file.Get(), 0, SEEK_SET);
    }
  }

  if (maximum != 0 && size > maximum) size = maximum;
  if (size > kReadFileToStringMaximumSize) return HResultFromWin32(ERROR_FILE_TOO_LARGE);

  std::string buffer;
  try {
    buffer.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  std::size_t delivered = 0;
  if (const int error = ReadFully(file.Get(), buffer.data(), buffer.size(), delivered); error != 0) {
    return HResultFromErrno(error);
  }
  if (delivered != buffer.size()) return HResultFromWin32(ERROR_HANDLE_EOF);

  out = std::move(buffer);
  return S_OK;
}
