#include "util/FileStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TemporaryDirectory.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

std::u16string Wide(const std::filesystem::path& p) { return Utf8ToWide(p.string()); }

// Reads a stream to its end in chunks of the given size.
std::string ReadAll(IStream* stream, ULONG chunk) {
  std::string all;
  std::vector<char> buffer(chunk);
  for (;;) {
    ULONG read = 0;
    const HRESULT hr = stream->Read(buffer.data(), chunk, &read);
    EXPECT_TRUE(hr == S_OK || hr == S_FALSE);
    all.append(buffer.data(), read);
    if (hr == S_FALSE) {
      EXPECT_LT(read, chunk);
      break;
    }
    EXPECT_EQ(read, chunk);
  }
  return all;
}

TEST(FileStream, ReadsTheWholeFileInChunksAndSignalsTheEnd) {
  TemporaryDirectory dir;
  std::string content;
  for (int i = 0; i < 100000; ++i) content.push_back(static_cast<char>(i * 7));
  const auto path = dir.WriteFile("data.bin", content);

  for (ULONG chunk : {1u, 4096u, 99999u, 100000u, 200000u}) {
    ComPtr<IStream> stream;
    ASSERT_EQ(FileStream::Open(Wide(path), stream.GetAddressOf()), S_OK);
    EXPECT_EQ(ReadAll(stream.Get(), chunk), content) << "chunk " << chunk;
  }
}

TEST(FileStream, AnExactFitIsOkAndTheNextReadIsAnEmptyFalse) {
  TemporaryDirectory dir;
  const auto path = dir.WriteFile("four.txt", "abcd");
  ComPtr<IStream> stream;
  ASSERT_EQ(FileStream::Open(Wide(path), stream.GetAddressOf()), S_OK);
  char buffer[4];
  ULONG read = 99;
  EXPECT_EQ(stream->Read(buffer, 4, &read), S_OK);
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(stream->Read(buffer, 4, &read), S_FALSE);
  EXPECT_EQ(read, 0u);
}

TEST(FileStream, ReadsOnDemandSoLaterChangesToTheFileAreSeen) {
  // Proves the stream does not take the file into memory when it opens.
  TemporaryDirectory dir;
  const auto path = dir.WriteFile("grow.txt", "ab");
  ComPtr<IStream> stream;
  ASSERT_EQ(FileStream::Open(Wide(path), stream.GetAddressOf()), S_OK);
  dir.WriteFile("grow.txt", "xyz");
  char buffer[8];
  ULONG read = 0;
  EXPECT_EQ(stream->Read(buffer, sizeof buffer, &read), S_FALSE);
  EXPECT_EQ(std::string(buffer, read), "xyz");
}

TEST(FileStream, OpensNamesOutsideAscii) {
  TemporaryDirectory dir;
  const auto path = dir.WriteFile(std::filesystem::u8path("日本 語.html"), "<p>");
  ComPtr<IStream> stream;
  ASSERT_EQ(FileStream::Open(Wide(path), stream.GetAddressOf()), S_OK);
  EXPECT_EQ(ReadAll(stream.Get(), 16), "<p>");
}

struct OpenFailure {
  const char* name;
  std::string relative;  // inside the temporary folder; empty for the folder itself
  HRESULT expected;
};

class FileStreamOpenFailure : public ::testing::TestWithParam<OpenFailure> {};

TEST_P(FileStreamOpenFailure, FailsWithNoStream) {
  TemporaryDirectory dir;
  dir.WriteFile("file.txt", "x");
  ::mkfifo((dir.Path() / "pipe").c_str(), 0600);
  IStream* raw = reinterpret_cast<IStream*>(0x1);
  const auto path = GetParam().relative.empty() ? dir.Path() : dir.Path() / GetParam().relative;
  EXPECT_EQ(FileStream::Open(Wide(path), &raw), GetParam().expected);
  EXPECT_EQ(raw, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileStreamOpenFailure,
    ::testing::Values(OpenFailure{"Folder", "", HResultFromWin32(ERROR_ACCESS_DENIED)},
                      OpenFailure{"Missing", "missing.txt", HResultFromWin32(ERROR_FILE_NOT_FOUND)},
                      OpenFailure{"MissingFolder", "nothing/missing.txt", HResultFromWin32(ERROR_FILE_NOT_FOUND)},
                      OpenFailure{"FileAsFolder", "file.txt/x", HResultFromWin32(ERROR_PATH_NOT_FOUND)},
                      // A named pipe would block the reader until a writer came.
                      OpenFailure{"Fifo", "pipe", HResultFromWin32(ERROR_FILE_NOT_FOUND)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileStreamOpen, RejectsEmptyAndNulPathsAndANullOut) {
  IStream* raw = nullptr;
  EXPECT_EQ(FileStream::Open(u"", &raw), E_INVALIDARG);
  EXPECT_EQ(FileStream::Open(std::u16string(u"/tmp\0x", 6), &raw), E_INVALIDARG);
  EXPECT_EQ(FileStream::Open(u"/tmp", nullptr), E_POINTER);
}

TEST(FileStreamOpen, AnUnreadableFileFails) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TemporaryDirectory dir;
  const auto path = dir.WriteFile("secret.txt", "x");
  ::chmod(path.c_str(), 0);
  IStream* raw = nullptr;
  EXPECT_EQ(FileStream::Open(Wide(path), &raw), HResultFromWin32(ERROR_ACCESS_DENIED));
  EXPECT_EQ(raw, nullptr);
}

TEST(FileStream, ReleasingTheLastReferenceClosesTheFile) {
  TemporaryDirectory dir;
  const auto path = dir.WriteFile("a.txt", "x");
  auto openFds = [] {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
  };
  const int before = openFds();
  {
    ComPtr<IStream> stream;
    ASSERT_EQ(FileStream::Open(Wide(path), stream.GetAddressOf()), S_OK);
    EXPECT_EQ(openFds(), before + 1);
  }
  EXPECT_EQ(openFds(), before);
}

}  // namespace
