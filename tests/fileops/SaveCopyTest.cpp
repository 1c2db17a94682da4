// Saving a copy: the save handler's check and request, and the dialog,
// copy and open that follow, on the fake platform with answered dialogs.
// The dialog's name, type and pattern and a plain copy are the link policy's
// save scenario under a display; the view's tests show a request reaching it.
#include "fileops/SaveCopy.h"

#include <gtest/gtest.h>

#include <deque>
#include <tuple>

#include "fileops/FileSaveProc.h"
#include "fileops/SaveCopyQueue.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "tests/platform/FakePlatformScope.h"
#include "tests/platform/RecordingWindow.h"
#include "util/Win32Error.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// Accepts the dialog with this path and check box state.
FakeWindowing::SaveDialogAnswer Accept(std::u16string path, bool checked = false) {
  return [path, checked](const SaveFileDialog& dialog, SaveFileDialogResult* result) {
    result->path = path;
    result->checkBoxOffered = dialog.offerCheckBox;
    result->checked = dialog.offerCheckBox && checked;
    return S_OK;
  };
}
FakeWindowing::SaveDialogAnswer Fail(HRESULT hr) {
  return [hr](const SaveFileDialog&, SaveFileDialogResult*) { return hr; };
}

class SaveCopyTest : public ::testing::Test, public ISaveCopyTarget {
 protected:
  SaveCopyTest() {
    m_window.Frame();
    m_system.AddFile(u"/docs/Report.PDF", {.content = "%PDF-1"});
  }

  HWND GetSaveCopyWindow() const override { return m_window.m_hWnd; }
  void QueueSaveCopy(SaveCopyRequest request) override { m_requests.push_back(std::move(request)); }

  // Saves a copy of `source` for a type that offers the open box or not.
  HRESULT Run(bool open, std::u16string source = u"/docs/Report.PDF") {
    return SaveCopy::Run(m_window.m_hWnd, {u"Report", u".PDF", std::move(source), SaveAsEntry{u"PDF", u".pdf", open}},
                         m_openAfterSave);
  }

  FakePlatformScope m_platform;
  FakeWindowing& m_windowing = m_platform.windowing;
  FakeSystem& m_system = m_platform.system;
  RecordingWindow m_window;
  std::deque<SaveCopyRequest> m_requests;
  bool m_openAfterSave = false;
};

// The missing file's message text is the link policy's missing scenario under a display.
TEST_F(SaveCopyTest, TheHandlerQueuesAnExistingFileAsWrittenAndReportsAMissingOne) {
  FileSaveProc proc(this, {u"PDF", u".pdf", true});
  EXPECT_EQ(proc.Run(u"/docs/Report.PDF"), S_OK);
  EXPECT_EQ(proc.Run(u"/docs/gone.pdf"), HResultFromWin32(ERROR_FILE_NOT_FOUND));
  ASSERT_EQ(m_requests.size(), 1u);
  const SaveCopyRequest& request = m_requests[0];
  EXPECT_EQ(std::tie(request.fileTitle, request.extension, request.sourcePath),
            std::tuple(u"Report", u".PDF", u"/docs/Report.PDF"));
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  EXPECT_EQ(m_windowing.MessageBoxes()[0].owner, m_window.m_hWnd);
}

// The last one is a copy the user stopped in its progress window.
TEST_F(SaveCopyTest, CancelNoPathAndADialogThatCannotShowSaveNothingAndSayNothing) {
  m_windowing.AnswerSaveDialogs(
      {Fail(HResultFromWin32(ERROR_CANCELLED)), Accept(u""), Fail(E_FAIL), Accept(u"/out/x.pdf", true)});
  m_system.SetCopyResult(HResultFromWin32(ERROR_CANCELLED));
  for (const HRESULT expected : {S_OK, S_OK, E_FAIL, S_OK}) EXPECT_EQ(Run(true), expected);
  EXPECT_FALSE(m_openAfterSave);
  EXPECT_TRUE(m_windowing.MessageBoxes().empty());
  EXPECT_TRUE(m_system.ShellLaunches().empty());
}

TEST_F(SaveCopyTest, AFailedCopyIsReportedAndNeitherOpensNorChangesTheRememberedBox) {
  m_windowing.AnswerSaveDialogs({Accept(u"/docs/Report.PDF", true), Accept(u"/out/x.pdf", true), Accept(u"/out/y.pdf", true)});
  EXPECT_EQ(Run(true), HResultFromWin32(ERROR_ACCESS_DENIED));                       // the source chosen as destination
  EXPECT_EQ(Run(true, u"/docs/gone.PDF"), HResultFromWin32(ERROR_FILE_NOT_FOUND));  // the source vanished
  m_system.SetCopyResult(HResultFromWin32(ERROR_DISK_FULL));
  EXPECT_EQ(Run(true), HResultFromWin32(ERROR_DISK_FULL));
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 3u);
  for (const auto& box : m_windowing.MessageBoxes()) EXPECT_EQ(box.text, LoadStringResource(IDS_SAVE_FAILED));
  EXPECT_EQ(m_windowing.MessageBoxes()[2].owner, m_window.m_hWnd);
  EXPECT_FALSE(m_openAfterSave);
  EXPECT_TRUE(m_system.ShellLaunches().empty());
}

