// The runtime installer on payloads of stand-in libraries that carry a
// version. A fresh install that the program then finds is the install
// scenario under a display; a quiet second run of the bundled installer is the
// bundle script's.
#include "runtime/installer/RuntimeInstaller.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "platform/linux/RegistryStore.h"
#include "tests/util/TemporaryDirectory.h"
#include "util/ReadFileToString.h"
#include "util/Strings.h"

namespace {

namespace fs = std::filesystem;

fs::path LibraryIn(const fs::path& versionFolder) { return versionFolder / RuntimeInstaller::ClientLibraryRelativePath(); }

// Adds <payload>/<folderName> holding the stand-in library of `version`.
fs::path AddVersion(const fs::path& payload, const std::string& version, const std::string& folderName = "") {
  const fs::path folder = payload / (folderName.empty() ? version : folderName);
  const fs::path library = LibraryIn(folder);
  fs::create_directories(library.parent_path() / "webextension");
  fs::copy_file(fs::path(FAKE_RUNTIME_DIR) / version / "libEmbeddedBrowserWebView.so", library);
  std::ofstream(library.parent_path() / "webextension" / "libVellumWebExtension.so") << "extension " << version;
  return folder;
}

std::string ReadAll(const fs::path& path) {
  std::string text;
  ReadFileToString(Utf8ToWide(path.string()), text);
  return text;
}

// A file's status; a test that cannot read it fails.
struct stat Status(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status;
}

class RuntimeInstallerTest : public ::testing::Test {
 protected:
  RuntimeInstallerTest() { fs::create_directories(Payload()); }

  fs::path Payload() const { return m_folder.Path() / "payload"; }
  fs::path Root() const { return m_target.runtimeRoot; }
  fs::path Store() const { return m_target.storePath; }

  // One run of the installer; what it reports is kept in m_outcome and m_error.
  bool Install(RuntimeTree::FileCopier copier = RuntimeTree::CopyFile) {
    return RuntimeInstaller(std::move(copier)).Install(Payload(), m_target, &m_outcome, &m_error);
  }

  // The stable channel's registered folder, or "" when none.
  std::string RegisteredFolder() const {
    RegistryValue value;
    if (FAILED(RegistryStore::Parse(ReadAll(Store()), RegistryHive::CurrentUser)
                   .ReadValue(Utf8ToWide(RuntimeInstaller::RegistrationKey()), u"EBWebView", &value)))
      return "";
    return WideToUtf8(value.text);
  }

  // A failed run leaves neither a runtime nor a registration behind.
  void ExpectFailureLeavesNothing(bool ok, const char* message) {
    EXPECT_FALSE(ok);
    EXPECT_NE(m_error.find(message), std::string::npos) << m_error;
    EXPECT_TRUE(!fs::exists(Root()) || fs::is_empty(Root()));
    EXPECT_FALSE(fs::exists(Store()));
  }

