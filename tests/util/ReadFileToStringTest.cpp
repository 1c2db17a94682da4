#include "util/ReadFileToString.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "com/HResult.h"
#include "util/ScopedWorkingDirectory.h"
#include "util/Strings.h"
#include "util/TemporaryDirectory.h"

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kUntouched = "untouched";

std::u16string Wide(const std::filesystem::path& path) { return Utf8ToWide(path.string()); }

struct ContentCase {
  const char* label;
  std::string_view content;
  std::size_t maximum;
  std::string_view expected;
};

void PrintTo(const ContentCase& c, std::ostream* os) { *os << c.label; }

class ReadFileToStringContentTest : public testing::TestWithParam<ContentCase> {
 protected:
  TemporaryDirectory m_folder;
};

TEST_P(ReadFileToStringContentTest, DeliversTheBytesAfterTheMarkUpToTheLimit) {
  const auto& c = GetParam();
  const auto path = m_folder.WriteFile("file.txt", c.content);
  std::string out(kUntouched);
  ASSERT_EQ(ReadFileToString(Wide(path), out, c.maximum), S_OK);
  EXPECT_EQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ByteOrderMark, ReadFileToStringContentTest,
    testing::Values(ContentCase{"zero bytes", ""sv, 0, ""sv}, ContentCase{"one byte", "{"sv, 0, "{"sv},
                    ContentCase{"one mark byte", "\xEF"sv, 0, "\xEF"sv},
                    ContentCase{"two bytes", "{}"sv, 0, "{}"sv},
                    ContentCase{"two mark bytes", "\xEF\xBB"sv, 0, "\xEF\xBB"sv},
                    ContentCase{"three bytes", "abc"sv, 0, "abc"sv},
                    ContentCase{"mark only", "\xEF\xBB\xBF"sv, 0, ""sv},
                    ContentCase{"mark and one byte", "\xEF\xBB\xBF{"sv, 0, "{"sv},
                    ContentCase{"mark and text", "\xEF\xBB\xBF{\"a\":1}"sv, 0, "{\"a\":1}"sv},
                    ContentCase{"only the first mark is dropped", "\xEF\xBB\xBF\xEF\xBB\xBF"sv, 0, "\xEF\xBB\xBF"sv},
                    ContentCase{"mark not at the start", "x\xEF\xBB\xBF"sv, 0, "x\xEF\xBB\xBF"sv},
                    ContentCase{"almost a mark", "\xEF\xBB\xBE!"sv, 0, "\xEF\xBB\xBE!"sv},
                    ContentCase{"mark in UTF-16 is not dropped", "\xFF\xFEx"sv, 0, "\xFF\xFEx"sv},
                    ContentCase{"embedded nul", "a\0b"sv, 0, "a\0b"sv}));

INSTANTIATE_TEST_SUITE_P(
    Limit, ReadFileToStringContentTest,
    testing::Values(ContentCase{"below size", "abcdef"sv, 3, "abc"sv},
                    ContentCase{"equal to size", "abcdef"sv, 6, "abcdef"sv},
                    ContentCase{"above size", "abcdef"sv, 100, "abcdef"sv},
                    ContentCase{"one byte of a one-byte file", "a"sv, 1, "a"sv},
                    ContentCase{"limit on an empty file", ""sv, 5, ""sv},
                    ContentCase{"counted after the mark", "\xEF\xBB\xBF" "abcdef"sv, 2, "ab"sv},
                    ContentCase{"whole text after the mark", "\xEF\xBB\xBF" "abc"sv, 3, "abc"sv},
                    ContentCase{"mark only with a limit", "\xEF\xBB\xBF"sv, 1, ""sv},
                    ContentCase{"limit shorter than a mark that is not one", "\xEF\xBBx"sv, 2, "\xEF\xBB"sv},
                    ContentCase{"limit of one on text", "{}"sv, 1, "{"sv}));

struct FailureCase {
  const char* label;
  std::uint32_t expected;
};

class ReadFileToStringFailureTest : public testing::Test {
 protected:
  // Reads and checks that a failure leaves the output as it was.
  void ExpectFailure(const std::u16string& path, std::uint32_t expected, std::size_t maximum = 0) {
    std::string out(kUntouched);
    EXPECT_EQ(static_cast<std::uint32_t>(ReadFileToString(path, out, maximum)), expected);
    EXPECT_EQ(out, kUntouched);
  }

  TemporaryDirectory m_folder;
};

TEST_F(ReadFileToStringFailureTest, MissingFileIsFileNotFound) {
  ExpectFailure(Wide(m_folder.Path() / "missing.json"), 0x80070002u);
}

TEST_F(ReadFileToStringFailureTest, EmptyPathIsFileNotFound) { ExpectFailure(u"", 0x80070002u); }

TEST_F(ReadFileToStringFailureTest, PathThroughAFileIsPathNotFound) {
  m_folder.WriteFile("plain", "x");
  ExpectFailure(Wide(m_folder.Path() / "plain" / "inner.json"), 0x80070003u);
}

TEST_F(ReadFileToStringFailureTest, FolderIsAccessDenied) {
  std::filesystem::create_directory(m_folder.Path() / "settings.json");
  ExpectFailure(Wide(m_folder.Path() / "settings.json"), 0x80070005u);
}

