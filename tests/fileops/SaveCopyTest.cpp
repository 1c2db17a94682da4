// Saving a copy: the save handler's check and request, and the dialog,
// copy and open that follow, on the fake platform with answered dialogs.
#include "fileops/SaveCopy.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

#include "fileops/FileSaveProc.h"
#include "platform/FakePlatformScope.h"
#include "platform/RecordingWindow.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "util/Win32Error.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using ::testing::ElementsAre;

const std::u16string kSaveFailed(LoadStringResource(IDS_SAVE_FAILED));

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

  SaveCopyRequest Request(bool open) {
    return {u"Report", u".PDF", u"/docs/Report.PDF", SaveAsEntry{u"PDF", u".pdf", open}};
  }
  std::vector<std::u16string> Opened() const {
    std::vector<std::u16string> opened;
    for (const auto& launch : m_system.ShellLaunches()) opened.push_back(launch.target);
    return opened;
  }
  std::vector<std::u16string> Messages() const {
    std::vector<std::u16string> texts;
    for (const auto& box : m_windowing.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }

  FakePlatformScope m_platform;
  FakeWindowing& m_windowing = m_platform.windowing;
  FakeSystem& m_system = m_platform.system;
  RecordingWindow m_window;
  std::deque<SaveCopyRequest> m_requests;
  bool m_openAfterSave = false;
};

TEST_F(SaveCopyTest, TheHandlerQueuesARequestForAnExistingFileAndPostsOneMessage) {
  FileSaveProc proc(this, {u"PDF", u".pdf", true});
  EXPECT_EQ(proc.Run(u"/docs/Report.PDF"), S_OK);
  ASSERT_EQ(m_requests.size(), 1u);
  EXPECT_EQ(m_requests[0].fileTitle, u"Report");
  EXPECT_EQ(m_requests[0].extension, u".PDF");
  EXPECT_EQ(m_requests[0].sourcePath, u"/docs/Report.PDF");
  EXPECT_TRUE(m_requests[0].entry.open);
  MSG msg{};
  ASSERT_TRUE(m_windowing.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, m_window.m_hWnd);
  EXPECT_EQ(msg.message, WM_SAVE_COPY);
}

TEST_F(SaveCopyTest, TheHandlerReportsAMissingFileAndQueuesNothing) {
  FileSaveProc proc(this, {u"PDF", u".pdf", true});
  EXPECT_EQ(proc.Run(u"/docs/gone.pdf"), HResultFromWin32(ERROR_FILE_NOT_FOUND));
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 1u);
  const auto& box = m_windowing.MessageBoxes()[0];
  EXPECT_EQ(box.text, u"\u30D5\u30A1\u30A4\u30EB\u304C\u898B\u3064\u304B\u308A\u307E\u305B\u3093:/docs/gone.pdf");
  EXPECT_EQ(box.owner, m_window.m_hWnd);
  EXPECT_TRUE(m_requests.empty());
  MSG msg{};
  EXPECT_FALSE(m_windowing.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(SaveCopyTest, TheDialogOffersOneTypeTheNameAndTheCheckBoxAndTheCopyIsSaved) {
  m_windowing.AnswerSaveDialogs({Accept(u"/out/Copy.pdf")});
  EXPECT_EQ(SaveCopy::Run(m_window.m_hWnd, Request(true), m_openAfterSave), S_OK);
  ASSERT_EQ(m_windowing.SaveDialogs().size(), 1u);
  const auto& [owner, dialog] = m_windowing.SaveDialogs()[0];
  EXPECT_EQ(owner, m_window.m_hWnd);
  EXPECT_EQ(dialog.typeName, u"PDF");
  EXPECT_EQ(dialog.typePattern, u"*.pdf");
  EXPECT_EQ(dialog.fileName, u"Report");
  EXPECT_EQ(m_system.FileContent(u"/out/Copy.pdf"), "%PDF-1");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SaveCopyTest, CancelNoPathAndADialogThatCannotShowSaveNothingAndSayNothing) {
  m_windowing.AnswerSaveDialogs({Fail(HResultFromWin32(ERROR_CANCELLED)), Accept(u""), Fail(E_FAIL)});
  EXPECT_EQ(SaveCopy::Run(m_window.m_hWnd, Request(true), m_openAfterSave), S_OK);
  EXPECT_EQ(SaveCopy::Run(m_window.m_hWnd, Request(true), m_openAfterSave), S_OK);
  EXPECT_EQ(SaveCopy::Run(m_window.m_hWnd, Request(true), m_openAfterSave), E_FAIL);
  EXPECT_EQ(m_windowing.SaveDialogs().size(), 3u);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Opened().empty());
}