TEST_F(SaveCopyTest, TheCheckBoxStateIsRememberedAcrossSavesAndOnlyATickedBoxOpens) {
  m_windowing.AnswerSaveDialogs({Accept(u"/out/1.pdf", true), Accept(u"/out/2.pdf", false), Accept(u"/out/3.pdf")});
  Run(true);
  EXPECT_TRUE(m_openAfterSave);
  Run(true);
  EXPECT_FALSE(m_openAfterSave);
  // A type without the box leaves the remembered state as it is.
  m_openAfterSave = true;
  Run(false);
  EXPECT_TRUE(m_openAfterSave);
  const auto& dialogs = m_windowing.SaveDialogs();
  ASSERT_EQ(dialogs.size(), 3u);
  EXPECT_EQ(dialogs[0].second.typePattern, u"*.pdf") << "the type's extension, not the file's";
  EXPECT_TRUE(dialogs[1].second.checkBoxState);
  EXPECT_FALSE(dialogs[2].second.offerCheckBox);
  ASSERT_EQ(m_system.ShellLaunches().size(), 1u);
  EXPECT_EQ(m_system.ShellLaunches()[0].target, u"/out/1.pdf");
}

TEST_F(SaveCopyTest, TheAppendedExtensionAsksBeforeReplacingAFileTheDialogDidNotAskAbout) {
  m_system.AddFile(u"/out/Report.PDF", {.content = "old"});
  m_windowing.AnswerSaveDialogs({Accept(u"/out/Report"), Accept(u"/out/Report"), Accept(u"/out/New")});
  m_windowing.AnswerMessageBoxes({IDNO, IDYES});
  Run(false);
  EXPECT_EQ(m_system.FileContent(u"/out/Report.PDF"), "old");
  Run(false);
  EXPECT_EQ(m_system.FileContent(u"/out/Report.PDF"), "%PDF-1");
  // A name that is free, or one with its own extension, is not asked about.
  Run(false);
  EXPECT_EQ(m_system.FileContent(u"/out/New.PDF"), "%PDF-1");
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 2u);
  EXPECT_EQ(m_windowing.MessageBoxes()[0].text, u"/out/Report.PDF" + std::u16string(LoadStringResource(IDS_CONFIRM_REPLACE)));
  EXPECT_EQ(SaveCopy::Destination(u"/out/a.b c", u".PDF"), u"/out/a.b c.PDF");
  EXPECT_EQ(SaveCopy::Destination(u"/out/a.txt", u".PDF"), u"/out/a.txt");
}

// Two quick requests, the second's message delivered under the first's
// dialog: one dialog at a time, in request order, and the deferred message
// is posted again once the first save ends.
TEST_F(SaveCopyTest, TheQueueShowsOneDialogAtATimeInRequestOrder) {
  SaveCopyQueue queue;
  queue.SetWindow(m_window.m_hWnd);
  const auto postedSaves = [&] {
    int count = 0;
    for (MSG msg; m_windowing.PeekMessage(&msg, m_window.m_hWnd, WM_SAVE_COPY, WM_SAVE_COPY, PM_REMOVE);) ++count;
    return count;
  };
  queue.SaveNext();  // a message without a request does nothing
  FileSaveProc proc(&queue, {u"PDF", u".pdf", true});
  m_system.AddFile(u"/docs/Second.pdf", {.content = "2"});
  proc.Run(u"/docs/Report.PDF");
  proc.Run(u"/docs/Second.pdf");
  EXPECT_EQ(postedSaves(), 2);
  int dialogsOpenDuringFirst = 0;
  m_windowing.AnswerSaveDialogs({[&](const SaveFileDialog& dialog, SaveFileDialogResult* result) {
                                   queue.SaveNext();  // the second request's message
                                   dialogsOpenDuringFirst = static_cast<int>(m_windowing.SaveDialogs().size());
                                   return Accept(u"/out/first.pdf", true)(dialog, result);
                                 },
                                 Accept(u"/out/second.pdf")});
  queue.SaveNext();
  EXPECT_EQ(dialogsOpenDuringFirst, 1);
  EXPECT_EQ(postedSaves(), 1) << "the deferred message is posted again";
  queue.SaveNext();
  const auto& dialogs = m_windowing.SaveDialogs();
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_TRUE(dialogs[1].second.checkBoxState) << "the first save's box is remembered";
  EXPECT_EQ(m_system.FileContent(u"/out/first.pdf"), "%PDF-1");
  EXPECT_EQ(m_system.FileContent(u"/out/second.pdf"), "2");
  EXPECT_EQ(postedSaves(), 0);
}

}  // namespace
