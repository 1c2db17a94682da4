#include "runtime/installer/RuntimeInstaller.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>

#include "loader/BrowserVersion.h"
#include "loader/FindClientLibrary.h"
#include "loader/ReleaseChannel.h"
#include "platform/linux/ElfVersionSection.h"
#include "platform/linux/RegistryStore.h"
#include "runtime/installer/RegistryStoreEditor.h"
#include "runtime/installer/StoreFile.h"
#include "util/Strings.h"

namespace fs = std::filesystem;

namespace {

// The runtime search reads a registered folder into a buffer of 520 bytes
// of UTF-16 with its terminator; a longer path would never be found, so it
// is refused here rather than registered in vain.
constexpr std::size_t kRegistryBufferBytes = 520;

std::optional<BrowserVersion> ParseVersion(const std::string& text) {
  return BrowserVersion::Parse(Utf8ToWide(text));
}

// A version folder's name must be the plain dotted number the library
// carries, so that the folder the search reads its version from and the
// library agree.
bool IsPlainVersion(const std::string& text) {
  int dots = 0;
  bool digit = false;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && digit) {
      ++dots;
      digit = false;
    } else {
      return false;
    }
  }
  return digit && dots == 3;
}

}  // namespace

RuntimeInstaller::RuntimeInstaller(RuntimeTree::FileCopier copier) : m_copier(std::move(copier)) {}

std::string RuntimeInstaller::RegistrationKey() {
  return WideToUtf8(std::u16string(kChannelKeyPrefix) + std::u16string(kReleaseChannels[0].keyName));
}

std::string RuntimeInstaller::ClientLibraryRelativePath() { return WideToUtf8(kClientLibraryRelativePath); }

bool RuntimeInstaller::FindPayload(const fs::path& payloadFolder, std::string* version, fs::path* folder,
                                   std::string* error) {
  std::optional<BrowserVersion> best;
  std::error_code ec;
  for (fs::directory_iterator it(payloadFolder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!IsPlainVersion(name)) continue;
    const fs::path library = it->path() / ClientLibraryRelativePath();
    std::u16string carried;
    if (FAILED(ElfVersionSection::ReadFromFile(library.string(), &carried))) continue;
    if (WideToUtf8(carried) != name) {
      *error = library.string() + ": carries version " + WideToUtf8(carried) + ", not " + name;
      return false;
    }
    const auto parsed = ParseVersion(name);
    if (!parsed || (best && *parsed <= *best)) continue;
    best = parsed;
    *version = name;
    *folder = it->path();
  }
  if (ec) {
    *error = payloadFolder.string() + ": " + ec.message();
    return false;
  }
  if (!best) {
    *error = "no runtime for this architecture in " + payloadFolder.string();
    return false;
  }
  if (*best < kMinimumBrowserVersion) {
    *error = "the runtime " + *version + " is older than the program accepts";
    return false;
  }
  return true;
}

bool RuntimeInstaller::PlaceTree(const fs::path& source, const fs::path& root, const std::string& version,
                                 bool* copied, std::string* error) {
  const fs::path destination = root / version;
  std::error_code ec;
  std::string difference;
  *copied = false;
  if (fs::is_directory(fs::symlink_status(destination, ec)) && RuntimeTree::Equal(source, destination, &difference))
    return true;

  fs::create_directories(root, ec);
  if (ec) {
    *error = root.string() + ": " + ec.message();
    return false;
  }
  // The hidden name has no version in its last component, so nothing
  // registered can ever point at it.
  std::string pattern = (root / ("." + version + ".partial-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    *error = root.string() + ": " + std::strerror(errno);
    return false;
  }
  const fs::path staging(pattern);
  const auto discard = [&staging] {
    std::error_code ignored;
    fs::remove_all(staging, ignored);
  };
  // mkdtemp makes the folder private; the runtime is read by everybody.
  ::chmod(staging.c_str(), 0755);

  if (!RuntimeTree::Copy(source, staging, m_copier, error)) {
    discard();
    return false;
  }
  if (!RuntimeTree::Equal(source, staging, error)) {
    *error = "verification failed: " + *error;
    discard();
    return false;
  }

  if (::rename(staging.c_str(), destination.c_str()) == 0) {
    *copied = true;
    return true;
  }
  const int renameError = errno;
  if (renameError != EEXIST && renameError != ENOTEMPTY) {
    *error = destination.string() + ": " + std::strerror(renameError);
    discard();
    return false;
  }
  // A folder of that name with other content (damaged, or left by an older
  // build of the same version) is swapped out in one step, so the version
  // folder is never missing or half-filled; the old content goes after.
  if (::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, destination.c_str(), RENAME_EXCHANGE) != 0) {
    *error = destination.string() + ": " + std::strerror(errno);
    discard();
    return false;
  }
  discard();
  *copied = true;
  return true;
}

bool RuntimeInstaller::Register(const InstallTarget& target, const std::string& version, const fs::path& folder,
                                bool* registered, std::string* error) {
  const std::string value = folder.string();
  const std::u16string wide = Utf8ToWide(value);
  if (wide.empty() || (wide.size() + 1) * sizeof(char16_t) > kRegistryBufferBytes) {
    *error = value + ": the path is too long to register or not valid UTF-8";
    return false;
  }

  std::string text;
  if (!StoreFile::Read(target.storePath, &text, error)) return false;

  // A newer runtime that is registered and still in place stays the one
  // the program uses; installing an older payload must not downgrade it.
  const RegistryStore current = RegistryStore::Parse(text, target.hive);
  RegistryValue existing;
  if (SUCCEEDED(current.ReadValue(Utf8ToWide(RegistrationKey()), Utf8ToWide(kRegistrationValue), &existing)) &&
      existing.type == REG_SZ) {
    const std::size_t slash = existing.text.rfind(u'/');
    const auto registeredVersion =
        slash == std::u16string::npos ? std::nullopt : BrowserVersion::Parse(existing.text.substr(slash + 1));
    const auto ours = ParseVersion(version);
    std::error_code ec;
    if (registeredVersion && ours && *registeredVersion > *ours &&
        fs::is_regular_file(fs::path(WideToUtf8(existing.text)) / ClientLibraryRelativePath(), ec)) {
      *registered = false;
      return true;
    }
    if (existing.text == wide) {
      *registered = true;
      return true;
    }
  }

  const auto updated = RegistryStoreEditor::SetText(text, target.hive, RegistrationKey(), kRegistrationValue, value);
  if (!updated) {
    *error = value + ": the path cannot be written to the registry store";
    return false;
  }
  if (!StoreFile::Replace(target.storePath, *updated, error)) return false;
  *registered = true;
  return true;
}

bool RuntimeInstaller::Install(const fs::path& payloadFolder, const InstallTarget& target, InstallOutcome* outcome,
                               std::string* error) {
  InstallOutcome result;
  fs::path source;
  if (!FindPayload(payloadFolder, &result.version, &source, error)) return false;
  result.folder = fs::path(target.runtimeRoot) / result.version;
  if (!PlaceTree(source, target.runtimeRoot, result.version, &result.copied, error)) return false;
  if (!Register(target, result.version, result.folder, &result.registered, error)) return false;
  *outcome = std::move(result);
  return true;
}
