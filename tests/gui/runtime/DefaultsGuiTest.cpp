// The view's browser defaults driven as a user would, with xdotool on the
// display: reload, back and forward, find, zoom, the status line and script
// dialogs, and a page that keeps a key for itself.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <utility>
#include <string>
#include <tuple>
#include <vector>

#include "tests/gui/runtime/FindWidget.h"
#include "tests/gui/runtime/RuntimeGuiCase.h"

namespace {

// Two pages alike: each reports every showing with how it was reached, the
// last key it saw and its width in page pixels (which zoom changes). With
// "keep" in its address a page keeps Ctrl+R and Alt+Left for itself; with "alert" it
// shows an alert once loaded. Each is taller than the view, so that the wheel
// could scroll it.
constexpr char kKeysHtml[] = R"html(<!doctype html><html><head><meta charset="utf-8"></head><body style="margin:0">
<p>apple banana Apple cherry apple</p><div style="height:3000px"></div>
<a id="link" href="two.html" style="position:absolute;left:100px;top:100px;font-size:40px">to page two</a>
<script>
const q = new URLSearchParams(location.search), keep = q.has("keep");
addEventListener("keydown", e => {
  const name = (e.ctrlKey ? "ctrl-" : "") + (e.altKey ? "alt-" : "") + e.key.toLowerCase();
  sessionStorage.last = name;
  if (keep && (name === "ctrl-r" || name === "alt-arrowleft")) { e.preventDefault(); fetch("kept.txt?key=" + name); }
});
addEventListener("pageshow", e => {
  const nav = e.persisted ? "cache" : performance.getEntriesByType("navigation")[0].type;
  sessionStorage.shows = Number(sessionStorage.shows || 0) + 1;
  fetch("shown.txt?page=" + location.pathname.split("/").pop() + "&keep=" + keep + "&nav=" + nav + "&last=" +
        (sessionStorage.last || "") + "&w=" + innerWidth + "&shows=" + sessionStorage.shows);
  if (q.has("alert")) setTimeout(() => { alert("hello"); fetch("after-alert.txt"); }, 0);
});
</script></body></html>
)html";

// A page with a plain link to a local archive, which the engine cannot show
// and so downloads, and a button that asks to show notifications and reports
// the answer.
constexpr char kFilesHtml[] = R"html(<!doctype html><html><head><meta charset="utf-8"></head><body style="margin:0">
<a href="archive.zip" style="position:absolute;left:100px;top:100px;font-size:40px">the archive</a>
<button id="ask" style="position:absolute;left:100px;top:250px;width:200px;height:60px">ask</button>
<script>
document.getElementById("ask").onclick = () =>
  Notification.requestPermission().then(answer => fetch("permission.txt?answer=" + answer + "&n=" + Date.now()));
fetch("files-shown.txt");
</script></body></html>
)html";

constexpr char kCaption[] = "Keys Test Caption";

class DefaultsGuiTest : public RuntimeGuiCase {
 protected:
  void SetUp() override {
    RuntimeGuiCase::SetUp();
    for (const char* name : {"keys.html", "two.html"}) AddFile(name, kKeysHtml);
    AddFile("files.html", kFilesHtml);
    AddFile("archive.zip", "PK\x05\x06 an empty archive");
    ASSERT_NO_FATAL_FAILURE(Start());
    gtk_window_set_title(GTK_WINDOW(m_host->window), kCaption);
    m_view = FindWidget(m_host->window, [](GtkWidget* w) { return g_str_equal(G_OBJECT_TYPE_NAME(w), "WebKitWebView"); });
    ASSERT_NE(m_view, nullptr);
  }

  // Opens a page and clicks into it, so that the keys that follow go to the page.
  void Open(const std::string& name, const std::string& shown) {
    ASSERT_NO_FATAL_FAILURE(Load(name, shown));
    gtk_window_present(GTK_WINDOW(m_host->window));
    ASSERT_NO_FATAL_FAILURE(Xdo("mousemove " + ScreenPoint(400, 400) + " click 1"));
    ASSERT_TRUE(m_host->RunUntil([&] { return gtk_window_has_toplevel_focus(GTK_WINDOW(m_host->window)) && gtk_widget_has_focus(m_view); }));
  }
  double Zoom() const {
    double level = 0;
    g_object_get(m_view, "zoom-level", &level, nullptr);
    return level;
  }
  GtkWidget* Named(const char* name) const {
    return NamedWidget(m_host->window, name);
  }
  // Clicks the middle of a widget of the runtime's over the view.
  void ClickWidget(GtkWidget* widget) {
    // A widget just shown has its place only once the toolkit laid it out.
    ASSERT_TRUE(m_host->RunUntil([&] { return gtk_widget_get_mapped(widget) && gtk_widget_get_allocated_width(widget) > 1; }));
    int x = 0, y = 0;
    ASSERT_TRUE(gtk_widget_translate_coordinates(widget, m_host->window, gtk_widget_get_allocated_width(widget) / 2,
                                                 gtk_widget_get_allocated_height(widget) / 2, &x, &y));
    Xdo("mousemove " + ScreenPoint(x, y) + " click 1");
  }

