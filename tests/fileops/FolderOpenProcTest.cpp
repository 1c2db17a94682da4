// Folder link files: what the link text names, and what the user sees when
// the folder is missing or the link file cannot be read.
#include "fileops/FolderOpenProc.h"

#include <gtest/gtest.h>

#include "tests/platform/FakePlatformScope.h"
#include "tests/util/TemporaryDirectory.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

class FolderOpenProcTest : public ::testing::Test {
 protected:
  // Writes the link file and returns its path.
  std::u16string Link(std::string_view bytes) { return Utf8ToWide(m_dir.WriteFile("a.openfolder", bytes).string()); }
  std::u16string Folder() const { return Utf8ToWide(m_dir.Path().string()); }

  TemporaryDirectory m_dir;
  FakePlatformScope m_platform;
  FolderOpenProc m_proc;
};

// A plain name with an editor's "\n" is the link policy's folder scenario under a display.
TEST_F(FolderOpenProcTest, OpensTheNamedFolderBesideTheLinkFile) {
  const std::string cut(259, 'x'), whole(260, 'y');
  const std::pair<std::string, std::u16string> rows[] = {
      {"\xEF\xBB\xBF\xE8\xB3\x87\xE6\x96\x99", u"/\u8CC7\u6599"},  // UTF-8 after a byte-order mark
      {"docs\r\n", u"/docs"},                                       // an editor's line break dropped
      {"docs \n\n", u"/docs \n"},                                   // only one line break, spaces stay
      {"/abs", u"/abs"},                                            // stays below the link's folder
      {"", u""},                                                    // the link file's own folder
      // 260 bytes at most, but never cut inside a character.
      {cut + "\xE8\xB3\x87" + "tail", u"/" + Utf8ToWide(cut)}, {whole + "z", u"/" + Utf8ToWide(whole)},
  };
  std::vector<std::u16string> expected;
  for (const auto& [bytes, folder] : rows) {
    m_platform.system.AddFolder(expected.emplace_back(Folder() + folder));
    EXPECT_EQ(m_proc.Run(Link(bytes)), S_OK) << bytes;
  }
  std::vector<std::u16string> opened;
  for (const auto& launch : m_platform.system.ShellLaunches()) opened.push_back(launch.target);
  EXPECT_EQ(opened, expected);
  EXPECT_TRUE(m_platform.windowing.MessageBoxes().empty());
}

// A text that is not UTF-8 names no folder, not even the link's own one,
// which exists here; it is shown with U+FFFD where it cannot be decoded.
TEST_F(FolderOpenProcTest, AMissingFolderIsReportedAndAnUnreadableLinkIsNot) {
  m_platform.system.AddFolder(Folder());
  const std::u16string notFound = u"\u30D5\u30A9\u30EB\u30C0\u304C\u898B\u3064\u304B\u308A\u307E\u305B\u3093:";
  for (const auto& [bytes, shown] : {std::pair<std::string, std::u16string>{"gone", u"/gone"}, {"\xFF\xFE" "x", u"/\uFFFD\uFFFDx"},
                                 {std::string("\0\0dos/", 6), u"/\uFFFD\uFFFDdos/"}}) {
    EXPECT_EQ(m_proc.Run(Link(bytes)), HResultFromWin32(ERROR_PATH_NOT_FOUND));
    ASSERT_FALSE(m_platform.windowing.MessageBoxes().empty());
    const auto& box = m_platform.windowing.MessageBoxes().back();
    EXPECT_EQ(box.text, notFound + Folder() + shown);
    EXPECT_EQ(box.owner, nullptr);
  }

  EXPECT_EQ(m_proc.Run(Folder() + u"/missing.openfolder"), HResultFromWin32(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(m_platform.windowing.MessageBoxes().size(), 3u);
  EXPECT_TRUE(m_platform.system.ShellLaunches().empty());
}

}  // namespace
