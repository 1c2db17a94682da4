#pragma once
// A read-only stream over an open file, handed to the engine as the body of a
// local file response. It reads on demand from its file descriptor, so a
// large file is never held in memory as a whole.
#include <string>
#include <string_view>

#include "com/RuntimeClass.h"
#include "util/UniqueFd.h"
#include "webview/IStream.h"

class FileStream final : public RuntimeClass<IStream> {
 public:
  // Opens an existing regular file for reading. A missing file, a folder, a
  // device or pipe, and a file that cannot be read all fail with the HRESULT
  // of the OS failure (a folder with ERROR_ACCESS_DENIED, as the system's
  // own file streams answer it; another kind of file with
  // ERROR_FILE_NOT_FOUND) and leave `*stream` null.
  static HRESULT Open(std::u16string_view path, IStream** stream);

  HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) override;
  // The file's size as it is now; never a name (the stream keeps none).
  HRESULT Stat(STATSTG* statstg, DWORD grfStatFlag) override;

 private:
  explicit FileStream(UniqueFd fd);
  template <typename T, typename... Args>
  friend ComPtr<T> MakeComObject(Args&&... args);

  UniqueFd m_fd;
};