  GtkWidget* m_view = nullptr;
};

TEST_F(DefaultsGuiTest, ReloadBackAndForwardKeysAndButtonsActUnlessThePageKeepsTheKey) {
  Open("keys.html", "page=keys.html&keep=false&nav=navigate");
  Xdo("key F5");
  ASSERT_TRUE(Saw("page=keys.html&keep=false&nav=reload&last=f5"));
  Xdo("key ctrl+r");
  ASSERT_TRUE(Saw("page=keys.html&keep=false&nav=reload&last=ctrl-r"));
  Xdo("mousemove " + ScreenPoint(110, 120) + " click 1");
  ASSERT_TRUE(Saw("page=two.html&keep=false&nav=navigate"));
  Xdo("key alt+Left");
  ASSERT_TRUE(Saw("page=keys.html&keep=false&nav=cache&last=alt-arrowleft"));
  Xdo("click 9");
  ASSERT_TRUE(Saw("page=two.html&keep=false&nav=cache"));
  const std::size_t beforeBack = m_host->requests.size();
  Xdo("click 8");
  ASSERT_TRUE(Saw("page=keys.html", beforeBack));

  // A page that takes Ctrl+R and Alt+Left for itself gets them and is
  // neither reloaded nor left; F5, which it leaves alone, still reloads it.
  Open("keys.html?keep", "page=keys.html&keep=true&nav=navigate");
  Xdo("key ctrl+r");
  ASSERT_TRUE(Saw("kept.txt?key=ctrl-r"));
  Xdo("key alt+Left");
  ASSERT_TRUE(Saw("kept.txt?key=alt-arrowleft"));
  Xdo("key F5");
  ASSERT_TRUE(Saw("keep=true&nav=reload&last=f5"));
  EXPECT_EQ(m_host->RequestContaining("keep=true&nav=reload&last=ctrl-r"), "");
}

TEST_F(DefaultsGuiTest, FindBarCountsMatchesAndEscGivesThePageItsFocusBack) {
  Open("keys.html", "page=keys.html");
  Xdo("key ctrl+f");
  GtkWidget* entry = Named("find-entry");
  ASSERT_TRUE(entry && m_host->RunUntil([&] { return gtk_widget_has_focus(entry); }));
  Xdo("type apple");
  GtkWidget* count = Named("find-match-count");
  ASSERT_TRUE(m_host->RunUntil([&] { return g_str_equal(gtk_label_get_text(GTK_LABEL(count)), "3 matches"); }))
      << gtk_label_get_text(GTK_LABEL(count));
  Xdo("type x");
  ASSERT_TRUE(m_host->RunUntil([&] { return g_str_equal(gtk_label_get_text(GTK_LABEL(count)), "No matches"); }));
  Xdo("key Escape");
  ASSERT_TRUE(m_host->RunUntil([&] { return !gtk_widget_is_visible(entry); }));
  EXPECT_TRUE(gtk_widget_has_focus(m_view));
}

TEST_F(DefaultsGuiTest, CtrlPOpensTheToolkitsPrintDialog) {
  Open("keys.html", "page=keys.html");
  // The dialog runs a loop of its own, in which the test's loop does not
  // turn; a timer inside it notes the dialog and cancels it.
  bool seen = false;
  g_timeout_add(200, [](gpointer seen) {
    GtkWidget* dialog = VisibleWindow([](GtkWidget* w) { return g_str_equal(G_OBJECT_TYPE_NAME(w), "GtkPrintUnixDialog"); });
    if (dialog) gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
    return (*static_cast<bool*>(seen) = dialog != nullptr) ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
  }, &seen);
  Xdo("key ctrl+p");
  ASSERT_TRUE(m_host->RunUntil([&] { return seen; }));
}

