// The file-operation table: which list wins a key and how keys are kept; and
// that the opening handlers stay silent when the desktop cannot open a file.
#include "fileops/FileProcTable.h"

#include <gtest/gtest.h>

#include "fileops/FileOpenByProc.h"
#include "fileops/FileOpenProc.h"
#include "fileops/ISaveCopyTarget.h"
#include "tests/platform/FakePlatformScope.h"
#include "tests/platform/RecordingWindow.h"
#include "util/Strings.h"

namespace {

using Launch = FakeSystem::ShellLaunch;

// Takes the requests of the save handlers.
struct Requests : ISaveCopyTarget {
  HWND GetSaveCopyWindow() const override { return window; }
  void QueueSaveCopy(SaveCopyRequest request) override { names.push_back(request.entry.name); }
  HWND window = nullptr;
  std::vector<std::u16string> names;
};

// Which handler holds a key is told by what it does with a file: a save
// request, an opening on the desktop, or a program started with the file.
// Without any list the table holds the folder-link handler alone; the link
// policy's folder scenario under a display shows it.
TEST(FileProcTableTest, SaveWinsOverShellWhichWinsOverOpenByAndAnyListTakesTheFolderKey) {
  FakePlatformScope platform;
  platform.system.AddFile(u"/d/f", {});
  Settings settings;
  settings.saveAsExt = {{u"PDF", u".pdf", true}, {u"Second", u".pdf", false}};
  settings.shellExecuteExt = {u".pdf", u".docx", u".openfolder", u"", u"pdf", u".PDF"};
  settings.openBy = {{u".docx", u"/usr/bin/x"}, {u".txt", u"/usr/bin/editor"}, {u".txt", u"/usr/bin/other"}};
  RecordingWindow frame;
  Requests requests;
  requests.window = frame.Frame();
  const FileProcTable table = BuildFileProcTable(settings, &requests);
  // Keys as written: no dot added, no case changed; the empty key exists.
  std::vector<std::u16string> keys;
  for (const auto& [key, proc] : table) {
    keys.push_back(key);
    EXPECT_EQ(proc->Run(u"/d/f"), S_OK) << WideToUtf8(keys.back());
  }
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"", u".PDF", u".docx", u".openfolder", u".pdf", u".txt", u"pdf"}));
  // The first entry of a list wins within the list too.
  EXPECT_EQ(requests.names, std::vector<std::u16string>{u"PDF"});
  const Launch open{u"/d/f", {}, {}};
  EXPECT_EQ(platform.system.ShellLaunches(),
            (std::vector<Launch>{open, open, open, open, {{}, u"/usr/bin/editor", {u"/d/f"}}, open}));
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
