#pragma once
// Payload folders for installer tests: version folders laid out as the
// runtime search expects, holding a stand-in library that carries the
// version and a web extension file.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "RuntimeInstaller.h"
#include "platform/linux/RegistryStore.h"
#include "util/Strings.h"

namespace installer_test {

namespace fs = std::filesystem;

inline fs::path LibraryIn(const fs::path& versionFolder) {
  return versionFolder / RuntimeInstaller::ClientLibraryRelativePath();
}

// Adds <payload>/<folderName> holding the stand-in library of `version`.
inline fs::path AddVersion(const fs::path& payload, const std::string& version,
                           const std::string& folderName = std::string()) {
  const fs::path folder = payload / (folderName.empty() ? version : folderName);
  const fs::path library = LibraryIn(folder);
  fs::create_directories(library.parent_path() / "webextension");
  fs::copy_file(fs::path(FAKE_RUNTIME_DIR) / version / "libEmbeddedBrowserWebView.so", library,
                fs::copy_options::overwrite_existing);
  std::ofstream(library.parent_path() / "webextension" / "libVellumWebExtension.so") << "extension " << version;
  return folder;
}

inline std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The stable channel's registered folder in a store file, or "" when none.
inline std::string RegisteredFolder(const fs::path& store, RegistryHive hive = RegistryHive::CurrentUser) {
  const RegistryStore parsed = RegistryStore::Parse(ReadAll(store), hive);
  RegistryValue value;
  if (FAILED(parsed.ReadValue(Utf8ToWide(RuntimeInstaller::RegistrationKey()), u"EBWebView", &value))) return "";
  return WideToUtf8(value.text);
}

// Everything in a folder, for checks that a failure left nothing behind.
inline std::size_t EntryCount(const fs::path& folder) {
  std::error_code ec;
  if (!fs::exists(folder, ec)) return 0;
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace installer_test