TEST_F(DefaultsGuiTest, ZoomStepsWithKeysAndWheelAndStaysAcrossLoads) {
  Open("keys.html", "page=keys.html&keep=false&nav=navigate&last=&w=800");
  const auto zoomIs = [&](double level) { return m_host->RunUntil([&] { return std::abs(Zoom() - level) < 0.001; }); };
  // Each step and the level it leaves; the reload shows the page laid out in fewer, larger pixels.
  for (const auto& [keys, level, shown] : {std::tuple{"key ctrl+plus", 1.1, ""}, {"key ctrl+plus", 1.25, ""},
                                           {"key F5", 1.25, "nav=reload&last=f5&w=640"}, {"key ctrl+0", 1.0, ""},
                                           {"keydown ctrl click 5 keyup ctrl", 0.9, ""},
                                           {"keydown ctrl click 4 click 4 keyup ctrl", 1.1, ""}}) {
    Xdo(keys);
    if (*shown) {
      ASSERT_TRUE(Saw(shown));
    }
    ASSERT_TRUE(zoomIs(level)) << keys << ": " << Zoom();
  }
  // A touchpad pinch scales from the level it started at; the display has
  // no touchpad, so the toolkit is handed the pinch's events as one would send them.
  for (const auto& [phase, scale] : {std::pair{GDK_TOUCHPAD_GESTURE_PHASE_BEGIN, 1.0}, {GDK_TOUCHPAD_GESTURE_PHASE_UPDATE, 1.5},
                                     {GDK_TOUCHPAD_GESTURE_PHASE_UPDATE, 2.0}, {GDK_TOUCHPAD_GESTURE_PHASE_END, 2.0}}) {
    GdkEvent* pinch = gdk_event_new(GDK_TOUCHPAD_PINCH);
    pinch->touchpad_pinch.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(m_view)));
    pinch->touchpad_pinch.phase = phase;
    pinch->touchpad_pinch.n_fingers = 2;
    pinch->touchpad_pinch.scale = scale;
    pinch->touchpad_pinch.x = pinch->touchpad_pinch.y = 200;
    pinch->touchpad_pinch.time = GDK_CURRENT_TIME;
    gdk_event_set_device(pinch, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(pinch);
    gdk_event_free(pinch);
  }
  ASSERT_TRUE(zoomIs(2.2)) << Zoom();
}

TEST_F(DefaultsGuiTest, HoveringALinkShowsItsFileAddressUntilThePointerLeaves) {
  Open("keys.html", "page=keys.html");
  GtkWidget* line = Named("link-status-line");
  ASSERT_NE(line, nullptr);
  EXPECT_FALSE(gtk_widget_get_visible(line));
  Xdo("mousemove " + ScreenPoint(120, 125));
  ASSERT_TRUE(m_host->RunUntil([&] { return gtk_widget_get_visible(line); }));
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(line)), m_content.Url("two.html").c_str());
  Xdo("mousemove " + ScreenPoint(600, 400));
  ASSERT_TRUE(m_host->RunUntil([&] { return !gtk_widget_get_visible(line); }));
}

// What a right click offers, on the page and on a link, and the view's own
// Copy Link Address, chosen with the keyboard as a user may.
TEST_F(DefaultsGuiTest, TheContextMenuKeepsTheKioskItemsAndCopiesALinksFileAddress) {
  Open("keys.html", "page=keys.html");
  struct Menu { std::vector<int> actions; std::vector<std::string> labels; } menu;
  g_signal_connect(m_view, "context-menu", G_CALLBACK(+[](WebKitWebView*, WebKitContextMenu* items, GdkEvent*, gpointer, Menu* seen) {
    *seen = {};
    for (GList* item = webkit_context_menu_get_items(items); item; item = item->next) {
      auto* entry = static_cast<WebKitContextMenuItem*>(item->data);
      if (webkit_context_menu_item_is_separator(entry)) continue;
      seen->actions.push_back(webkit_context_menu_item_get_stock_action(entry));
      GtkAction* gtk = nullptr;
      G_GNUC_BEGIN_IGNORE_DEPRECATIONS
      gtk = webkit_context_menu_item_get_action(entry);
      seen->labels.emplace_back(gtk ? gtk_action_get_label(gtk) : "");
      G_GNUC_END_IGNORE_DEPRECATIONS
    }
    return FALSE;
  }), &menu);
  const auto has = [&](WebKitContextMenuAction action) {
    return std::find(menu.actions.begin(), menu.actions.end(), action) != menu.actions.end();
  };
  Xdo("mousemove " + ScreenPoint(120, 125) + " click 3");
  ASSERT_TRUE(m_host->RunUntil([&] { return has(WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW); }));
  EXPECT_TRUE(has(WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_LINK_TO_DISK));
  for (const auto action : {WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK, WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD,
                            WEBKIT_CONTEXT_MENU_ACTION_INSPECT_ELEMENT})
    EXPECT_FALSE(has(action)) << action;
  ASSERT_FALSE(menu.labels.empty());
  EXPECT_EQ(menu.labels.front(), "Copy Link Address");
  Xdo("key Down Return");
  GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  std::string copied;
  ASSERT_TRUE(m_host->RunUntil([&] {
    g_autofree char* text = gtk_clipboard_wait_for_text(clipboard);
    return !(copied = text ? text : "").empty();
  }));
  EXPECT_EQ(copied, m_content.Url("two.html"));
  Xdo("mousemove " + ScreenPoint(600, 400) + " click 3");
  ASSERT_TRUE(m_host->RunUntil([&] { return !menu.actions.empty() && !has(WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW); }));
  for (const auto action : {WEBKIT_CONTEXT_MENU_ACTION_GO_BACK, WEBKIT_CONTEXT_MENU_ACTION_RELOAD}) EXPECT_TRUE(has(action)) << action;
  EXPECT_EQ(menu.labels.back(), "Print…");
  Xdo("key Escape");
}

