// The GTK windowing backend on a real display (run under Xvfb): what its
// handles are, how placement, styles and toolbar clicks map to GTK, what a
// message box answers, and that its wait wakes for other threads. Resizing,
// dialogs, the window menu and the application id are proven through the
// program itself (ShellGuiTest.sh).
#include "platform/linux/windowing/LinuxWindowing.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <atomic>
#include <thread>

#include "platform/Platform.h"
#include "tests/gui/runtime/FindWidget.h"
#include "window/CWindowImplBase.h"

namespace {

constexpr UINT kGiveUp = WM_APP + 0x3F;

// Answers WM_APP with wParam + 1 and records the last command.
class Window : public CWindowImplBase {
 public:
  bool ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == WM_COMMAND) command = {wParam, lParam};
    if (message != WM_APP) return false;
    ranOn = std::this_thread::get_id();
    result = static_cast<LRESULT>(wParam) + 1;
    return true;
  }
  std::pair<WPARAM, LPARAM> command{};
  std::thread::id ranOn;
};

class LinuxWindowingTest : public ::testing::Test {
 protected:
  LinuxWindowingTest() { Platform::Install(&windowing, nullptr); }
  ~LinuxWindowingTest() override {
    frame.DestroyWindow();
    Platform::Install(nullptr, nullptr);
  }
  void SetUp() override {
    ASSERT_TRUE(windowing.Initialize()) << "these tests need a display";
    const RECT rect{20, 30, 420, 330};
    ASSERT_NE(frame.Create(nullptr, &rect, u"Handles", WS_OVERLAPPEDWINDOW), nullptr);
  }

  // Pumps messages until `done` holds. Some of what is waited for (a
  // child's allocation) comes with no message of its own, so a GLib timer
  // posts an empty message now and then to have `done` looked at again; a
  // second one gives up so that a broken backend fails the test instead of
  // hanging it. Nothing depends on how long things take.
  template <typename Done>
  bool PumpUntil(Done done) {
    auto post = [](gpointer message) -> gboolean {
      Platform::Windowing().PostMessage(nullptr, GPOINTER_TO_UINT(message), 0, 0);
      return G_SOURCE_CONTINUE;
    };
    const guint tick = g_timeout_add(20, post, GUINT_TO_POINTER(WM_NULL));
    const guint guard = g_timeout_add_seconds(30, post, GUINT_TO_POINTER(kGiveUp));
    MSG msg;
    bool ok = true;
    while (ok && !done()) {
      ok = windowing.GetMessage(&msg, nullptr, 0, 0) && msg.message != kGiveUp;
      if (ok) windowing.DispatchMessage(&msg);
    }
    g_source_remove(tick);
    g_source_remove(guard);
    return ok;
  }

  LinuxWindowing windowing;
  Window frame;
};

GtkWidget* Widget(HWND hwnd) { return reinterpret_cast<GtkWidget*>(hwnd); }

// The caption and that the view's host is the frame's child are seen in the
// program itself: the shell GUI test finds the frame by its caption, and the
// link policy GUI test clicks the page's links in the host.
TEST_F(LinuxWindowingTest, StylesDecideTheDecorationsAndChildrenArePlacedByTheProgram) {
  Window child;
  const RECT childRect{10, 40, 110, 90};
  ASSERT_NE(child.Create(frame.m_hWnd, &childRect, u"", WS_CHILD | WS_VISIBLE), nullptr);
  GtkWidget* host = Widget(child.m_hWnd);
  ASSERT_TRUE(GTK_IS_WINDOW(Widget(frame.m_hWnd)) && GTK_IS_FIXED(host));
  // The caption and frame styles decide the decorations, both ways.
  GtkWindow* window = GTK_WINDOW(Widget(frame.m_hWnd));
  const LONG style = frame.GetWindowLong(GWL_STYLE);
  frame.SetWindowLong(GWL_STYLE, style & ~static_cast<LONG>(WS_CAPTION | WS_THICKFRAME));
  EXPECT_FALSE(gtk_window_get_decorated(window));
  frame.SetWindowLong(GWL_STYLE, style);
  EXPECT_TRUE(gtk_window_get_decorated(window));
  frame.ShowWindow(SW_SHOWNORMAL);
  child.SetWindowPos(nullptr, 5, 60, 390, 230, SWP_NOZORDER);
  GtkAllocation a{};
  const bool placed = PumpUntil([&] {
    gtk_widget_get_allocation(host, &a);
    return a.x == 5 && a.y == 60 && a.width == 390 && a.height == 230;
  });
  EXPECT_TRUE(placed) << a.x << "," << a.y << " " << a.width << "x" << a.height;
  // Something put into the host with gtk_fixed_put, as the runtime does,
  // goes with the host.
  GtkWidget* content = g_object_ref(gtk_label_new("content"));
  gtk_fixed_put(GTK_FIXED(host), content, 0, 0);
  frame.DestroyWindow();
  EXPECT_EQ(gtk_widget_get_parent(content), nullptr);
  g_object_unref(content);
}

