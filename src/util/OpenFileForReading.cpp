#include "util/OpenFileForReading.h"

#include <fcntl.h>

#include <cerrno>
#include <optional>
#include <string>

#include "com/HResult.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

HRESULT OpenFileForReading(std::string_view nativePath, UniqueFd& file, struct stat& info) {
  if (nativePath.find('\0') != std::string_view::npos) return HResultFromWin32(ERROR_INVALID_NAME);

  // O_NONBLOCK does not change how regular files read; it only keeps the
  // open of a FIFO from waiting for a writer.
  const std::string terminated(nativePath);
  UniqueFd opened(::open(terminated.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!opened.IsValid()) return HResultFromErrno(errno);
  struct stat status {};
  if (::fstat(opened.Get(), &status) != 0) return HResultFromErrno(errno);
  if (S_ISDIR(status.st_mode)) return HResultFromWin32(ERROR_ACCESS_DENIED);
  file = std::move(opened);
  info = status;
  return S_OK;
}

HRESULT OpenFileForReading(std::u16string_view path, UniqueFd& file, struct stat& info) {
  const std::optional<std::string> nativePath = WideToUtf8Exact(path);
  if (!nativePath) return HResultFromWin32(ERROR_INVALID_NAME);
  return OpenFileForReading(*nativePath, file, info);
}