TEST_F(ReadFileToStringFailureTest, UnreadableFileIsAccessDenied) {
  const auto path = m_folder.WriteFile("locked.json", "{}");
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  // A privileged user reads the file regardless; only an ordinary one can
  // see the refusal.
  if (const int probe = ::open(path.c_str(), O_RDONLY); probe >= 0) {
    ::close(probe);
    GTEST_SKIP() << "running with privileges that ignore file permissions";
  }
  ExpectFailure(Wide(path), 0x80070005u);
}

TEST_F(ReadFileToStringFailureTest, OverlongNameIsReportedAsSuch) {
  ExpectFailure(Wide(m_folder.Path() / std::string(300, 'a')), 0x800700CEu);
}

TEST_F(ReadFileToStringFailureTest, NulInsideThePathIsRefusedInsteadOfCuttingIt) {
  // Without the check the path would be cut at the NUL and name "file".
  m_folder.WriteFile("file", "secret");
  std::u16string path = Wide(m_folder.Path() / "file");
  path += u'\0';
  path += u".json";
  ExpectFailure(path, 0x8007007Bu);
}

TEST_F(ReadFileToStringFailureTest, FileAboveTheLargestSizeIsRefused) {
  // A sparse file takes no space however large it claims to be.
  const auto path = m_folder.WriteFile("huge.bin", "");
  ASSERT_EQ(::truncate(path.c_str(), 0x80000000LL), 0);
  ExpectFailure(Wide(path), 0x800700DFu);
}

TEST_F(ReadFileToStringFailureTest, FileAboveTheLargestSizeReadsWithALimit) {
  const auto path = m_folder.WriteFile("huge.bin", "");
  ASSERT_EQ(::truncate(path.c_str(), 0x180000003LL), 0);
  std::string out;
  ASSERT_EQ(ReadFileToString(Wide(path), out, 4), S_OK);
  EXPECT_EQ(out, std::string(4, '\0'));
}

TEST_F(ReadFileToStringFailureTest, FileShorterThanItsSizeIsEndOfFile) {
  // Kernel attribute files announce a page-sized length and deliver only a
  // few bytes: the same situation as a file cut while it is being read.
  constexpr const char* kCandidates[] = {"/sys/kernel/mm/transparent_hugepage/enabled",
                                         "/sys/kernel/profiling", "/sys/power/state"};
  for (const char* candidate : kCandidates) {
    struct stat info {};
    if (::stat(candidate, &info) != 0 || info.st_size < 64) continue;
    if (const int probe = ::open(candidate, O_RDONLY); probe >= 0) {
      ::close(probe);
      ExpectFailure(Utf8ToWide(candidate), 0x80070026u);
      return;
    }
  }
  GTEST_SKIP() << "no kernel attribute file to read";
}

TEST(ReadFileToStringSpecialTest, FifoDoesNotBlockAndReadsEmpty) {
  TemporaryDirectory folder;
  const auto path = folder.Path() / "pipe";
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  std::string out(kUntouched);
  EXPECT_EQ(ReadFileToString(Wide(path), out), S_OK);
  EXPECT_EQ(out, "");
}

TEST(ReadFileToStringSpecialTest, NonAsciiFileNameIsFound) {
  TemporaryDirectory folder;
  folder.WriteFile(std::filesystem::path(u8"\u8A2D\u5B9A.json"), "{}");
  std::string out;
  ASSERT_EQ(ReadFileToString(Wide(folder.Path()) + u"/\u8A2D\u5B9A.json", out), S_OK);
  EXPECT_EQ(out, "{}");
}

TEST(ReadFileToStringSpecialTest, BareNameIsLookedUpInTheWorkingDirectory) {
  TemporaryDirectory folder;
  folder.WriteFile("settings.json", "\xEF\xBB\xBF{}");
  ScopedWorkingDirectory cwd(folder.Path());
  std::string out;
  ASSERT_EQ(ReadFileToString(u"settings.json", out), S_OK);
  EXPECT_EQ(out, "{}");
}

TEST(ReadFileToStringSpecialTest, SuccessReplacesTheWholeOutput) {
  TemporaryDirectory folder;
  const auto path = folder.WriteFile("a.txt", "ab");
  std::string out = "a much longer previous content";
  ASSERT_EQ(ReadFileToString(Wide(path), out), S_OK);
  EXPECT_EQ(out, "ab");
}

TEST(ReadFileToStringSpecialTest, ClosesTheFileOnEveryPath) {
  TemporaryDirectory folder;
  const auto good = folder.WriteFile("good.txt", "\xEF\xBB\xBFtext");
  std::filesystem::create_directory(folder.Path() / "dir");
  const auto huge = folder.WriteFile("huge.bin", "");
  ASSERT_EQ(::truncate(huge.c_str(), 0x80000000LL), 0);

  auto nextDescriptor = [] {
    const int fd = ::open("/dev/null", O_RDONLY);
    ::close(fd);
    return fd;
  };
  const int before = nextDescriptor();
  for (int i = 0; i < 50; ++i) {
    std::string out;
    EXPECT_EQ(ReadFileToString(Wide(good), out), S_OK);
    EXPECT_TRUE(FAILED(ReadFileToString(Wide(folder.Path() / "dir"), out)));
    EXPECT_TRUE(FAILED(ReadFileToString(Wide(huge), out)));
  }
  EXPECT_EQ(nextDescriptor(), before);
}

}  // namespace
