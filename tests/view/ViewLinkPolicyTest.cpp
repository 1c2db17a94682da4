// The view's link policy against the fake engine: which navigations go on,
// go to the desktop or to a file operation, which downloads the operations
// take, what new-window requests become, and how queued saves are handled.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/FakeLinkEventArgs.h"
#include "util/Strings.h"
#include "view/ViewFixture.h"

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
  std::optional<BOOL> Navigate(std::u16string uri) {
    auto args = MakeComObject<FakeNavigationStartingEventArgs>(std::move(uri));
    m_webView->RaiseNavigationStarting(args.Get());
    return args->cancel;
  }
  // Runs the posted messages to the end of the queue.
  void Pump() {
    MSG msg{};
    while (m_windowing.PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) m_windowing.DispatchMessage(&msg);
  }
};

TEST_F(ViewLinkPolicyTest, NavigationsAreJudgedBySchemeAndByTheFilesExtension) {
  // Web links, refused schemes and saved copies are also followed in the
  // linkpolicy GUI tests (weblinks, saveas).
  RunChain();
  struct Row {
    std::u16string uri;
    std::optional<BOOL> cancel;
    std::vector<Launch> launches;
  };
  const Row rows[] = {
      // Files of types without an operation open in the view.
      {u"file:///d/a.PNG", std::nullopt, {}},
      // Configured types go to their operation; the path keeps its case.
      {u"file:///d/My%20Doc.DOCX", TRUE, {{u"/d/My Doc.DOCX", {}, {}}}},
      {u"file:///d/notes.txt", TRUE, {{{}, u"/usr/bin/editor", {u"/d/notes.txt"}}}},
      {u"file:///d/README", TRUE, {{u"/d/README", {}, {}}}},  // the empty key is configured
      // A file URL naming no local path reaches no operation, not even the empty key's.
      {u"file://server/share/a.docx", std::nullopt, {}},
      {u"http://example.com/", TRUE, {{u"http://example.com/", {}, {}}}},
      // Every other scheme is refused; the comparison is exact.
      {u"HTTPS://example.com/", TRUE, {}},
      // Text that is no address is left to the engine, which cannot load it.
      {u"no scheme here", std::nullopt, {}},
  };
  for (const Row& row : rows) {
    const std::size_t before = m_system.ShellLaunches().size();
    EXPECT_EQ(Navigate(row.uri), row.cancel) << WideToUtf8(row.uri);
    const std::vector<Launch> launches(m_system.ShellLaunches().begin() + before, m_system.ShellLaunches().end());
    EXPECT_EQ(launches, row.launches) << WideToUtf8(row.uri);
  }
  EXPECT_EQ(m_log->Count("Navigate("), 1);  // the start page only: nothing is reloaded in the view
}

TEST_F(ViewLinkPolicyTest, DownloadsOfConfiguredLocalFilesAreTakenAndOthersLeftToTheRuntime) {
  // Web downloads are followed in the linkpolicy GUI test "download".
  RunChain();
  for (const auto& [uri, cancel] : {std::pair(u"file:///d/a.docx", std::optional<BOOL>(TRUE)),
                                    std::pair(u"file:///d/a.zip", std::optional<BOOL>())}) {
    auto args = MakeComObject<FakeDownloadStartingEventArgs>(MakeComObject<FakeDownloadOperation>(uri));
    EXPECT_EQ(m_webView->RaiseDownloadStarting(args.Get()), S_OK);
    EXPECT_EQ(args->cancel, cancel);
  }
  EXPECT_THAT(m_system.ShellLaunches(), ElementsAre(Launch{u"/d/a.docx", {}, {}}));
  auto noOperation = MakeComObject<FakeDownloadStartingEventArgs>(nullptr);
  EXPECT_EQ(m_webView->RaiseDownloadStarting(noOperation.Get()), E_POINTER);
}

TEST_F(ViewLinkPolicyTest, ANewWindowIsRefusedEvenWhenItsAddressCannotBeRead) {
  // That its address is navigated in the view is followed in the linkpolicy GUI test "weblinks".
  RunChain();
  auto broken = MakeComObject<FakeNewWindowRequestedEventArgs>(E_OUTOFMEMORY);
  EXPECT_EQ(m_webView->RaiseNewWindowRequested(broken.Get()), E_OUTOFMEMORY);
  EXPECT_EQ(broken->handled, TRUE);
  EXPECT_EQ(m_log->Count("Navigate("), 1);
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
  EXPECT_EQ(m_windowing.SaveDialogs()[0].first, m_view.m_hWnd);
  EXPECT_EQ(m_system.FileContent(u"/out/first.pdf"), "1");
  EXPECT_EQ(m_system.FileContent(u"/out/second.pdf"), "2");
}

}  // namespace
