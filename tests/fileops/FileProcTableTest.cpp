// The file-operation table: which list wins a key and how keys are kept; and
// that the opening handlers stay silent when the desktop cannot open a file.
#include "fileops/FileProcTable.h"

#include <gtest/gtest.h>

#include <typeinfo>

#include "fileops/FileOpenByProc.h"
#include "fileops/FileOpenProc.h"
#include "fileops/FileSaveProc.h"
#include "tests/platform/FakePlatformScope.h"

namespace {

// Without any list the table holds the folder-link handler alone; the link
// policy's folder scenario under a display shows it.
TEST(FileProcTableTest, SaveWinsOverShellWhichWinsOverOpenByAndAnyListTakesTheFolderKey) {
  Settings settings;
  settings.saveAsExt = {{u"PDF", u".pdf", true}, {u"Second", u".pdf", false}};
  settings.shellExecuteExt = {u".pdf", u".docx", u".openfolder", u"", u"pdf", u".PDF"};
  settings.openBy = {{u".docx", u"/usr/bin/x"}, {u".txt", u"/usr/bin/editor"}, {u".txt", u"/usr/bin/other"}};
  const FileProcTable table = BuildFileProcTable(settings, nullptr);
  std::vector<std::pair<std::u16string, std::string>> kinds;
  for (const auto& [key, proc] : table) kinds.emplace_back(key, typeid(*proc).name());
  // Keys as written: no dot added, no case changed; the empty key exists.
  const std::string open = typeid(FileOpenProc).name();
  ASSERT_EQ(kinds, (std::vector<std::pair<std::u16string, std::string>>{
                       {u"", open}, {u".PDF", open}, {u".docx", open}, {u".openfolder", open},
                       {u".pdf", typeid(FileSaveProc).name()}, {u".txt", typeid(FileOpenByProc).name()}, {u"pdf", open}}));
  // The first entry of a list wins within the list too.
  EXPECT_EQ(static_cast<const FileSaveProc&>(*table.at(u".pdf")).Entry().name, u"PDF");
  EXPECT_EQ(static_cast<const FileOpenByProc&>(*table.at(u".txt")).app, u"/usr/bin/editor");
}

// What the handlers hand to the desktop is checked through the view's link policy.
TEST(FileProcTableTest, AFailedDesktopLaunchIsLoggedAndShowsNothing) {
  FakePlatformScope platform;
  platform.system.SetShellLaunchResult(E_FAIL);
  EXPECT_EQ(FileOpenProc().Run(u"/d/a b.txt"), S_OK);
  EXPECT_EQ(FileOpenByProc(u"/usr/bin/viewer").Run(u"/d/a b.txt"), S_OK);
  EXPECT_TRUE(platform.windowing.MessageBoxes().empty());
  EXPECT_EQ(platform.system.DebugLines().size(), 2u);
}

}  // namespace
