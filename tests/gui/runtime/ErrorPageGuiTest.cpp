// The error page under a display, with the real engine: a missing start
// page, and the page's web process killed under it, each shown as the error
// page and brought back as a user would (its Reload button, F5).
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/gui/runtime/FindWidget.h"
#include "tests/gui/runtime/RuntimeGuiCase.h"

namespace {

// The names of the error page's widgets.
constexpr char kPanel[] = "error-page", kAddress[] = "error-page-address", kReason[] = "error-page-reason",
               kReload[] = "error-page-reload";

// Reports each showing of itself.
constexpr char kPage[] = "<!doctype html><p>shown</p><script>fetch('shown.txt?page=' + location.pathname.split('/').pop());</script>";

// Kills every web process of the engine that this process started; returns how many.
int KillWebProcesses() {
  int killed = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state;
    pid_t parent = 0;
    if (stat >> pid >> comm >> state >> parent && parent == getpid() && comm == "(WebKitWebProces)")
      killed += kill(std::stoi(pid), SIGKILL) == 0;
  }
  return killed;
}

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
  // Into the page, as a user clicks before pressing a key.
  gtk_window_present(GTK_WINDOW(m_host->window));
  int left = 0, top = 0;
  gdk_window_get_origin(gtk_widget_get_window(m_host->window), &left, &top);
  const std::string click = "xdotool mousemove " + std::to_string(left + 400) + " " + std::to_string(top + 300) + " click 1";
  ASSERT_TRUE(g_spawn_command_line_sync(click.c_str(), nullptr, nullptr, nullptr, nullptr));
  ASSERT_GT(KillWebProcesses(), 0);
  ASSERT_TRUE(PanelShown(true));
  EXPECT_EQ(Text(kAddress), m_content.Url("page.html"));
  EXPECT_EQ(Text(kReason), "The page's process ended unexpectedly.");  // a kill is a crash to the engine
  // Nothing reloads by itself.
  bool waited = false;
  g_timeout_add(1500, [](gpointer flag) { return *static_cast<bool*>(flag) = true, G_SOURCE_REMOVE; }, &waited);
  m_host->RunUntil([&] { return waited; });
  EXPECT_EQ(Shown("page.html"), 1u);
  ASSERT_TRUE(g_spawn_command_line_sync("xdotool key F5", nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(m_host->RunUntil([&] { return Shown("page.html") == 2; }));
  EXPECT_TRUE(PanelShown(false));
}

}  // namespace
