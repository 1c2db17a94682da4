#include "util/FileStream.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/OpenFileForReading.h"
#include "util/Win32Error.h"

FileStream::FileStream(UniqueFd fd) : m_fd(std::move(fd)) {}

HRESULT FileStream::Open(std::u16string_view path, IStream** stream) {
  if (!stream) return E_POINTER;
  *stream = nullptr;
  if (path.empty() || path.find(u'\0') != std::u16string_view::npos) return E_INVALIDARG;

  UniqueFd fd;
  struct stat info {};
  const HRESULT opened = OpenFileForReading(path, fd, info);
  if (FAILED(opened)) return opened;
  // Only regular files are served; the non-blocking flag that kept a named
  // pipe from holding up the open is taken off for the reads.
  if (!S_ISREG(info.st_mode)) return HResultFromWin32(ERROR_FILE_NOT_FOUND);

  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return HResultFromErrno(errno);

  ComPtr<FileStream> object = MakeComObject<FileStream>(std::move(fd));
  if (!object) return E_OUTOFMEMORY;
  *stream = object.Detach();
  return S_OK;
}

HRESULT FileStream::Read(void* buffer, ULONG bytes, ULONG* bytesRead) {
  if (bytesRead) *bytesRead = 0;
  if (!buffer && bytes > 0) return E_POINTER;
  ULONG total = 0;
  auto* out = static_cast<unsigned char*>(buffer);
  while (total < bytes) {
    const ssize_t got = ::read(m_fd.Get(), out + total, bytes - total);
    if (got < 0) {
      if (errno == EINTR) continue;
      // What was read before the failure is reported, so that the caller
      // can hand on those bytes before it gives up.
      if (bytesRead) *bytesRead = total;
      return HResultFromErrno(errno);
    }
    if (got == 0) break;
    total += static_cast<ULONG>(got);
  }
  if (bytesRead) *bytesRead = total;
  return total == bytes ? S_OK : S_FALSE;
}

HRESULT FileStream::Stat(STATSTG* statstg, DWORD) {
  if (!statstg) return E_POINTER;
  struct stat info {};
  if (::fstat(m_fd.Get(), &info) != 0) return HResultFromErrno(errno);
  *statstg = STATSTG{};
  statstg->type = STGTY_STREAM;
  statstg->cbSize = static_cast<UINT64>(info.st_size);
  return S_OK;
}
