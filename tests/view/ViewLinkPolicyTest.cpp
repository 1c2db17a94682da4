// The view's link policy against the fake engine: which navigations go on,
// go to the desktop or to a file operation, which downloads the operations
// take, what new-window requests become, and how queued saves are handled.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "com/CoTaskMem.h"
#include "fakes/FakeEnvironment.h"
#include "fakes/FakeLinkEventArgs.h"
#include "loader/LoaderTestSupport.h"
#include "platform/FakePlatformScope.h"
#include "util/FailureLog.h"
#include "util/Strings.h"
#include "view/ViewFixture.h"
#include "view/View.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using ::testing::ElementsAre;
using Launch = FakeSystem::ShellLaunch;

class ViewLinkPolicyTest : public ViewFixture {
 protected:
  ViewLinkPolicyTest() {
    m_frame.settings.saveAsExt = {{u"PDF", u".pdf", true}};
    m_frame.settings.shellExecuteExt = {u".docx", u"", u"pdf", u".PDF"};
    m_frame.settings.openBy = {{u".txt", u"/usr/bin/editor"}};
  }

  // Raises a navigation; the cancel flag it ended with (nullopt: untouched).
  std::optional<BOOL> Navigate(std::u16string uri, HRESULT* result = nullptr) {
    auto args = MakeComObject<FakeNavigationStartingEventArgs>(std::move(uri));
    const HRESULT hr = m_webView->RaiseNavigationStarting(args.Get());
    if (result) *result = hr;
    return args->cancel;
  }
  std::optional<BOOL> Download(std::u16string uri) {
    auto args = MakeComObject<FakeDownloadStartingEventArgs>(MakeComObject<FakeDownloadOperation>(std::move(uri)));
    EXPECT_EQ(m_webView->RaiseDownloadStarting(args.Get()), S_OK);
    return args->cancel;
  }
  // Runs the posted messages to the end of the queue.
  void Pump() {
    MSG msg{};
    while (m_windowing.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) m_windowing.DispatchMessage(&msg);
  }
};

TEST_F(ViewLinkPolicyTest, NavigationsAreJudgedBySchemeAndByTheFilesExtension) {
  m_system.AddFile(u"/d/Report.PDF", {.content = "%PDF"});
  RunChain();
  struct Row {
    std::u16string uri;
    std::optional<BOOL> cancel;
    std::vector<Launch> launches;
  };
  const Row rows[] = {
      // Local pages and files of types without an operation open in the view.
      {u"file:///srv/app/index.html", std::nullopt, {}},
      {u"file:///d/a.PNG", std::nullopt, {}},
      // Configured types go to their operation; the path keeps its case.
      {u"file:///d/My%20Doc.DOCX", TRUE, {{u"/d/My Doc.DOCX", {}, {}}}},
      {u"file:///d/notes.txt", TRUE, {{{}, u"/usr/bin/editor", {u"/d/notes.txt"}}}},
      {u"file:///d/README", TRUE, {{u"/d/README", {}, {}}}},  // the empty key is configured
      {u"file:///d/Report.PDF", TRUE, {}},                      // saved later, through WM_SAVE_COPY
      // A file URL naming no local path reaches no operation, not even the empty key's.
      {u"file://server/share/a.docx", std::nullopt, {}},
      // Web addresses go to the desktop, exactly as received.
      {u"https://example.com/a?b#c", TRUE, {{u"https://example.com/a?b#c", {}, {}}}},
      {u"http://example.com/", TRUE, {{u"http://example.com/", {}, {}}}},
      // Every other scheme is refused; the comparison is exact.
      {u"mailto:a@example.com", TRUE, {}}, {u"javascript:alert(1)", TRUE, {}}, {u"about:blank", TRUE, {}},
      {u"HTTPS://example.com/", TRUE, {}}, {u"FILE:///d/a.docx", TRUE, {}},
  };
  for (const Row& row : rows) {
    const std::size_t before = m_system.ShellLaunches().size();
    EXPECT_EQ(Navigate(row.uri), row.cancel) << WideToUtf8(row.uri);
    const std::vector<Launch> launches(m_system.ShellLaunches().begin() + before, m_system.ShellLaunches().end());
    EXPECT_EQ(launches, row.launches) << WideToUtf8(row.uri);
  }
  EXPECT_EQ(m_log->Count("Navigate("), 1);  // the start page only: nothing is reloaded in the view
}

