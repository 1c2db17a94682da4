// Folder link files: what the link text names, and what the user sees when
// the folder is missing or the link file cannot be read.
#include "fileops/FolderOpenProc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/FakePlatformScope.h"
#include "util/Strings.h"
#include "util/TemporaryDirectory.h"
#include "util/Win32Error.h"

namespace {

using ::testing::ElementsAre;

class FolderOpenProcTest : public ::testing::Test {
 protected:
  // Writes the link file and returns its path.
  std::u16string Link(std::string_view bytes) { return Utf8ToWide(m_dir.WriteFile("a.openfolder", bytes).string()); }
  std::u16string Folder() const { return Utf8ToWide(m_dir.Path().string()); }
  std::vector<std::u16string> Opened() const {
    std::vector<std::u16string> opened;
    for (const auto& launch : m_platform.system.ShellLaunches()) opened.push_back(launch.target);
    return opened;
  }

  TemporaryDirectory m_dir;
  FakePlatformScope m_platform;
  FolderOpenProc m_proc;
};

TEST_F(FolderOpenProcTest, OpensTheNamedFolderBesideTheLinkFile) {
  struct Row {
    std::string bytes;
    std::u16string folder;  // appended to the link file's folder
  };
  const Row rows[] = {
      {"\xE8\xB3\x87\xE6\x96\x99", u"/\u8CC7\u6599"},          // UTF-8 name
      {"\xEF\xBB\xBF\xE8\xB3\x87\xE6\x96\x99", u"/\u8CC7\u6599"},  // after a byte-order mark
      {"docs\n", u"/docs"},                                   // an editor's line break dropped
      {"docs\r\n", u"/docs"},
      {"docs \n\n", u"/docs \n"},                             // only one line break, spaces stay
      {"sub/dir", u"/sub/dir"},
      {"/abs", u"/abs"},                                      // stays below the link's folder
      {"", u""},                                              // the link file's own folder
      {"\xFF\xFE", u""},                                      // not UTF-8: empty text
  };
  for (const Row& row : rows) {
    m_platform.system.AddFolder(Folder() + row.folder);
    EXPECT_EQ(m_proc.Run(Link(row.bytes)), S_OK) << row.bytes;
  }
  std::vector<std::u16string> expected;
  for (const Row& row : rows) expected.push_back(Folder() + row.folder);
  EXPECT_EQ(Opened(), expected);
  EXPECT_EQ(m_platform.windowing.MessageBoxes().size(), 0u);
}

TEST_F(FolderOpenProcTest, ALongLinkIsCutAtTheLimitButNeverInsideACharacter) {
  // 259 ASCII bytes and then a three-byte character that the limit cuts.
  const std::string name(259, 'x');
  m_platform.system.AddFolder(Folder() + u"/" + Utf8ToWide(name));
  EXPECT_EQ(m_proc.Run(Link(name + "\xE8\xB3\x87" + "tail")), S_OK);
  // 260 whole bytes are used as they are.
  const std::string whole(260, 'y');
  m_platform.system.AddFolder(Folder() + u"/" + Utf8ToWide(whole));
  EXPECT_EQ(m_proc.Run(Link(whole + "z")), S_OK);
  EXPECT_THAT(Opened(), ElementsAre(Folder() + u"/" + Utf8ToWide(name), Folder() + u"/" + Utf8ToWide(whole)));
}

TEST_F(FolderOpenProcTest, AMissingFolderIsReportedAndAnUnreadableLinkIsNot) {
  EXPECT_EQ(m_proc.Run(Link("gone")), HResultFromWin32(ERROR_PATH_NOT_FOUND));
  ASSERT_EQ(m_platform.windowing.MessageBoxes().size(), 1u);
  const auto& box = m_platform.windowing.MessageBoxes()[0];
  EXPECT_EQ(box.text, u"\u30D5\u30A9\u30EB\u30C0\u304C\u898B\u3064\u304B\u308A\u307E\u305B\u3093:" + Folder() + u"/gone");
  EXPECT_EQ(box.owner, nullptr);

  EXPECT_EQ(m_proc.Run(Folder() + u"/missing.openfolder"), HResultFromWin32(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(m_platform.windowing.MessageBoxes().size(), 1u);
  EXPECT_TRUE(Opened().empty());
}

}  // namespace
