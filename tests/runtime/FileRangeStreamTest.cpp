#include "FileRangeStream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <string>

namespace {

class FileRangeStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_autofree char* folder = g_dir_make_tmp("vellum-range-XXXXXX", nullptr);
    m_folder = folder;
    m_path = m_folder + "/data.bin";
    for (int i = 0; i < 1000; ++i) m_data.push_back(static_cast<char>('a' + i % 26));
    g_file_set_contents(m_path.c_str(), m_data.data(), static_cast<gssize>(m_data.size()), nullptr);
  }
  void TearDown() override {
    g_remove(m_path.c_str());
    g_rmdir(m_folder.c_str());
  }
  ComPtr<FileRangeStream> Open(std::uint64_t offset, std::uint64_t length) {
    return MakeComObject<FileRangeStream>(UniqueFd(::open(m_path.c_str(), O_RDONLY)), offset, length);
  }
  std::string m_folder, m_path, m_data;
};

TEST_F(FileRangeStreamTest, ReadsExactlyTheRange) {
  ComPtr<FileRangeStream> stream = Open(100, 250);
  std::string out;
  char buffer[64];
  ULONG read = 0;
  HRESULT hr;
  do {
    hr = stream->Read(buffer, sizeof buffer, &read);
    out.append(buffer, read);
  } while (hr == S_OK);
  EXPECT_EQ(hr, S_FALSE);
  EXPECT_EQ(out, m_data.substr(100, 250));
  EXPECT_EQ(stream->Read(buffer, sizeof buffer, &read), S_FALSE);
  EXPECT_EQ(read, 0u);
}

TEST_F(FileRangeStreamTest, StopsAtTheEndOfAShorterFile) {
  ComPtr<FileRangeStream> stream = Open(990, 100);
  char buffer[64];
  ULONG read = 0;
  EXPECT_EQ(stream->Read(buffer, sizeof buffer, &read), S_FALSE);
  EXPECT_EQ(std::string(buffer, read), m_data.substr(990));
}

TEST_F(FileRangeStreamTest, AnUnreadableDescriptorIsAFailure) {
  ComPtr<FileRangeStream> stream = MakeComObject<FileRangeStream>(UniqueFd(-1), 0, 10);
  char buffer[8];
  ULONG read = 7;
  EXPECT_TRUE(FAILED(stream->Read(buffer, sizeof buffer, &read)));
  EXPECT_EQ(read, 0u);
}

}  // namespace
