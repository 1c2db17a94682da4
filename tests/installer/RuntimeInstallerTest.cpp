#include "RuntimeInstaller.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>
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

// A file's status; a test that cannot read it fails.
struct stat Status(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status;
}

// What one run of the installer reports.
struct InstallRun {
  bool ok;
  InstallOutcome outcome;
  std::string error;
};

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

  InstallRun Install(RuntimeTree::FileCopier copier = RuntimeTree::CopyFile) {
    InstallRun run{};
    run.ok = RuntimeInstaller(std::move(copier)).Install(Payload(), m_target, &run.outcome, &run.error);
    return run;
  }

  // A failed run leaves neither a runtime nor a registration behind.
  void ExpectFailureLeavesNothing(const InstallRun& run, const char* message) {
    EXPECT_FALSE(run.ok);
    EXPECT_NE(run.error.find(message), std::string::npos) << run.error;
    EXPECT_EQ(EntryCount(Root()), 0u);
    EXPECT_FALSE(fs::exists(Store()));
  }

  TemporaryDirectory m_folder;
  InstallTarget m_target;
};

TEST_F(RuntimeInstallerTest, FreshInstallCopiesTheNewestVersionAndRegistersIt) {
  AddVersion(Payload(), "120.0.1.0");
  const fs::path source = AddVersion(Payload(), "125.0.1.0");
  InstallRun run = Install();
  ASSERT_TRUE(run.ok) << run.error;
  EXPECT_EQ(std::tuple(run.outcome.version, run.outcome.copied, run.outcome.registered),
            std::tuple("125.0.1.0", true, true));
  EXPECT_TRUE(RuntimeTree::Equal(source, Root() / "125.0.1.0", &run.error)) << run.error;
  EXPECT_EQ(RegisteredFolder(Store()), (Root() / "125.0.1.0").string());
  EXPECT_EQ(Status(LibraryIn(Root() / "125.0.1.0")).st_mode & 0777, Status(LibraryIn(source)).st_mode & 0777);
}

TEST_F(RuntimeInstallerTest, SecondRunChangesNothing) {
  AddVersion(Payload(), "125.0.1.0");
  ASSERT_TRUE(Install().ok);
  const fs::path library = LibraryIn(Root() / "125.0.1.0");
  const ino_t storeBefore = Status(Store()).st_ino, libraryBefore = Status(library).st_ino;

  const InstallRun run = Install();
  ASSERT_TRUE(run.ok) << run.error;
  EXPECT_EQ(std::pair(run.outcome.copied, run.outcome.registered), std::pair(false, true));
  EXPECT_EQ(Status(Store()).st_ino, storeBefore) << "the store was not rewritten";
  EXPECT_EQ(Status(library).st_ino, libraryBefore) << "the runtime was not copied again";
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
    const InstallRun run = Install();
    ASSERT_TRUE(run.ok) << run.error;
    EXPECT_EQ(RegisteredFolder(Store()), c.expected);
    EXPECT_EQ(run.outcome.registered, c.expected == ours);
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
    ExpectFailureLeavesNothing(Install(copier), message);
  }
}

TEST_F(RuntimeInstallerTest, DamagedVersionFolderIsReplacedWhole) {
  const fs::path source = AddVersion(Payload(), "125.0.1.0");
  fs::create_directories(LibraryIn(Root() / "125.0.1.0").parent_path());
  std::ofstream(LibraryIn(Root() / "125.0.1.0")) << "truncated";
  std::ofstream(Root() / "125.0.1.0" / "stray") << "left over";
  InstallRun run = Install();
  ASSERT_TRUE(run.ok) << run.error;
  EXPECT_TRUE(run.outcome.copied);
  EXPECT_TRUE(RuntimeTree::Equal(source, Root() / "125.0.1.0", &run.error)) << run.error;
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
    ExpectFailureLeavesNothing(Install(), c.message);
  }
}

TEST_F(RuntimeInstallerTest, UnreadableStoreIsNeverReplaced) {
  AddVersion(Payload(), "125.0.1.0");
  fs::create_directories(Store());  // a folder where the store file should be
  const InstallRun run = Install();
  EXPECT_FALSE(run.ok);
  EXPECT_NE(run.error.find("cannot read the registry store"), std::string::npos) << run.error;
  EXPECT_TRUE(fs::is_directory(Store()));
}

}  // namespace