TEST_F(ViewLinkPolicyTest, AnAddressWithoutASchemeIsLoggedAndLeftAlone) {
  RunChain();
  const int failures = FailureCount();
  HRESULT hr = S_OK;
  EXPECT_EQ(Navigate(u"no scheme here", &hr), std::nullopt);
  EXPECT_EQ(hr, E_INVALIDARG);
  EXPECT_EQ(FailureCount(), failures + 1);
}

TEST_F(ViewLinkPolicyTest, DownloadsOfConfiguredLocalFilesAreTakenAndOthersLeftToTheRuntime) {
  RunChain();
  EXPECT_EQ(Download(u"file:///d/a.docx"), TRUE);
  EXPECT_EQ(Download(u"file:///d/a.zip"), std::nullopt);
  // A web download yields no path: it never reaches the empty key's operation.
  EXPECT_EQ(Download(u"https://example.com/file"), std::nullopt);
  EXPECT_THAT(m_system.ShellLaunches(), ElementsAre(Launch{u"/d/a.docx", {}, {}}));

  const int failures = FailureCount();
  auto noOperation = MakeComObject<FakeDownloadStartingEventArgs>(nullptr, E_FAIL);
  EXPECT_EQ(m_webView->RaiseDownloadStarting(noOperation.Get()), E_FAIL);
  auto noUri = MakeComObject<FakeDownloadStartingEventArgs>(MakeComObject<FakeDownloadOperation>(u"", E_OUTOFMEMORY));
  EXPECT_EQ(m_webView->RaiseDownloadStarting(noUri.Get()), E_OUTOFMEMORY);
  EXPECT_EQ(FailureCount(), failures + 2);
  EXPECT_FALSE(noOperation->cancel || noUri->cancel);
}

TEST_F(ViewLinkPolicyTest, ANewWindowIsNeverOpenedAndItsAddressIsNavigatedInTheView) {
  RunChain();
  auto web = MakeComObject<FakeNewWindowRequestedEventArgs>(u"https://example.com/");
  EXPECT_EQ(m_webView->RaiseNewWindowRequested(web.Get()), S_OK);
  EXPECT_EQ(web->handled, TRUE);
  EXPECT_TRUE(web->handledBeforeUri);
  EXPECT_EQ(m_log->Calls().back(), "Navigate(https://example.com/)");

  const int failures = FailureCount();
  auto broken = MakeComObject<FakeNewWindowRequestedEventArgs>(u"x", E_OUTOFMEMORY);
  EXPECT_EQ(m_webView->RaiseNewWindowRequested(broken.Get()), E_OUTOFMEMORY);
  EXPECT_EQ(broken->handled, TRUE);
  EXPECT_EQ(FailureCount(), failures + 1);
  EXPECT_EQ(m_log->Count("Navigate("), 2);
}

TEST_F(ViewLinkPolicyTest, TwoQuickSavesShowOneDialogForEachFileInOrderNeverStacked) {
  m_system.AddFile(u"/d/one.pdf", {.content = "1"});
  m_system.AddFile(u"/d/two.pdf", {.content = "2"});
  RunChain();
  std::size_t dialogsWhileFirstOpen = 0;
  m_windowing.AnswerSaveDialogs({[&](const SaveFileDialog&, SaveFileDialogResult* result) {
                                   // The dialog's modal loop dispatches the second request's message.
                                   Pump();
                                   dialogsWhileFirstOpen = m_windowing.SaveDialogs().size();
                                   result->path = u"/out/first.pdf";
                                   return S_OK;
                                 },
                                 [](const SaveFileDialog&, SaveFileDialogResult* result) {
                                   result->path = u"/out/second.pdf";
                                   return S_OK;
                                 }});
  EXPECT_EQ(Navigate(u"file:///d/one.pdf"), TRUE);
  EXPECT_EQ(Navigate(u"file:///d/two.pdf"), TRUE);
  EXPECT_TRUE(m_windowing.SaveDialogs().empty());  // never inside the event
  Pump();
  EXPECT_EQ(dialogsWhileFirstOpen, 1u);
  ASSERT_EQ(m_windowing.SaveDialogs().size(), 2u);
  EXPECT_EQ(m_windowing.SaveDialogs()[0].second.fileName, u"one");
  EXPECT_EQ(m_windowing.SaveDialogs()[1].second.fileName, u"two");
  EXPECT_EQ(m_windowing.SaveDialogs()[0].first, m_view.m_hWnd);
  EXPECT_EQ(m_system.FileContent(u"/out/first.pdf"), "1");
  EXPECT_EQ(m_system.FileContent(u"/out/second.pdf"), "2");
}

}  // namespace
