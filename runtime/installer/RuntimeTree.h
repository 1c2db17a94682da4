#pragma once
// Copying and comparing the folder tree of one runtime version. Only folders
// and regular files make up a runtime; anything else in a payload (a device,
// a pipe, a link that leads nowhere) is refused, so the copy never hangs on
// a pipe and never installs something the loader cannot use.
#include <filesystem>
#include <functional>
#include <string>

class RuntimeTree {
 public:
  // Copies one regular file into a new file `to` (which must not exist)
  // with the source's permission bits. Reports a failure in `error`.
  using FileCopier =
      std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to, std::string* error)>;

  // The ordinary copier: reads and writes the whole file and flushes it to
  // the disk before it reports success.
  static bool CopyFile(const std::filesystem::path& from, const std::filesystem::path& to, std::string* error);

  // Copies everything below `from` into the existing, empty folder `to`.
  static bool Copy(const std::filesystem::path& from, const std::filesystem::path& to, const FileCopier& copier,
                   std::string* error);

  // True when both trees hold the same folders and files, byte for byte.
  // `error` says where they differ.
  static bool Equal(const std::filesystem::path& a, const std::filesystem::path& b, std::string* error);
};
