#include "runtime/installer/RuntimeTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <set>
#include <system_error>

#include "util/UniqueFd.h"
#include "util/WriteAll.h"

namespace fs = std::filesystem;

namespace {

std::string Describe(const fs::path& path, int error) { return path.string() + ": " + std::strerror(error); }

// Reads up to `size` bytes, fewer only at the end of the file.
ssize_t ReadFull(int fd, char* data, std::size_t size) {
  std::size_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(fd, data + total, size - total);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  return static_cast<ssize_t>(total);
}

// Opens a payload file for reading; only a regular file will do.
UniqueFd OpenRegular(const fs::path& path, struct stat* info, std::string* error) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.IsValid()) {
    *error = Describe(path, errno);
    return UniqueFd();
  }
  if (::fstat(fd.Get(), info) != 0) {
    *error = Describe(path, errno);
    return UniqueFd();
  }
  if (!S_ISREG(info->st_mode)) {
    *error = path.string() + ": not a regular file";
    return UniqueFd();
  }
  return fd;
}

bool SameFile(const fs::path& a, const fs::path& b, std::string* error) {
  struct stat infoA {};
  struct stat infoB {};
  const UniqueFd fdA = OpenRegular(a, &infoA, error);
  if (!fdA.IsValid()) return false;
  const UniqueFd fdB = OpenRegular(b, &infoB, error);
  if (!fdB.IsValid()) return false;
  if (infoA.st_size != infoB.st_size) {
    *error = b.string() + ": size differs from " + a.string();
    return false;
  }
  std::array<char, 65536> bufferA;
  std::array<char, 65536> bufferB;
  for (;;) {
    const ssize_t gotA = ReadFull(fdA.Get(), bufferA.data(), bufferA.size());
    const ssize_t gotB = ReadFull(fdB.Get(), bufferB.data(), bufferB.size());
    if (gotA < 0 || gotB < 0) {
      *error = Describe(gotA < 0 ? a : b, errno);
      return false;
    }
    if (gotA != gotB || std::memcmp(bufferA.data(), bufferB.data(), static_cast<std::size_t>(gotA)) != 0) {
      *error = b.string() + ": content differs from " + a.string();
      return false;
    }
    if (gotA == 0) return true;
  }
}

// The entries of a tree as relative paths, folders marked with a trailing
// '/', or nothing when the walk fails.
bool ListTree(const fs::path& root, std::set<std::string>* entries, std::string* error) {
  std::error_code ec;
  fs::recursive_directory_iterator it(root, ec);
  for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
    std::error_code kindError;
    const bool folder = it->is_directory(kindError);
    entries->insert(fs::relative(it->path(), root, kindError).string() + (folder ? "/" : ""));
  }
  if (ec) {
    *error = root.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

bool RuntimeTree::CopyFile(const fs::path& from, const fs::path& to, std::string* error) {
  struct stat info {};
  const UniqueFd source = OpenRegular(from, &info, error);
  if (!source.IsValid()) return false;
  UniqueFd target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 0777));
  if (!target.IsValid()) {
    *error = Describe(to, errno);
    return false;
  }
  std::array<char, 65536> buffer;
  for (;;) {
    const ssize_t got = ReadFull(source.Get(), buffer.data(), buffer.size());
    if (got < 0) {
      *error = Describe(from, errno);
      return false;
    }
    if (got == 0) break;
    if (!WriteAll(target.Get(), buffer.data(), static_cast<std::size_t>(got))) {
      *error = Describe(to, errno);
      return false;
    }
  }
  // The permission bits as the source has them, whatever the umask took away.
  if (::fchmod(target.Get(), info.st_mode & 0777) != 0 || ::fsync(target.Get()) != 0) {
    *error = Describe(to, errno);
    return false;
  }
  return true;
}

bool RuntimeTree::Copy(const fs::path& from, const fs::path& to, const FileCopier& copier, std::string* error) {
  std::error_code ec;
  fs::recursive_directory_iterator it(from, ec);
  for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
    const fs::path target = to / fs::relative(it->path(), from, ec);
    if (ec) break;
    std::error_code kindError;
    const fs::file_status status = it->status(kindError);
    if (fs::is_directory(status)) {
      if (::mkdir(target.c_str(), 0755) != 0) {
        *error = Describe(target, errno);
        return false;
      }
    } else if (fs::is_regular_file(status)) {
      if (!copier(it->path(), target, error)) return false;
    } else {
      *error = it->path().string() + ": neither a folder nor a regular file";
      return false;
    }
  }
  if (ec) {
    *error = from.string() + ": " + ec.message();
    return false;
  }
  return true;
}

bool RuntimeTree::Equal(const fs::path& a, const fs::path& b, std::string* error) {
  std::set<std::string> entriesA;
  std::set<std::string> entriesB;
  if (!ListTree(a, &entriesA, error) || !ListTree(b, &entriesB, error)) return false;
  if (entriesA != entriesB) {
    *error = b.string() + ": the files differ from " + a.string();
    return false;
  }
  for (const std::string& entry : entriesA) {
    if (entry.back() == '/') continue;
    if (!SameFile(a / entry, b / entry, error)) return false;
  }
  return true;
}
