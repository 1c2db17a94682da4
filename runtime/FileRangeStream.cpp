#include "FileRangeStream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

HRESULT FileRangeStream::Read(void* buffer, ULONG bytes, ULONG* bytesRead) {
  if (!buffer && bytes > 0) return E_POINTER;
  const std::uint64_t want = std::min<std::uint64_t>(bytes, m_remaining);
  std::uint64_t done = 0;
  while (done < want) {
    const ssize_t n = ::pread(m_fd.Get(), static_cast<char*>(buffer) + done, want - done,
                              static_cast<off_t>(m_offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (bytesRead) *bytesRead = static_cast<ULONG>(done);
      return HResultFromWin32(30);  // ERROR_READ_FAULT
    }
    if (n == 0) break;  // the file got shorter: end of the range
    done += static_cast<std::uint64_t>(n);
  }
  m_offset += done;
  m_remaining = done < want ? 0 : m_remaining - done;
  if (bytesRead) *bytesRead = static_cast<ULONG>(done);
  return done == bytes ? S_OK : S_FALSE;
}
