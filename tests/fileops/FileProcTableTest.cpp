// The file-operation table: which list wins a key, how keys are kept, and
// what the opening handlers hand to the desktop.
#include "fileops/FileProcTable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fileops/FileOpenByProc.h"
#include "fileops/FileOpenProc.h"
#include "fileops/FileSaveProc.h"
#include "fileops/FolderOpenProc.h"
#include "platform/FakePlatformScope.h"

namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

enum class Kind { Save, Open, OpenBy, Folder };

Kind KindOf(const FileProc& proc) {
  if (dynamic_cast<const FileSaveProc*>(&proc)) return Kind::Save;
  if (dynamic_cast<const FileOpenProc*>(&proc)) return Kind::Open;
  if (dynamic_cast<const FileOpenByProc*>(&proc)) return Kind::OpenBy;
  return Kind::Folder;
}

std::vector<std::pair<std::u16string, Kind>> Kinds(const FileProcTable& table) {
  std::vector<std::pair<std::u16string, Kind>> kinds;
  for (const auto& [key, proc] : table) kinds.emplace_back(key, KindOf(*proc));
  return kinds;
}

TEST(FileProcTableTest, WithoutListsOnlyTheFolderLinkHandlerIsThere) {
  EXPECT_THAT(Kinds(BuildFileProcTable(Settings{}, nullptr)), ElementsAre(Pair(u".openfolder", Kind::Folder)));
}

TEST(FileProcTableTest, SaveWinsOverShellWhichWinsOverOpenByAndAnyListTakesTheFolderKey) {
  Settings settings;
  settings.saveAsExt = {{u"PDF", u".pdf", true}, {u"Second", u".pdf", false}};
  settings.shellExecuteExt = {u".pdf", u".docx", u".openfolder", u"", u"pdf", u".PDF"};
  settings.openBy = {{u".docx", u"/usr/bin/x"}, {u".txt", u"/usr/bin/editor"}, {u".txt", u"/usr/bin/other"}};
  const FileProcTable table = BuildFileProcTable(settings, nullptr);
  // Keys as written: no dot added, no case changed; the empty key exists.
  ASSERT_THAT(Kinds(table), ElementsAre(Pair(u"", Kind::Open), Pair(u".PDF", Kind::Open), Pair(u".docx", Kind::Open),
                                        Pair(u".openfolder", Kind::Open), Pair(u".pdf", Kind::Save),
                                        Pair(u".txt", Kind::OpenBy), Pair(u"pdf", Kind::Open)));
  // The first entry of a list wins within the list too.
  EXPECT_EQ(static_cast<const FileSaveProc&>(*table.at(u".pdf")).Entry().name, u"PDF");
  EXPECT_EQ(static_cast<const FileOpenByProc&>(*table.at(u".txt")).app, u"/usr/bin/editor");
}

TEST(FileProcTableTest, OpeningHandlersHandThePathToTheDesktopWhole) {
  FakePlatformScope platform;
  FileOpenProc open;
  FileOpenByProc openBy(u"/usr/bin/viewer");
  platform.system.SetShellLaunchResult(E_FAIL);  // a failing launch stays silent
  EXPECT_EQ(open.Run(u"/My Docs/a b.txt"), S_OK);
  EXPECT_EQ(openBy.Run(u"/My Docs/a b.txt"), S_OK);
  using Launch = FakeSystem::ShellLaunch;
  EXPECT_THAT(platform.system.ShellLaunches(),
              ElementsAre(Launch{u"/My Docs/a b.txt", {}, {}}, Launch{{}, u"/usr/bin/viewer", {u"/My Docs/a b.txt"}}));
  EXPECT_EQ(platform.windowing.MessageBoxes().size(), 0u);
  EXPECT_EQ(platform.system.DebugLines().size(), 2u);
}

}  // namespace
