// The error page under a display, with the real engine: a missing start
// page, and the page's web process killed under it, each shown as the error
// page and brought back as a user would (its Reload button, F5); a page
// that stops answering gets the notice, whose Reload brings it back.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "tests/gui/runtime/FindWidget.h"
#include "tests/gui/runtime/RuntimeGuiCase.h"

namespace {

// The names of the error page's widgets.
constexpr char kPanel[] = "error-page", kAddress[] = "error-page-address", kReason[] = "error-page-reason",
               kReload[] = "error-page-reload", kNotice[] = "unresponsive-notice", kNoticeReload[] = "unresponsive-reload";

// Reports each showing of itself.
constexpr char kPage[] = "<!doctype html><p>shown</p><script>fetch('shown.txt?page=' + location.pathname.split('/').pop());</script>";

// Reports each showing, and stops answering when first opened (not when
// reloaded), saying so just before.
constexpr char kBusyPage[] = R"html(<!doctype html><p>busy</p><script>
fetch("shown.txt?page=busy.html").then(() => {
  if (performance.getEntriesByType("navigation")[0].type !== "reload") setTimeout(() => { fetch("looping.txt"); for (;;) {} }, 200);
});
</script>)html";

class ErrorPageGuiTest : public RuntimeGuiCase {
 protected:
  void SetUp() override {
    RuntimeGuiCase::SetUp();
    ASSERT_NO_FATAL_FAILURE(Start());
    m_panel = NamedWidget(m_host->window, kPanel);
    ASSERT_NE(m_panel, nullptr);
  }
  std::string Text(const char* name) const { return gtk_label_get_text(GTK_LABEL(NamedWidget(m_panel, name))); }
  size_t Shown(const std::string& page) const {
    return std::count(m_host->requests.begin(), m_host->requests.end(), m_content.Url("shown.txt?page=" + page));
  }
  // Clicks into the page at (400, 300), as a user does before pressing a key.
  void ClickPage() const {
    gtk_window_present(GTK_WINDOW(m_host->window));
    Xdo("mousemove " + ScreenPoint(400, 300) + " click 1");
  }
  bool PanelShown(bool shown) { return m_host->RunUntil([&] { return gtk_widget_get_visible(m_panel) == shown; }); }

  GtkWidget* m_panel = nullptr;
};

TEST_F(ErrorPageGuiTest, AMissingPageShowsItsAddressAndReasonAndReloadShowsItOnceItIsThere) {
  EXPECT_FALSE(gtk_widget_get_visible(m_panel));
  ASSERT_EQ(m_host->Navigate(m_content.Url("later.html")), S_OK);
  ASSERT_TRUE(PanelShown(true));
  EXPECT_EQ(Text(kAddress), m_content.Url("later.html"));
  // The texts follow the user's language (the test is also run with LANGUAGE=ja).
  const bool japanese = g_strcmp0(g_getenv("LANGUAGE"), "ja") == 0;
  EXPECT_EQ(Text(kReason), japanese ? "ファイルが存在しないか、開くことができません。" : "The file does not exist, or cannot be opened.");
  AddFile("later.html", kPage);
  gtk_button_clicked(GTK_BUTTON(NamedWidget(m_panel, kReload)));
  ASSERT_TRUE(m_host->RunUntil([&] { return Shown("later.html") == 1; }));
  EXPECT_TRUE(PanelShown(false));
}

TEST_F(ErrorPageGuiTest, AKilledWebProcessShowsTheErrorPageAndF5BringsThePageBackOnce) {
  AddFile("page.html", kPage);
  ASSERT_EQ(m_host->Navigate(m_content.Url("page.html")), S_OK);
  ASSERT_TRUE(m_host->RunUntil([&] { return Shown("page.html") == 1; }));
  ASSERT_NO_FATAL_FAILURE(ClickPage());
  // Every web process of the engine that this process started.
  int killed = 0;
  for (const pid_t pid : ChildrenNamed("WebKitWebProcess")) killed += kill(pid, SIGKILL) == 0;
  ASSERT_GT(killed, 0);
  ASSERT_TRUE(PanelShown(true));
  EXPECT_EQ(Text(kAddress), m_content.Url("page.html"));
  EXPECT_EQ(Text(kReason), "The page's process ended unexpectedly.");  // a kill is a crash to the engine
  // Nothing reloads by itself.
  bool waited = false;
  g_timeout_add(1500, [](gpointer flag) { return *static_cast<bool*>(flag) = true, G_SOURCE_REMOVE; }, &waited);
  m_host->RunUntil([&] { return waited; });
  EXPECT_EQ(Shown("page.html"), 1u);
  ASSERT_NO_FATAL_FAILURE(Xdo("key F5"));
  ASSERT_TRUE(m_host->RunUntil([&] { return Shown("page.html") == 2; }));
  EXPECT_TRUE(PanelShown(false));
}

// The engine finds a page unresponsive only when it waits for the page's
// answer to an event; it waits for one to a key (not to a click), so the
// test clicks into the busy page and types, as a user would.
TEST_F(ErrorPageGuiTest, APageThatStopsAnsweringGetsTheNoticeAndItsReloadBringsThePageBack) {
  AddFile("busy.html", kBusyPage);
  ASSERT_NO_FATAL_FAILURE(Load("busy.html", "looping.txt"));
  GtkWidget* notice = NamedWidget(m_host->window, kNotice);
  ASSERT_NE(notice, nullptr);
  EXPECT_FALSE(gtk_widget_get_visible(notice));
  ASSERT_NO_FATAL_FAILURE(ClickPage());
  ASSERT_NO_FATAL_FAILURE(Xdo("key a"));
  ASSERT_TRUE(m_host->RunUntil([&] { return gtk_widget_get_visible(notice); }));
  EXPECT_FALSE(gtk_widget_get_visible(m_panel)) << "a page that may still answer is not an error";
  gtk_button_clicked(GTK_BUTTON(NamedWidget(notice, kNoticeReload)));
  ASSERT_TRUE(m_host->RunUntil([&] { return Shown("busy.html") == 2; }));
  EXPECT_FALSE(gtk_widget_get_visible(notice));
  EXPECT_FALSE(gtk_widget_get_visible(m_panel));
}

}  // namespace