  TemporaryDirectory m_folder;
  InstallTarget m_target{(m_folder.Path() / "data/vellumview/runtime").string(),
                         (m_folder.Path() / "config/vellumview/registry.reg").string()};
  InstallOutcome m_outcome;
  std::string m_error;
};

TEST_F(RuntimeInstallerTest, InstallsAndRegistersTheNewestVersionAndASecondRunChangesNothing) {
  AddVersion(Payload(), "120.0.1.0");
  const fs::path source = AddVersion(Payload(), "125.0.1.0");
  ASSERT_TRUE(Install()) << m_error;
  EXPECT_EQ(std::tuple(m_outcome.version, m_outcome.copied, m_outcome.registered), std::tuple("125.0.1.0", true, true));
  EXPECT_TRUE(RuntimeTree::Equal(source, Root() / "125.0.1.0", &m_error)) << m_error;
  EXPECT_EQ(RegisteredFolder(), (Root() / "125.0.1.0").string());
  const fs::path library = LibraryIn(Root() / "125.0.1.0");
  EXPECT_EQ(Status(library).st_mode & 0777, Status(LibraryIn(source)).st_mode & 0777);

  const ino_t storeBefore = Status(Store()).st_ino, libraryBefore = Status(library).st_ino;
  ASSERT_TRUE(Install()) << m_error;
  EXPECT_EQ(std::pair(m_outcome.copied, m_outcome.registered), std::pair(false, true));
  EXPECT_EQ(Status(Store()).st_ino, storeBefore) << "the store was rewritten";
  EXPECT_EQ(Status(library).st_ino, libraryBefore) << "the runtime was copied again";
}

// Each row: what the store says before, and which folder is registered after.
TEST_F(RuntimeInstallerTest, RegistrationReplacesOlderAndKeepsNewerRuntimesAndOtherEntries) {
  AddVersion(Payload(), "120.0.1.0");
  const fs::path elsewhere = m_folder.Path() / "elsewhere";
  AddVersion(elsewhere, "125.0.1.0");
  const std::string ours = (Root() / "120.0.1.0").string(), newer = (elsewhere / "125.0.1.0").string();
  const std::pair<std::string, std::string> cases[] = {
      {"/old/runtime/100.0.0.0", ours}, {newer, newer},                         // older runtime; newer one in place
      {(elsewhere / "126.0.0.0").string(), ours}, {"/somewhere/runtime", ours},  // newer one gone; no version
  };
  const std::string other = "[HKEY_CURRENT_USER\\Software\\Other]\n\"keep\"=\"me\"\n";
  fs::create_directories(Store().parent_path());
  for (const auto& [registered, expected] : cases) {
    SCOPED_TRACE(registered);
    std::ofstream(Store()) << "Windows Registry Editor Version 5.00\n\n" << other << "[HKEY_CURRENT_USER\\"
                           << RuntimeInstaller::RegistrationKey() << "]\n\"EBWebView\"=\"" << registered
                           << "\"\n\"pv\"=\"kept too\"\n";
    ASSERT_TRUE(Install()) << m_error;
    EXPECT_EQ(RegisteredFolder(), expected);
    EXPECT_EQ(m_outcome.registered, expected == ours);
    const std::string after = ReadAll(Store());
    EXPECT_NE(after.find(other), std::string::npos);
    EXPECT_NE(after.find("\"pv\"=\"kept too\"\n"), std::string::npos);
  }
}

// A copy that fails half way, and one whose result differs from the payload,
// leave no version folder, no staging folder and no registration.
TEST_F(RuntimeInstallerTest, FailedOrCorruptCopyLeavesNoRuntime) {
  AddVersion(Payload(), "125.0.1.0");
  const auto halfCopy = [](const fs::path& from, const fs::path& to, std::string* error) {
    std::ofstream(to, std::ios::binary) << ReadAll(from).substr(0, 100);
    *error = "disk full";
    return false;
  };
  const auto corruptCopy = [](const fs::path& from, const fs::path& to, std::string* error) {
    if (!RuntimeTree::CopyFile(from, to, error)) return false;
    std::fstream(to, std::ios::in | std::ios::out | std::ios::binary).put('X');
    return true;
  };
  ExpectFailureLeavesNothing(Install(halfCopy), "disk full");
  ExpectFailureLeavesNothing(Install(corruptCopy), "verification");
}

TEST_F(RuntimeInstallerTest, DamagedVersionFolderIsReplacedWhole) {
  const fs::path source = AddVersion(Payload(), "125.0.1.0");
  fs::create_directories(LibraryIn(Root() / "125.0.1.0").parent_path());
  std::ofstream(LibraryIn(Root() / "125.0.1.0")) << "truncated";
  std::ofstream(Root() / "125.0.1.0" / "stray") << "left over";
  ASSERT_TRUE(Install()) << m_error;
  EXPECT_TRUE(m_outcome.copied);
  EXPECT_TRUE(RuntimeTree::Equal(source, Root() / "125.0.1.0", &m_error)) << m_error;
  EXPECT_EQ(std::distance(fs::directory_iterator(Root()), fs::directory_iterator()), 1);
}

// Payloads that cannot be installed fail before anything is written.
TEST_F(RuntimeInstallerTest, UnusablePayloadsFail) {
  ExpectFailureLeavesNothing(Install(), "no runtime");  // an empty payload
  const std::tuple<std::string, std::string, bool, const char*> cases[] = {
      {"125.0.1.0", "130.0.0.0", false, "carries version"},  // a folder named otherwise than its library's version
      {"80.0.0.0", "", false, "older than the program accepts"},
      {"125.0.1.0", "", true, "neither a folder nor a regular file"},  // with a pipe in the tree
  };
  for (const auto& [version, folderName, pipe, message] : cases) {
    SCOPED_TRACE(message);
    fs::remove_all(Payload());
    const fs::path folder = AddVersion(Payload(), version, folderName);
    if (pipe) { ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0644), 0); }
    ExpectFailureLeavesNothing(Install(), message);
  }
}

TEST_F(RuntimeInstallerTest, UnreadableStoreIsNeverReplaced) {
  AddVersion(Payload(), "125.0.1.0");
  fs::create_directories(Store());  // a folder where the store file should be
  EXPECT_FALSE(Install());
  EXPECT_NE(m_error.find("cannot read the registry store"), std::string::npos) << m_error;
  EXPECT_TRUE(fs::is_directory(Store()));
}

}  // namespace
