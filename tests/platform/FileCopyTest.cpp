// Copies that replace a file: a copy that cannot finish leaves the
// destination as it was and no temporary file behind. (A large copy arriving
// byte for byte with nothing else in its folder is checked by the link policy
// GUI test's Save As scenario.)
#include "platform/linux/system/FileCopy.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

#include "tests/util/TemporaryDirectory.h"
#include "util/Win32Error.h"

namespace {

std::size_t EntryCount(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(FileCopyTest, ReplacesAFileButNeitherTheSourceByAnotherNameNorAReadOnlyFile) {
  TemporaryDirectory dir;
  const auto source = dir.WriteFile("a.pdf", "precious");
  std::filesystem::create_hard_link(source, dir.Path() / "b.pdf");
  const auto locked = dir.WriteFile("locked.bin", "old");
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  for (const auto& target : {dir.Path() / "b.pdf", locked})
    EXPECT_EQ(FileCopy::Replace(source.string(), target.string()), HResultFromWin32(ERROR_ACCESS_DENIED)) << target;
  EXPECT_EQ(TemporaryDirectory::ReadFile(source), "precious");
  EXPECT_EQ(TemporaryDirectory::ReadFile(locked), "old");
  const auto destination = dir.WriteFile("destination.bin", "longer old content");
  ASSERT_EQ(FileCopy::Replace(source.string(), destination.string()), S_OK);
  EXPECT_EQ(TemporaryDirectory::ReadFile(destination), "precious");
  // Missing source, missing destination folder: nothing is created.
  EXPECT_EQ(FileCopy::Replace((dir.Path() / "gone").string(), (dir.Path() / "x").string()),
            HResultFromWin32(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FileCopy::Replace(source.string(), (dir.Path() / "no-folder" / "x").string()),
            HResultFromWin32(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(EntryCount(dir.Path()), 4u);
}

TEST(FileCopyTest, AFullDiskLeavesTheOldDestinationAndNoTemporaryFile) {
  TemporaryDirectory dir;
  const auto disk = dir.Path() / "disk";
  std::filesystem::create_directory(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount a small tmpfs here";
  const auto source = dir.WriteFile("big.bin", std::string(256 * 1024, 'b'));
  dir.WriteFile("disk/old.bin", "old");
  const HRESULT hr = FileCopy::Replace(source.string(), (disk / "old.bin").string());
  const std::string old = TemporaryDirectory::ReadFile(disk / "old.bin");
  const std::size_t entries = EntryCount(disk);
  ::umount(disk.c_str());
  EXPECT_EQ(hr, HResultFromWin32(ERROR_DISK_FULL));
  EXPECT_EQ(old, "old");
  EXPECT_EQ(entries, 1u);
}

// A source whose content is not what its size said when it was opened (here
// a kernel file, which reads more than its size of 0; the same check catches
// a file truncated or grown during the copy), and a copy given up from
// another thread, fail the copy: the old destination stays and no temporary
// file is left.
TEST(FileCopyTest, ASourceThatChangesOrAStoppedCopyLeavesTheOldDestinationAndNoTemporaryFile) {
  const std::atomic<bool> stop{true};
  for (const bool stopped : {false, true}) {
    TemporaryDirectory dir;
    const std::filesystem::path source =
        stopped ? dir.WriteFile("big.bin", std::string(256 * 1024, 'b')) : std::filesystem::path("/proc/self/status");
    const auto destination = dir.WriteFile("old.bin", "old");
    EXPECT_EQ(FileCopy::Replace(source.string(), destination.string(), stopped ? &stop : nullptr),
              HResultFromWin32(stopped ? ERROR_CANCELLED : ERROR_FILE_INVALID)) << source;
    EXPECT_EQ(TemporaryDirectory::ReadFile(destination), "old");
    EXPECT_EQ(EntryCount(dir.Path()), stopped ? 2u : 1u);
  }
}

}  // namespace
