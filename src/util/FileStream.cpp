#include "util/FileStream.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <string>

#include "util/OpenFileForReading.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

FileStream::FileStream(UniqueFd fd, std::uint64_t offset, std::optional<std::uint64_t> remaining)
    : m_fd(std::move(fd)), m_start(offset), m_length(remaining), m_offset(offset), m_remaining(remaining) {}

HRESULT FileStream::Open(std::u16string_view path, IStream** stream) {
  if (!stream) return E_POINTER;
  *stream = nullptr;
  if (path.empty() || path.find(u'\0') != std::u16string_view::npos) return E_INVALIDARG;
  const std::optional<std::string> nativePath = WideToUtf8Exact(path);
  if (!nativePath) return HResultFromWin32(ERROR_INVALID_NAME);

  UniqueFd fd;
  struct stat info {};
  const HRESULT opened = OpenRegularFile(*nativePath, fd, info);
  if (FAILED(opened)) return opened;
  return Create(std::move(fd), 0, std::nullopt, stream);
}

HRESULT FileStream::OpenRegularFile(std::string_view nativePath, UniqueFd& file, struct stat& info) {
  UniqueFd fd;
  struct stat status {};
  const HRESULT opened = OpenFileForReading(nativePath, fd, status);
  if (FAILED(opened)) return opened;
  if (!S_ISREG(status.st_mode)) return HResultFromWin32(ERROR_FILE_NOT_FOUND);
  // The non-blocking flag only kept a named pipe from holding up the open;
  // regular files read the same either way, but the reads need not carry it.
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return HResultFromErrno(errno);
  file = std::move(fd);
  info = status;
  return S_OK;
}

HRESULT FileStream::Create(UniqueFd file, std::uint64_t offset, std::optional<std::uint64_t> length,
                           IStream** stream) {
  if (!stream) return E_POINTER;
  *stream = nullptr;
  if (!file.IsValid() || offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return E_INVALIDARG;
  ComPtr<FileStream> object = MakeComObject<FileStream>(std::move(file), offset, length);
  if (!object) return E_OUTOFMEMORY;
  *stream = object.Detach();
  return S_OK;
}

HRESULT FileStream::Read(void* buffer, ULONG bytes, ULONG* bytesRead) {
  if (bytesRead) *bytesRead = 0;
  if (!buffer && bytes > 0) return E_POINTER;
  const ULONG wanted = m_remaining ? static_cast<ULONG>(std::min<std::uint64_t>(bytes, *m_remaining)) : bytes;
  ULONG total = 0;
  auto* out = static_cast<unsigned char*>(buffer);
  while (total < wanted) {
    // Never past what off_t can address: such a read could only fail.
    const std::uint64_t room = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) - m_offset;
    const std::size_t ask = static_cast<std::size_t>(std::min<std::uint64_t>(wanted - total, room));
    if (ask == 0) break;
    const ssize_t got = ::pread(m_fd.Get(), out + total, ask, static_cast<off_t>(m_offset));
    if (got < 0) {
      if (errno == EINTR) continue;
      if (bytesRead) *bytesRead = total;
      return HResultFromErrno(errno);
    }
    if (got == 0) break;
    total += static_cast<ULONG>(got);
    m_offset += static_cast<std::uint64_t>(got);
    if (m_remaining) *m_remaining -= static_cast<std::uint64_t>(got);
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
  // A part is as long as what the file holds of it now.
  const std::uint64_t size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
  const std::uint64_t available = size > m_start ? size - m_start : 0;
  statstg->cbSize = m_length ? std::min(*m_length, available) : available;
  return S_OK;
}