TEST_F(LinuxWindowingTest, ASendFromAnotherThreadWakesTheWaitAndRunsOnTheWaitingThread) {
  std::atomic<LRESULT> answer = 0;
  std::thread worker([&, hwnd = frame.m_hWnd] { answer = Platform::Windowing().SendMessage(hwnd, WM_APP, 41, 0); });
  const bool ok = PumpUntil([&] { return answer != 0; });
  worker.join();
  ASSERT_TRUE(ok);
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(frame.ranOn, std::this_thread::get_id());
}

TEST_F(LinuxWindowingTest, ToolbarButtonsHaveToolTipsAndAClickIsACommandFromTheToolbar) {
  const ToolBarButton buttons[] = {{58000, u"go-previous", u"Back"}, {58002, u"view-refresh", u"Reload"}};
  const HWND bar = windowing.CreateToolBar(frame.m_hWnd, 0xE800, buttons);
  ASSERT_TRUE(bar && GTK_IS_TOOLBAR(Widget(bar)));
  ASSERT_EQ(gtk_toolbar_get_n_items(GTK_TOOLBAR(Widget(bar))), 2);
  GtkWidget* button[2];
  for (int i = 0; i < 2; ++i) {
    // The tool button keeps its tool tip on the button inside it.
    button[i] = gtk_bin_get_child(GTK_BIN(gtk_toolbar_get_nth_item(GTK_TOOLBAR(Widget(bar)), i)));
    g_autofree gchar* tip = gtk_widget_get_tooltip_text(button[i]);
    EXPECT_STREQ(tip, i == 0 ? "Back" : "Reload");
  }
  gtk_button_clicked(GTK_BUTTON(button[1]));
  ASSERT_TRUE(PumpUntil([&] { return frame.command.first != 0; }));
  EXPECT_EQ(frame.command, (std::pair<WPARAM, LPARAM>{MAKEWPARAM(58002, BN_CLICKED), reinterpret_cast<LPARAM>(bar)}));
}

TEST_F(LinuxWindowingTest, AMessageBoxAnswersItsButtonAndClosingItNeverConfirms) {
  // What the user does (a button, or the close box) and what the box answers.
  // (Confirming a box with OK is what the shell and link policy GUI tests do.)
  const struct { UINT type; gint response; int answer; } rows[] = {
      {MB_YESNO, GTK_RESPONSE_YES, IDYES},
      {MB_OK | MB_ICONERROR, GTK_RESPONSE_DELETE_EVENT, IDOK},  // OK is the only thing it can say
      {MB_OKCANCEL, GTK_RESPONSE_DELETE_EVENT, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, GTK_RESPONSE_DELETE_EVENT, IDNO},
  };
  // Answers the box once its modal loop runs; nothing depends on timing.
  // The close box is a real close request, after which GTK destroys the
  // box itself: the backend must not touch it afterwards as if it were
  // still its own (the sanitizer build catches that).
  auto answer = [](gpointer response) -> gboolean {
    GtkWidget* box = VisibleWindow([](GtkWidget* w) { return GTK_IS_MESSAGE_DIALOG(w); });
    if (box && GPOINTER_TO_INT(response) == GTK_RESPONSE_DELETE_EVENT)
      gtk_window_close(GTK_WINDOW(box));
    else if (box)
      gtk_dialog_response(GTK_DIALOG(box), GPOINTER_TO_INT(response));
    return G_SOURCE_CONTINUE;
  };
  for (const auto& row : rows) {
    const guint source = g_timeout_add(20, answer, GINT_TO_POINTER(row.response));
    EXPECT_EQ(windowing.MessageBox(frame.m_hWnd, u"Message", u"Caption", row.type), row.answer)
        << "row " << (&row - rows);
    g_source_remove(source);
  }
}

}  // namespace
