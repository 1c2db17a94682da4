#include "util/FileStream.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

std::u16string Wide(const std::filesystem::path& p) { return Utf8ToWide(p.string()); }

TEST(FileStream, ReadsInChunksAnswersOkForFullChunksAndFalseAtTheEnd) {
  TemporaryDirectory dir;
  std::string content;
  for (int i = 0; i < 100000; ++i) content.push_back(static_cast<char>(i * 7));
  const auto path = dir.WriteFile(std::filesystem::u8path("日本 語.bin"), content);
  auto openFds = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
  const auto fdsBefore = openFds();
  for (ULONG chunk : {1u, 4096u, 99999u, 100000u, 200000u}) {
    SCOPED_TRACE(chunk);
    ComPtr<IStream> stream;
    ASSERT_EQ(FileStream::Open(Wide(path), stream.GetAddressOf()), S_OK);
    std::string all;
    std::vector<char> buffer(chunk);
    for (ULONG read = chunk; read == chunk;) {
      const HRESULT hr = stream->Read(buffer.data(), chunk, &read);
      EXPECT_EQ(hr, read == chunk ? S_OK : S_FALSE);
      all.append(buffer.data(), read);
    }
    EXPECT_EQ(all, content);
  }
  // Releasing the last reference closes the file.
  EXPECT_EQ(openFds(), fdsBefore);
}

TEST(FileStream, ReadsOnDemandSoLaterChangesToTheFileAreSeen) {
  TemporaryDirectory dir;
  ComPtr<IStream> stream;
  ASSERT_EQ(FileStream::Open(Wide(dir.WriteFile("grow.txt", "ab")), stream.GetAddressOf()), S_OK);
  dir.WriteFile("grow.txt", "xyz");
  char buffer[8];
  ULONG read = 0;
  EXPECT_EQ(stream->Read(buffer, sizeof buffer, &read), S_FALSE);
  EXPECT_EQ(std::string(buffer, read), "xyz");
}

TEST(FileStream, StatGivesTheFilesSizeAsItIsNow) {
  TemporaryDirectory dir;
  ComPtr<IStream> stream;
  ASSERT_EQ(FileStream::Open(Wide(dir.WriteFile("size.bin", std::string(70000, 's'))), stream.GetAddressOf()), S_OK);
  char16_t name[] = u"not touched";
  STATSTG stat{name, 0, 1};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize, 70000u);
  EXPECT_EQ(stat.type, STGTY_STREAM);
  EXPECT_EQ(stat.pwcsName, nullptr);
  dir.WriteFile("size.bin", "xyz");  // rewritten in place: the same open file, now shorter
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize, 3u);
  EXPECT_EQ(stream->Stat(nullptr, STATFLAG_NONAME), E_POINTER);
}

TEST(FileStream, OpenFailuresGiveTheOsCodeAndNoStream) {
  TemporaryDirectory dir;
  dir.WriteFile("file.txt", "x");
  ::mkfifo((dir.Path() / "pipe").c_str(), 0600);
  const struct { std::u16string path; HRESULT expected; } cases[] = {
      {Wide(dir.Path()), HResultFromWin32(ERROR_ACCESS_DENIED)},
      {Wide(dir.Path() / "missing.txt"), HResultFromWin32(ERROR_FILE_NOT_FOUND)},
      {Wide(dir.Path() / "file.txt/x"), HResultFromWin32(ERROR_PATH_NOT_FOUND)},
      // A named pipe would block the reader until a writer came.
      {Wide(dir.Path() / "pipe"), HResultFromWin32(ERROR_FILE_NOT_FOUND)},
      {u"", E_INVALIDARG}, {std::u16string(u"/tmp\0x", 6), E_INVALIDARG}};
  for (const auto& c : cases) {
    IStream* raw = reinterpret_cast<IStream*>(0x1);
    EXPECT_EQ(FileStream::Open(c.path, &raw), c.expected) << WideToUtf8(c.path);
    EXPECT_EQ(raw, nullptr);
  }
  EXPECT_EQ(FileStream::Open(u"/tmp", nullptr), E_POINTER);
}

}  // namespace