TEST_F(DefaultsGuiTest, ScriptDialogsAreTitledWithTheWindowsCaption) {
  ComPtr<ICoreWebView2Settings> settings;
  m_host->webView->get_Settings(settings.GetAddressOf());
  ASSERT_EQ(settings->put_AreDefaultScriptDialogsEnabled(TRUE), S_OK);
  ASSERT_EQ(m_host->Navigate(m_content.Url("keys.html?alert")), S_OK);
  GtkWidget* dialog = nullptr;
  ASSERT_TRUE(m_host->RunUntil([&] { return (dialog = VisibleWindow([](GtkWidget* w) { return GTK_IS_MESSAGE_DIALOG(w); })); }));
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog)), kCaption);
  gtk_window_present(GTK_WINDOW(dialog));
  Xdo("key Return");
  ASSERT_TRUE(Saw("after-alert.txt"));
}

// A plain link to a local file the engine cannot show is saved in the
// download folder under a name that replaces nothing, and the indicator
// names it; a folder that cannot be written is said to have failed.
TEST_F(DefaultsGuiTest, ALocalArchiveLinkIsSavedBesideWhatIsThereAndTheIndicatorNamesIt) {
  const DownloadFolder downloads;
  const std::string& folder = downloads.path;
  ASSERT_TRUE(g_file_set_contents((folder + "/archive.zip").c_str(), "mine", -1, nullptr));
  Open("files.html", "files-shown.txt");
  GtkWidget* indicator = Named("download-indicator");
  ASSERT_NE(indicator, nullptr);
  EXPECT_FALSE(gtk_widget_get_visible(indicator));
  Xdo("mousemove " + ScreenPoint(150, 120) + " click 1");
  GtkWidget* open = nullptr;
  ASSERT_TRUE(m_host->RunUntil([&] { return (open = Named("download-open")) && gtk_widget_get_visible(open); }));
  EXPECT_TRUE(gtk_widget_get_visible(indicator));
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(Named("download-name"))), "archive (1).zip");
  EXPECT_TRUE(gtk_widget_get_visible(Named("download-show")));
  EXPECT_EQ(FileText(folder + "/archive (1).zip"), "PK\x05\x06 an empty archive");
  EXPECT_EQ(FileText(folder + "/archive.zip"), "mine");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2) << "a temporary file was left";

  g_setenv("VELLUMVIEW_DOWNLOAD_DIR", (folder + "/archive.zip/below").c_str(), TRUE);  // under a file
  Xdo("mousemove " + ScreenPoint(150, 120) + " click 1");
  GtkWidget* status = nullptr;
  ASSERT_TRUE(m_host->RunUntil([&] {
    status = FindWidget(indicator, [](GtkWidget* w) {
      return g_str_equal(gtk_widget_get_name(w), "download-status") && gtk_widget_get_visible(w);
    });
    return status != nullptr;
  }));
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(status)), "Download failed");
}

// A notification request asks the user, whose answer reaches the page and
// is remembered for the application: the second request is answered unasked.
TEST_F(DefaultsGuiTest, ANotificationRequestAsksAndItsAnswerReachesThePageAndIsKept) {
  Open("files.html", "files-shown.txt");
  GtkWidget* prompt = Named("permission-prompt");
  ASSERT_NE(prompt, nullptr);
  EXPECT_FALSE(gtk_widget_get_visible(prompt));
  Xdo("mousemove " + ScreenPoint(200, 280) + " click 1");
  ASSERT_TRUE(m_host->RunUntil([&] { return gtk_widget_get_visible(prompt); }));
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(Named("permission-text"))), "This application wants to show notifications.");
  ClickWidget(Named("permission-allow"));
  ASSERT_TRUE(Saw("permission.txt?answer=granted"));
  EXPECT_FALSE(gtk_widget_get_visible(prompt));
  const std::size_t before = m_host->requests.size();
  Xdo("mousemove " + ScreenPoint(200, 280) + " click 1");
  ASSERT_TRUE(Saw("permission.txt?answer=granted", before));
  EXPECT_FALSE(gtk_widget_get_visible(prompt));
}

}  // namespace
