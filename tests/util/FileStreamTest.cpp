// The file stream over a whole file or a part of it, and what the shared
// opener under it refuses.
#include "util/FileStream.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/util/TemporaryDirectory.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

std::u16string Wide(const std::filesystem::path& p) { return Utf8ToWide(p.string()); }

// Reads a stream to its end in chunks of `chunk` bytes, checking the answer
// of every read: S_OK for a full chunk, S_FALSE for the last one.
std::string ReadAll(IStream* stream, ULONG chunk) {
  std::string all;
  std::vector<char> buffer(chunk);
  for (ULONG read = chunk; read == chunk;) {
    const HRESULT hr = stream->Read(buffer.data(), chunk, &read);
    EXPECT_EQ(hr, read == chunk ? S_OK : S_FALSE);
    all.append(buffer.data(), read);
  }
  return all;
}

class FileStreamTest : public ::testing::Test {
 protected:
  FileStreamTest() {
    for (int i = 0; i < 100000; ++i) m_content.push_back(static_cast<char>(i * 7));
    m_path = m_dir.WriteFile(std::filesystem::u8path("\u65E5\u672C \u8A9E.bin"), m_content);
  }
  TemporaryDirectory m_dir;
  std::string m_content;
  std::filesystem::path m_path;
};

TEST_F(FileStreamTest, WholeFileInChunksReadOnDemandAndReleaseClosesIt) {
  auto openFds = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
  const auto fdsBefore = openFds();
  for (ULONG chunk : {99999u, 100000u, 200000u}) {
    ComPtr<IStream> stream;
    ASSERT_EQ(FileStream::Open(Wide(m_path), stream.GetAddressOf()), S_OK);
    EXPECT_EQ(ReadAll(stream.Get(), chunk), m_content) << chunk;
  }
  {
    // Nothing is read ahead: what the file holds at the read is what comes.
    ComPtr<IStream> stream;
    ASSERT_EQ(FileStream::Open(Wide(m_dir.WriteFile("grow.txt", "ab")), stream.GetAddressOf()), S_OK);
    m_dir.WriteFile("grow.txt", "xyz");
    EXPECT_EQ(ReadAll(stream.Get(), 8), "xyz");
  }
  EXPECT_EQ(openFds(), fdsBefore);
}

TEST_F(FileStreamTest, PartGivesExactlyItsBytesAndEndsWhereTheFileDoes) {
  const std::size_t size = m_content.size();
  const struct { std::uint64_t offset; std::optional<std::uint64_t> length; std::string expected; } cases[] = {
      {100, 250, m_content.substr(100, 250)}, {size - 10, 100, m_content.substr(size - 10)}, {size + 5, 10, ""},
      {99990, std::nullopt, m_content.substr(99990)}, {7, 0, ""}};
  for (const auto& c : cases) {
    UniqueFd fd;
    struct stat info {};
    ASSERT_EQ(FileStream::OpenRegularFile(m_path.string(), fd, info), S_OK);
    EXPECT_EQ(static_cast<std::size_t>(info.st_size), size);
    ComPtr<IStream> stream;
    ASSERT_EQ(FileStream::Create(std::move(fd), c.offset, c.length, stream.GetAddressOf()), S_OK);
    EXPECT_EQ(ReadAll(stream.Get(), 64), c.expected) << c.offset;
  }
  IStream* raw = reinterpret_cast<IStream*>(0x1);
  EXPECT_EQ(FileStream::Create(UniqueFd(), 0, 1, &raw), E_INVALIDARG);
  EXPECT_EQ(raw, nullptr);
}

TEST_F(FileStreamTest, StatGivesTheFilesSizeAsItIsNow) {
  ComPtr<IStream> stream;
  ASSERT_EQ(FileStream::Open(Wide(m_dir.WriteFile("size.bin", std::string(70000, 's'))), stream.GetAddressOf()), S_OK);
  char16_t name[] = u"not touched";
  STATSTG stat{name, 0, 1};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize, 70000u);
  EXPECT_EQ(stat.pwcsName, nullptr);
  m_dir.WriteFile("size.bin", "xyz");  // rewritten in place: the same open file, now shorter
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize, 3u);
  EXPECT_EQ(stream->Stat(nullptr, STATFLAG_NONAME), E_POINTER);
}

TEST_F(FileStreamTest, RefusesWhatIsNoRegularFileOrNamesAnotherAndGivesNoStream) {
  // U+FFFD in a real name: a path with an unpaired surrogate must not open it.
  m_dir.WriteFile(std::filesystem::u8path("a\uFFFD"), "other");
  ASSERT_EQ(::mkfifo((m_dir.Path() / "pipe").c_str(), 0600), 0);
  const struct { std::u16string path; HRESULT expected; } cases[] = {
      {Wide(m_dir.Path()), HResultFromWin32(ERROR_ACCESS_DENIED)},
      // A named pipe would block every read until a writer came.
      {Wide(m_dir.Path() / "pipe"), HResultFromWin32(ERROR_FILE_NOT_FOUND)},
      {Wide(m_dir.Path() / "a") + char16_t(0xD800), HResultFromWin32(ERROR_INVALID_NAME)},
      {u"", E_INVALIDARG}, {std::u16string(u"/tmp\0x", 6), E_INVALIDARG}};
  for (const auto& c : cases) {
    IStream* raw = reinterpret_cast<IStream*>(0x1);
    EXPECT_EQ(FileStream::Open(c.path, &raw), c.expected) << WideToUtf8(c.path);
    EXPECT_EQ(raw, nullptr);
  }
  EXPECT_EQ(FileStream::Open(u"/tmp", nullptr), E_POINTER);
}

}  // namespace