TEST_F(SaveCopyTest, AFailedCopyIsReportedAndNeitherOpensNorChangesTheRememberedBox) {
  m_system.SetCopyResult(HResultFromWin32(ERROR_DISK_FULL));
  m_windowing.AnswerSaveDialogs({Accept(u"/out/Copy.pdf", true)});
  EXPECT_EQ(SaveCopy::Run(m_window.m_hWnd, Request(true), m_openAfterSave), HResultFromWin32(ERROR_DISK_FULL));
  EXPECT_THAT(Messages(), ElementsAre(kSaveFailed));
  EXPECT_EQ(m_windowing.MessageBoxes()[0].owner, m_window.m_hWnd);
  EXPECT_FALSE(m_openAfterSave);
  EXPECT_TRUE(Opened().empty());
}

TEST_F(SaveCopyTest, TheSourceVanishingOrChosenAsDestinationFailsWithTheMessage) {
  m_windowing.AnswerSaveDialogs({Accept(u"/docs/Report.PDF"), Accept(u"/out/x.pdf")});
  EXPECT_EQ(SaveCopy::Run(m_window.m_hWnd, Request(false), m_openAfterSave), HResultFromWin32(ERROR_ACCESS_DENIED));
  SaveCopyRequest vanished = Request(false);
  vanished.sourcePath = u"/docs/gone.PDF";
  EXPECT_EQ(SaveCopy::Run(m_window.m_hWnd, vanished, m_openAfterSave), HResultFromWin32(ERROR_FILE_NOT_FOUND));
  EXPECT_THAT(Messages(), ElementsAre(kSaveFailed, kSaveFailed));
  EXPECT_EQ(m_system.FileContent(u"/docs/Report.PDF"), "%PDF-1");
}

TEST_F(SaveCopyTest, TheCheckBoxStateIsRememberedAcrossSavesAndOnlyATickedBoxOpens) {
  m_windowing.AnswerSaveDialogs({Accept(u"/out/1.pdf", true), Accept(u"/out/2.pdf", false), Accept(u"/out/3.pdf")});
  SaveCopy::Run(m_window.m_hWnd, Request(true), m_openAfterSave);
  EXPECT_TRUE(m_openAfterSave);
  SaveCopy::Run(m_window.m_hWnd, Request(true), m_openAfterSave);
  EXPECT_FALSE(m_openAfterSave);
  // A type without the box leaves the remembered state as it is.
  m_openAfterSave = true;
  SaveCopy::Run(m_window.m_hWnd, Request(false), m_openAfterSave);
  EXPECT_TRUE(m_openAfterSave);

  const auto& dialogs = m_windowing.SaveDialogs();
  ASSERT_EQ(dialogs.size(), 3u);
  EXPECT_FALSE(dialogs[0].second.checkBoxState);
  EXPECT_TRUE(dialogs[1].second.checkBoxState);
  EXPECT_FALSE(dialogs[2].second.offerCheckBox);
  EXPECT_THAT(Opened(), ElementsAre(u"/out/1.pdf"));
}

TEST_F(SaveCopyTest, TheAppendedExtensionAsksBeforeReplacingAFileTheDialogDidNotAskAbout) {
  m_system.AddFile(u"/out/Report.PDF", {.content = "old"});
  m_windowing.AnswerSaveDialogs({Accept(u"/out/Report"), Accept(u"/out/Report"), Accept(u"/out/New")});
  m_windowing.AnswerMessageBoxes({IDNO, IDYES});
  SaveCopy::Run(m_window.m_hWnd, Request(false), m_openAfterSave);
  EXPECT_EQ(m_system.FileContent(u"/out/Report.PDF"), "old");
  SaveCopy::Run(m_window.m_hWnd, Request(false), m_openAfterSave);
  EXPECT_EQ(m_system.FileContent(u"/out/Report.PDF"), "%PDF-1");
  // A name that is free, or one with its own extension, is not asked about.
  SaveCopy::Run(m_window.m_hWnd, Request(false), m_openAfterSave);
  EXPECT_EQ(m_system.FileContent(u"/out/New.PDF"), "%PDF-1");
  ASSERT_EQ(m_windowing.MessageBoxes().size(), 2u);
  EXPECT_EQ(m_windowing.MessageBoxes()[0].text, u"/out/Report.PDF" + std::u16string(LoadStringResource(IDS_CONFIRM_REPLACE)));
  EXPECT_EQ(SaveCopy::Destination(u"/out/a.b c", u".PDF"), u"/out/a.b c.PDF");
  EXPECT_EQ(SaveCopy::Destination(u"/out/a.txt", u".PDF"), u"/out/a.txt");
}

}  // namespace
