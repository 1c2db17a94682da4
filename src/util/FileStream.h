#pragma once
// A read-only stream over an open file, or over a part of it, handed to the
// engine as the body of a local file response. It reads on demand with
// pread() from its own position, so a large file is never held in memory as a
// whole, and a part never reads a byte beyond its end. The program answers
// local requests with whole files; the runtime answers media byte ranges with
// parts of them.
#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string_view>

#include "com/IStream.h"
#include "com/RuntimeClass.h"
#include "util/UniqueFd.h"

class FileStream final : public RuntimeClass<IStream> {
 public:
  // Opens an existing regular file (UTF-16 path) and makes a stream over the
  // whole of it. An empty path or one holding a NUL gives E_INVALIDARG, one
  // holding an unpaired surrogate 0x8007007B (it names no file exactly); the
  // other failures are those of OpenRegularFile. `*stream` is null on failure.
  static HRESULT Open(std::u16string_view path, IStream** stream);

  // Opens an existing regular file (native UTF-8 path) for a stream, through
  // the shared opener, so a named pipe never blocks the caller. Anything that
  // is not a regular file is refused: a folder with ERROR_ACCESS_DENIED, a
  // named pipe or device with ERROR_FILE_NOT_FOUND (serving either could
  // block every later read); other failures give the HRESULT of the OS
  // failure. On success `info` holds the file's status, whose size a caller
  // needs to answer a byte range.
  static HRESULT OpenRegularFile(std::string_view nativePath, UniqueFd& file, struct stat& info);

  // Makes a stream over `length` bytes of an open file starting at `offset`,
  // or over everything from `offset` on when no length is given. A file that
  // ends early ends the stream early. E_INVALIDARG for a closed descriptor or
  // an offset beyond what the file system can address.
  static HRESULT Create(UniqueFd file, std::uint64_t offset, std::optional<std::uint64_t> length, IStream** stream);

  // Reads up to `bytes` bytes: S_OK when all of them came, S_FALSE at the end
  // of the file or of the part. On a read failure the bytes read before it
  // are still reported in `*bytesRead`, so that a caller can hand them on
  // before giving up.
  HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) override;
  // The size of the stream as the file is now: the whole file, or what the
  // file holds of the part. Never a name (the stream keeps none).
  HRESULT Stat(STATSTG* statstg, DWORD grfStatFlag) override;

 private:
  FileStream(UniqueFd fd, std::uint64_t offset, std::optional<std::uint64_t> remaining);
  template <typename T, typename... Args>
  friend ComPtr<T> MakeComObject(Args&&... args);

  UniqueFd m_fd;
  std::uint64_t m_start;                   // where the part begins
  std::optional<std::uint64_t> m_length;   // the part's length; nothing: to the end of the file
  std::uint64_t m_offset;
  std::optional<std::uint64_t> m_remaining;  // nothing: up to the end of the file
};
