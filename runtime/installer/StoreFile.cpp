#include "runtime/installer/StoreFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "util/ReadFileToString.h"
#include "util/Strings.h"
#include "util/UniqueFd.h"
#include "util/Win32Error.h"

namespace fs = std::filesystem;

bool StoreFile::Read(const std::string& path, std::string* text, std::string* error) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) {
    text->clear();
    return true;
  }
  std::string content;
  // One byte more than allowed tells a store at the limit from a larger one.
  const HRESULT hr = ReadFileToString(Utf8ToWide(path), content, kMaximumSize + 1);
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    *error = path + ": cannot read the registry store (" + code + ")";
    return false;
  }
  if (content.size() > kMaximumSize) {
    *error = path + ": the registry store is too large to rewrite";
    return false;
  }
  *text = std::move(content);
  return true;
}

bool StoreFile::Replace(const std::string& path, const std::string& text, std::string* error) {
  fs::path target(path);
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (ec) {
      *error = path + ": " + ec.message();
      return false;
    }
    target = resolved;
  }
  const fs::path folder = target.parent_path();
  fs::create_directories(folder, ec);
  if (ec) {
    *error = folder.string() + ": " + ec.message();
    return false;
  }

  // The new store keeps the old one's permissions; a new one is readable by
  // everybody, as the loader of every user reads the machine store.
  mode_t mode = 0644;
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) mode = old.st_mode & 0777;

  std::string temporary = (folder / ("." + target.filename().string() + ".new-XXXXXX")).string();
  UniqueFd fd(::mkstemp(temporary.data()));
  if (!fd.IsValid()) {
    *error = folder.string() + ": " + std::strerror(errno);
    return false;
  }
  const auto fail = [&](int number) {
    *error = target.string() + ": " + std::strerror(number);
    ::unlink(temporary.c_str());
    return false;
  };
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd.Get(), data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  if (::fchmod(fd.Get(), mode) != 0 || ::fsync(fd.Get()) != 0) return fail(errno);
  // The data reached the disk with fsync, so the close cannot lose any.
  fd.Reset();
  if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
  return true;
}
