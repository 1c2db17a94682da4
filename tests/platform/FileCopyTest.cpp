// Copies that replace a file: the bytes arrive whole, and a copy that cannot
// finish leaves the destination as it was and no temporary file behind.
#include "platform/linux/FileCopy.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "util/TemporaryDirectory.h"
#include "util/Win32Error.h"

namespace {

std::string Read(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string RandomBytes(std::size_t size) {
  std::mt19937 generator(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(generator());
  return bytes;
}

std::size_t EntryCount(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

class FileCopyTest : public ::testing::Test {
 protected:
  TemporaryDirectory dir;
};

TEST_F(FileCopyTest, ACopyIsByteIdenticalAndReplacesTheDestination) {
  const std::string bytes = RandomBytes(3 * 65536 + 17);
  const auto source = dir.WriteFile("source.bin", bytes);
  const auto destination = dir.WriteFile("destination.bin", "old content");
  ASSERT_EQ(FileCopy::Replace(source.string(), destination.string()), S_OK);
  EXPECT_EQ(Read(destination), bytes);
  EXPECT_EQ(Read(source), bytes);
  EXPECT_EQ(EntryCount(dir.Path()), 2u);  // no temporary file left
}

TEST_F(FileCopyTest, TheSourceItselfIsRefusedByAnyNameAndKeepsItsBytes) {
  const auto source = dir.WriteFile("a.pdf", "precious");
  std::filesystem::create_hard_link(source, dir.Path() / "b.pdf");
  for (const auto& target : {source, dir.Path() / "b.pdf", dir.Path() / "." / "a.pdf"})
    EXPECT_EQ(FileCopy::Replace(source.string(), target.string()), HResultFromWin32(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Read(source), "precious");
}

TEST_F(FileCopyTest, AMissingSourceOrDestinationFolderCreatesNothing) {
  const auto source = dir.WriteFile("source.bin", "new");
  EXPECT_EQ(FileCopy::Replace((dir.Path() / "gone").string(), (dir.Path() / "x").string()),
            HResultFromWin32(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "x"));
  EXPECT_EQ(FileCopy::Replace(source.string(), (dir.Path() / "no-folder" / "x").string()),
            HResultFromWin32(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileCopyTest, AReadOnlyDestinationIsNotReplaced) {
  const auto source = dir.WriteFile("source.bin", "new");
  const auto destination = dir.WriteFile("locked.bin", "old");
  std::filesystem::permissions(destination, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  EXPECT_EQ(FileCopy::Replace(source.string(), destination.string()), HResultFromWin32(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Read(destination), "old");
  EXPECT_EQ(EntryCount(dir.Path()), 2u);
}

TEST_F(FileCopyTest, AFullDiskLeavesTheOldDestinationAndNoTemporaryFile) {
  const auto disk = dir.Path() / "disk";
  std::filesystem::create_directory(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount a small tmpfs here";
  const auto source = dir.WriteFile("big.bin", RandomBytes(256 * 1024));
  {
    std::ofstream(disk / "old.bin") << "old";
  }
  const HRESULT hr = FileCopy::Replace(source.string(), (disk / "old.bin").string());
  const std::string old = Read(disk / "old.bin");
  const std::size_t entries = EntryCount(disk);
  ::umount(disk.c_str());
  EXPECT_EQ(hr, HResultFromWin32(ERROR_DISK_FULL));
  EXPECT_EQ(old, "old");
  EXPECT_EQ(entries, 1u);
}

}  // namespace
