#include "util/ReadFileToString.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "com/HResult.h"
#include "tests/util/TemporaryDirectory.h"
#include "util/Strings.h"

namespace {

using namespace std::string_view_literals;

std::u16string Wide(const std::filesystem::path& path) { return Utf8ToWide(path.string()); }

// Reads and checks that a failure leaves the output as it was.
void ExpectFailure(const std::u16string& path, std::uint32_t expected) {
  std::string out = "untouched";
  EXPECT_EQ(static_cast<std::uint32_t>(ReadFileToString(path, out)), expected) << WideToUtf8(path);
  EXPECT_EQ(out, "untouched");
}

// (A marked settings file read by its bare name from the working directory,
// and a missing one, are the settings tests' cases.)
TEST(ReadFileToStringTest, DropsOneLeadingMarkAndReadsUpToTheLimitAfterIt) {
  const struct { std::string_view content; std::size_t maximum; std::string_view expected; } cases[] = {
      {"\xEF\xBB"sv, 0, "\xEF\xBB"sv}, {"\xEF\xBB\xBF"sv, 0, ""sv}, {"\xEF\xBB\xBF\xEF\xBB\xBF"sv, 0, "\xEF\xBB\xBF"sv},
      {"x\xEF\xBB\xBF"sv, 0, "x\xEF\xBB\xBF"sv}, {"\xEF\xBB\xBE!"sv, 0, "\xEF\xBB\xBE!"sv}, {"a\0b"sv, 0, "a\0b"sv},
      // The limit, counted after the mark.
      {"abcdef"sv, 3, "abc"sv}, {"abcdef"sv, 6, "abcdef"sv}, {"\xEF\xBB\xBF" "abcdef"sv, 2, "ab"sv},
      {"\xEF\xBB\xBF" "abc"sv, 3, "abc"sv}, {"\xEF\xBBx"sv, 2, "\xEF\xBB"sv}};
  TemporaryDirectory folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.content) + " limit " + std::to_string(c.maximum));
    std::string out = "a longer previous content";
    ASSERT_EQ(ReadFileToString(Wide(folder.WriteFile("file.txt", c.content)), out, c.maximum), S_OK);
    EXPECT_EQ(out, c.expected);
  }
}

TEST(ReadFileToStringTest, FailuresGiveTheOsCodeAndLeaveTheOutputAloneAndAFifoDoesNotBlock) {
  TemporaryDirectory folder;
  const auto plain = folder.WriteFile("plain", "x");
  std::filesystem::create_directory(folder.Path() / "settings.json");
  // A sparse file takes no space however large it claims to be.
  const auto huge = folder.WriteFile("huge.bin", "");
  ASSERT_EQ(::truncate(huge.c_str(), 0x180000003LL), 0);
  ExpectFailure(u"", 0x80070002u);
  ExpectFailure(Wide(folder.Path() / "settings.json"), 0x80070005u);
  // Without the check the path would be cut at the NUL and name "plain".
  ExpectFailure(Wide(plain) + u'\0' + u".json", 0x8007007Bu);
  ExpectFailure(Wide(huge), 0x800700DFu);
  // With a limit it reads.
  std::string out;
  ASSERT_EQ(ReadFileToString(Wide(huge), out, 4), S_OK);
  EXPECT_EQ(out, std::string(4, '\0'));
  ASSERT_EQ(::mkfifo((folder.Path() / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(ReadFileToString(Wide(folder.Path() / "pipe"), out), S_OK);
  EXPECT_EQ(out, "");
}

TEST(ReadFileToStringTest, FileShorterThanItsSizeIsEndOfFile) {
  // Kernel attribute files announce a page-sized length and deliver only a
  // few bytes: the same situation as a file cut while it is being read.
  for (const char* candidate : {"/sys/kernel/mm/transparent_hugepage/enabled", "/sys/kernel/profiling", "/sys/power/state"}) {
    struct stat info {};
    if (::stat(candidate, &info) != 0 || info.st_size < 64) continue;
    if (const int probe = ::open(candidate, O_RDONLY); probe >= 0) {
      ::close(probe);
      return ExpectFailure(Utf8ToWide(candidate), 0x80070026u);
    }
  }
  GTEST_SKIP() << "no kernel attribute file to read";
}

}  // namespace
