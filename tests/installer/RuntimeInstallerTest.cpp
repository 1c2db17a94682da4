#include "RuntimeInstaller.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/linux/RegistryStore.h"
#include "util/Strings.h"
#include "util/TemporaryDirectory.h"

namespace {

namespace fs = std::filesystem;

fs::path LibraryIn(const fs::path& versionFolder) {
  return versionFolder / RuntimeInstaller::ClientLibraryRelativePath();
}

// Adds <payload>/<folderName> holding the stand-in library of `version`.
fs::path AddVersion(const fs::path& payload, const std::string& version, const std::string& folderName = "") {
  const fs::path folder = payload / (folderName.empty() ? version : folderName);
  const fs::path library = LibraryIn(folder);
  fs::create_directories(library.parent_path() / "webextension");
  fs::copy_file(fs::path(FAKE_RUNTIME_DIR) / version / "libEmbeddedBrowserWebView.so", library,
                fs::copy_options::overwrite_existing);
  std::ofstream(library.parent_path() / "webextension" / "libVellumWebExtension.so") << "extension " << version;
  return folder;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The stable channel's registered folder in a store file, or "" when none.
std::string RegisteredFolder(const fs::path& store, RegistryHive hive = RegistryHive::CurrentUser) {
  const RegistryStore parsed = RegistryStore::Parse(ReadAll(store), hive);
  RegistryValue value;
  if (FAILED(parsed.ReadValue(Utf8ToWide(RuntimeInstaller::RegistrationKey()), u"EBWebView", &value))) return "";
  return WideToUtf8(value.text);
}

// Everything in a folder, for checks that a failure left nothing behind.
std::size_t EntryCount(const fs::path& folder) {
  std::error_code ec;
  if (!fs::exists(folder, ec)) return 0;
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}


class RuntimeInstallerTest : public ::testing::Test {
 protected:
  RuntimeInstallerTest() {
    m_target.runtimeRoot = (m_folder.Path() / "data/vellumview/runtime").string();
    m_target.storePath = (m_folder.Path() / "config/vellumview/registry.reg").string();
    m_target.hive = RegistryHive::CurrentUser;
    fs::create_directories(Payload());
  }

  fs::path Payload() const { return m_folder.Path() / "payload"; }
  fs::path Root() const { return m_target.runtimeRoot; }
  fs::path Store() const { return m_target.storePath; }

  bool Install(InstallOutcome* outcome, std::string* error,
               RuntimeTree::FileCopier copier = RuntimeTree::CopyFile) {
    return RuntimeInstaller(std::move(copier)).Install(Payload(), m_target, outcome, error);
  }

  TemporaryDirectory m_folder;
  InstallTarget m_target;
};

TEST_F(RuntimeInstallerTest, FreshInstallCopiesTheNewestVersionAndRegistersIt) {
  AddVersion(Payload(), "120.0.1.0");
  const fs::path source = AddVersion(Payload(), "125.0.1.0");
  InstallOutcome outcome;
  std::string error;
  ASSERT_TRUE(Install(&outcome, &error)) << error;
  EXPECT_EQ(outcome.version, "125.0.1.0");
  EXPECT_TRUE(outcome.copied);
  EXPECT_TRUE(outcome.registered);
  EXPECT_TRUE(RuntimeTree::Equal(source, Root() / "125.0.1.0", &error)) << error;
  EXPECT_EQ(EntryCount(Root()), 1u) << "only the version folder, no staging folder";
  EXPECT_EQ(RegisteredFolder(Store()), (Root() / "125.0.1.0").string());
  struct stat copied {};
  struct stat payloadFile {};
  ASSERT_EQ(::stat(LibraryIn(Root() / "125.0.1.0").c_str(), &copied), 0);
  ASSERT_EQ(::stat(LibraryIn(source).c_str(), &payloadFile), 0);
  EXPECT_EQ(copied.st_mode & 0777, payloadFile.st_mode & 0777);
}

TEST_F(RuntimeInstallerTest, SecondRunChangesNothing) {
  AddVersion(Payload(), "125.0.1.0");
  InstallOutcome outcome;
  std::string error;
  ASSERT_TRUE(Install(&outcome, &error)) << error;
  struct stat storeBefore {};
  struct stat libraryBefore {};
  ASSERT_EQ(::stat(Store().c_str(), &storeBefore), 0);
  ASSERT_EQ(::stat(LibraryIn(Root() / "125.0.1.0").c_str(), &libraryBefore), 0);
  const std::string storeText = ReadAll(Store());

  ASSERT_TRUE(Install(&outcome, &error)) << error;
  EXPECT_FALSE(outcome.copied);
  EXPECT_TRUE(outcome.registered);
  struct stat storeAfter {};
  struct stat libraryAfter {};
  ASSERT_EQ(::stat(Store().c_str(), &storeAfter), 0);
  ASSERT_EQ(::stat(LibraryIn(Root() / "125.0.1.0").c_str(), &libraryAfter), 0);
  EXPECT_EQ(storeAfter.st_ino, storeBefore.st_ino) << "the store was not rewritten";
  EXPECT_EQ(libraryAfter.st_ino, libraryBefore.st_ino) << "the runtime was not copied again";
  EXPECT_EQ(ReadAll(Store()), storeText);
}

// Each row: what the store says before, and which folder is registered after.
TEST_F(RuntimeInstallerTest, RegistrationReplacesOlderAndKeepsNewerRuntimesAndOtherEntries) {
  AddVersion(Payload(), "120.0.1.0");
  const fs::path elsewhere = m_folder.Path() / "elsewhere";
  AddVersion(elsewhere, "125.0.1.0");
  const std::string ours = (Root() / "120.0.1.0").string();
  struct Case {
    const char* label;
    std::string registered;
    std::string expected;
  } cases[] = {
      {"older runtime", "/old/runtime/100.0.0.0", ours},
      {"newer runtime in place", (elsewhere / "125.0.1.0").string(), (elsewhere / "125.0.1.0").string()},
      {"newer runtime gone", (elsewhere / "126.0.0.0").string(), ours},
      {"no version in the folder", "/somewhere/runtime", ours},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::create_directories(Store().parent_path());
    const std::string other = "[HKEY_CURRENT_USER\\Software\\Other]\n\"keep\"=\"me\"\n";
    std::ofstream(Store()) << "Windows Registry Editor Version 5.00\n\n" << other << "[HKEY_CURRENT_USER\\"
                           << RuntimeInstaller::RegistrationKey() << "]\n\"EBWebView\"=\"" << c.registered
                           << "\"\n\"pv\"=\"kept too\"\n";
    InstallOutcome outcome;
    std::string error;
    ASSERT_TRUE(Install(&outcome, &error)) << error;
    EXPECT_EQ(RegisteredFolder(Store()), c.expected);
    EXPECT_EQ(outcome.registered, c.expected == ours);
    const std::string after = ReadAll(Store());
    EXPECT_NE(after.find(other), std::string::npos);
    EXPECT_NE(after.find("\"pv\"=\"kept too\"\n"), std::string::npos);
  }
}

// A copy that fails half way, and one whose result differs from the payload,
// leave no version folder, no staging folder and no registration.
TEST_F(RuntimeInstallerTest, FailedOrCorruptCopyLeavesNoRuntime) {
  AddVersion(Payload(), "125.0.1.0");
  const RuntimeTree::FileCopier halfCopy = [](const fs::path& from, const fs::path& to, std::string* error) {
    const std::string bytes = ReadAll(from);
    std::ofstream(to, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    *error = "disk full";
    return false;
  };
  const RuntimeTree::FileCopier corruptCopy = [](const fs::path& from, const fs::path& to, std::string* error) {
    if (!RuntimeTree::CopyFile(from, to, error)) return false;
    std::fstream file(to, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(0);
    file.put('X');
    return true;
  };
  for (const auto& [label, copier, message] :
       {std::tuple{"half copy", halfCopy, "disk full"}, std::tuple{"corrupt copy", corruptCopy, "verification"}}) {
    SCOPED_TRACE(label);
    InstallOutcome outcome;
    std::string error;
    EXPECT_FALSE(Install(&outcome, &error, copier));
    EXPECT_NE(error.find(message), std::string::npos) << error;
    EXPECT_EQ(EntryCount(Root()), 0u);
    EXPECT_FALSE(fs::exists(Store()));
  }
}

TEST_F(RuntimeInstallerTest, DamagedVersionFolderIsReplacedWhole) {
  const fs::path source = AddVersion(Payload(), "125.0.1.0");
  fs::create_directories(LibraryIn(Root() / "125.0.1.0").parent_path());
  std::ofstream(LibraryIn(Root() / "125.0.1.0")) << "truncated";
  std::ofstream(Root() / "125.0.1.0" / "stray") << "left over";
  InstallOutcome outcome;
  std::string error;
  ASSERT_TRUE(Install(&outcome, &error)) << error;
  EXPECT_TRUE(outcome.copied);
  EXPECT_TRUE(RuntimeTree::Equal(source, Root() / "125.0.1.0", &error)) << error;
  EXPECT_EQ(EntryCount(Root()), 1u);
}

// Payloads that cannot be installed fail before anything is written.
TEST_F(RuntimeInstallerTest, UnusablePayloadsFail) {
  struct Case {
    const char* label;
    std::function<void(const fs::path&)> make;
    const char* message;
  } cases[] = {
      {"empty", [](const fs::path&) {}, "no runtime"},
      {"folder name differs from the library's version",
       [](const fs::path& payload) { AddVersion(payload, "125.0.1.0", "130.0.0.0"); }, "carries version"},
      {"too old for the program", [](const fs::path& payload) { AddVersion(payload, "80.0.0.0"); },
       "older than the program accepts"},
      {"pipe in the tree",
       [](const fs::path& payload) {
         const fs::path folder = AddVersion(payload, "125.0.1.0");
         ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0644), 0);
       },
       "neither a folder nor a regular file"},
      {"link that leads nowhere",
       [](const fs::path& payload) {
         const fs::path folder = AddVersion(payload, "125.0.1.0");
         fs::create_symlink("/nonexistent/file", folder / "dangling");
       },
       "neither a folder nor a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove_all(Payload());
    fs::create_directories(Payload());
    c.make(Payload());
    InstallOutcome outcome;
    std::string error;
    EXPECT_FALSE(Install(&outcome, &error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(EntryCount(Root()), 0u);
    EXPECT_FALSE(fs::exists(Store()));
  }
}

TEST_F(RuntimeInstallerTest, UnreadableStoreIsNeverReplaced) {
  AddVersion(Payload(), "125.0.1.0");
  fs::create_directories(Store());  // a folder where the store file should be
  InstallOutcome outcome;
  std::string error;
  EXPECT_FALSE(Install(&outcome, &error));
  EXPECT_NE(error.find("cannot read the registry store"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_directory(Store()));
}

}  // namespace
