#include "platform/linux/system/FileCopy.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <string>
#include <vector>

#include "util/OpenFileForReading.h"
#include "util/UniqueFd.h"
#include "util/Win32Error.h"
#include "util/WriteAll.h"

namespace {

// Makes the opener's non-blocking descriptor blocking. Regular files never
// make read() say EAGAIN, but the copy loop must not spin if one ever does.
bool MakeBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

}  // namespace

HRESULT FileCopy::Replace(std::string_view source, std::string_view destination, const std::atomic<bool>* stop) {
  UniqueFd input;
  struct stat sourceInfo{};
  HRESULT hr = OpenFileForReading(source, input, sourceInfo);
  if (FAILED(hr)) return hr;
  if (!S_ISREG(sourceInfo.st_mode)) return HResultFromWin32(ERROR_ACCESS_DENIED);

  const std::string target(destination);
  struct stat targetInfo{};
  if (::stat(target.c_str(), &targetInfo) == 0) {
    if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino)
      return HResultFromWin32(ERROR_ACCESS_DENIED);
    // The rename would replace a file its owner marked read-only, which a
    // copy written into the file itself could not: such a file stays. The
    // mode bits are asked too, because access() lets root write anything.
    if (::access(target.c_str(), W_OK) != 0 || (targetInfo.st_mode & 0222) == 0)
      return HResultFromWin32(ERROR_ACCESS_DENIED);
  }

  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
  std::string temporary = folder + (slash == std::string::npos ? "/" : "") + ".vellumview-copy-XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  UniqueFd output(::mkostemp(name.data(), O_CLOEXEC));
  if (!output.IsValid()) return HResultFromErrno(errno);
  temporary.assign(name.data());

  auto discard = [&](HRESULT hr) {
    output.Reset();
    ::unlink(temporary.c_str());
    return hr;
  };
  auto fail = [&](int error) { return discard(HResultFromErrno(error)); };
  auto stopped = [stop] { return stop && stop->load(); };
  std::vector<char> buffer(1 << 16);
  off_t copied = 0;
  for (;;) {
    if (stopped()) return discard(HResultFromWin32(ERROR_CANCELLED));
    const ssize_t got = ::read(input.Get(), buffer.data(), buffer.size());
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN && MakeBlocking(input.Get())) continue;
      return fail(errno);
    }
    if (!WriteAll(output.Get(), buffer.data(), static_cast<std::size_t>(got))) return fail(errno);
    copied += got;
  }
  // A source that changed while it was copied (written to, truncated or
  // grown) leaves a copy that is neither its old content nor its new one:
  // the copy fails and the destination stays as it was.
  struct stat endInfo{};
  if (::fstat(input.Get(), &endInfo) != 0) return fail(errno);
  if (copied != sourceInfo.st_size || endInfo.st_size != sourceInfo.st_size ||
      endInfo.st_mtim.tv_sec != sourceInfo.st_mtim.tv_sec || endInfo.st_mtim.tv_nsec != sourceInfo.st_mtim.tv_nsec) {
    return discard(HResultFromWin32(ERROR_FILE_INVALID));
  }
  // The copy gets the source's permission bits, as copies usually do.
  if (::fchmod(output.Get(), sourceInfo.st_mode & 07777 & ~static_cast<mode_t>(S_ISUID | S_ISGID)) != 0)
    return fail(errno);
  // On the disk before it replaces anything: a crash after the rename must
  // not leave an empty file where the old one was.
  if (::fsync(output.Get()) != 0) return fail(errno);
  // The last moment a stop can still leave the destination as it was.
  if (stopped()) return discard(HResultFromWin32(ERROR_CANCELLED));
  output.Reset();
  if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
  return S_OK;
}
