// The GTK windowing backend on a real display (run under Xvfb): what its
// handles are, how GTK's own events come back as messages, and that its
// waits wake for other threads, dialogs and message boxes.
#include <gtk/gtk.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/CDialogImplBase.h"
#include "platform/CWindowImplBase.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxWindowing.h"

namespace {

constexpr UINT kGiveUp = WM_APP + 0x3F;

class Window : public CWindowImplBase {
 public:
  bool ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == WM_SIZE) lastSize = lParam;
    if (message == WM_APP) {
      result = static_cast<LRESULT>(wParam) + 1;
      ranOn = std::this_thread::get_id();
      return true;
    }
    return false;
  }
  LPARAM lastSize = 0;
  std::thread::id ranOn;
};

class LinuxWindowingTest : public ::testing::Test {
 protected:
  LinuxWindowingTest() { Platform::Install(&windowing, nullptr); }
  ~LinuxWindowingTest() override { Platform::Install(nullptr, nullptr); }

  void SetUp() override { ASSERT_TRUE(windowing.Initialize()) << "these tests need a display"; }

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
    bool ok = true;
    MSG msg;
    while (!done()) {
      if (!windowing.GetMessage(&msg, nullptr, 0, 0) || msg.message == kGiveUp) {
        ok = false;
        break;
      }
      windowing.DispatchMessage(&msg);
    }
    g_source_remove(tick);
    g_source_remove(guard);
    return ok;
  }

  LinuxWindowing windowing;
};

TEST_F(LinuxWindowingTest, HandlesAreTheWidgetsAndChildrenAreFixedContainers) {
  Window frame, child;
  RECT rect{20, 30, 420, 330};
  ASSERT_NE(frame.Create(nullptr, &rect, u"Handles", WS_OVERLAPPEDWINDOW), nullptr);
  RECT childRect{10, 40, 110, 90};
  ASSERT_NE(child.Create(frame.m_hWnd, &childRect, u"", WS_CHILD | WS_VISIBLE), nullptr);
  GtkWidget* window = reinterpret_cast<GtkWidget*>(frame.m_hWnd);
  GtkWidget* host = reinterpret_cast<GtkWidget*>(child.m_hWnd);
  ASSERT_TRUE(GTK_IS_WINDOW(window));
  ASSERT_TRUE(GTK_IS_FIXED(host));
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window)), "Handles");
  GtkWidget* client = gtk_widget_get_parent(host);
  EXPECT_TRUE(GTK_IS_LAYOUT(client));
  EXPECT_EQ(gtk_widget_get_parent(client), window);
  gint width = 0, height = 0;
  gtk_widget_get_size_request(host, &width, &height);
  EXPECT_EQ(width, 100);
  EXPECT_EQ(height, 50);
  // Something put into the host with gtk_fixed_put, as the runtime does,
  // goes with the host.
  GtkWidget* content = gtk_label_new("content");
  gtk_fixed_put(GTK_FIXED(host), content, 0, 0);
  g_object_ref(content);
  frame.DestroyWindow();
  EXPECT_EQ(gtk_widget_get_parent(content), nullptr);
  g_object_unref(content);
}

TEST_F(LinuxWindowingTest, AResizeByGtkArrivesAsWmSize) {
  Window frame;
  RECT rect{0, 0, 300, 200};
  frame.Create(nullptr, &rect, u"Resize", WS_OVERLAPPEDWINDOW);
  frame.ShowWindow(SW_SHOWNORMAL);
  gtk_window_resize(GTK_WINDOW(reinterpret_cast<GtkWidget*>(frame.m_hWnd)), 520, 410);
  ASSERT_TRUE(PumpUntil([&] { return frame.lastSize == MAKELPARAM(520, 410); }));
  RECT client{};
  frame.GetClientRect(&client);
  EXPECT_EQ(client, (RECT{0, 0, 520, 410}));
}

TEST_F(LinuxWindowingTest, ChildPlacementReachesGtk) {
  Window frame, child;
  RECT rect{0, 0, 400, 300};
  frame.Create(nullptr, &rect, u"Place", WS_OVERLAPPEDWINDOW);
  child.Create(frame.m_hWnd, nullptr, u"", WS_CHILD | WS_VISIBLE);
  frame.ShowWindow(SW_SHOWNORMAL);
  child.SetWindowPos(nullptr, 5, 60, 390, 230, SWP_NOZORDER);
  GtkWidget* host = reinterpret_cast<GtkWidget*>(child.m_hWnd);
  GtkAllocation a{};
  const bool placed = PumpUntil([&] {
    gtk_widget_get_allocation(host, &a);
    return a.x == 5 && a.y == 60 && a.width == 390 && a.height == 230;
  });
  EXPECT_TRUE(placed) << a.x << "," << a.y << " " << a.width << "x" << a.height;
}

TEST_F(LinuxWindowingTest, CaptionAndFrameStylesDecideTheDecorations) {
  Window frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  GtkWindow* window = GTK_WINDOW(reinterpret_cast<GtkWidget*>(frame.m_hWnd));
  EXPECT_TRUE(gtk_window_get_decorated(window));
  const LONG style = frame.GetWindowLong(GWL_STYLE);
  frame.SetWindowLong(GWL_STYLE, style & ~static_cast<LONG>(WS_CAPTION | WS_THICKFRAME));
  EXPECT_FALSE(gtk_window_get_decorated(window));
  frame.SetWindowLong(GWL_STYLE, style);
  EXPECT_TRUE(gtk_window_get_decorated(window));
}

TEST_F(LinuxWindowingTest, ASendFromAnotherThreadWakesTheWait) {
  Window frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  const HWND hwnd = frame.m_hWnd;
  LRESULT answer = 0;
  bool done = false;
  std::thread worker([&] {
    answer = Platform::Windowing().SendMessage(hwnd, WM_APP, 41, 0);
    Platform::Windowing().PostMessage(hwnd, WM_NULL, 0, 0);
    done = true;
  });
  const bool ok = PumpUntil([&] { return answer != 0; });
  worker.join();
  ASSERT_TRUE(ok);
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(frame.ranOn, std::this_thread::get_id());
  EXPECT_TRUE(done);
}

TEST_F(LinuxWindowingTest, TheToolbarHasThemedButtonsWithToolTips) {
  Window frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  const ToolBarButton buttons[] = {{58000, u"go-previous", u"Back"},
                                   {58001, u"go-next", u"Forward"},
                                   {58002, u"view-refresh", u"Reload"}};
  HWND bar = windowing.CreateToolBar(frame.m_hWnd, 0xE800, buttons);
  ASSERT_NE(bar, nullptr);
  GtkWidget* toolBar = reinterpret_cast<GtkWidget*>(bar);
  ASSERT_TRUE(GTK_IS_TOOLBAR(toolBar));
  ASSERT_EQ(gtk_toolbar_get_n_items(GTK_TOOLBAR(toolBar)), 3);
  const char* tips[] = {"Back", "Forward", "Reload"};
  for (int i = 0; i < 3; ++i) {
    GtkToolItem* item = gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolBar), i);
    // The tool button keeps its tool tip on the button inside it.
    gchar* tip = gtk_widget_get_tooltip_text(gtk_bin_get_child(GTK_BIN(item)));
    EXPECT_STREQ(tip, tips[i]);
    g_free(tip);
    EXPECT_STREQ(gtk_tool_button_get_label(GTK_TOOL_BUTTON(item)), tips[i]);
  }
  EXPECT_TRUE(gtk_toolbar_get_show_arrow(GTK_TOOLBAR(toolBar)));
  RECT r{};
  windowing.GetWindowRect(bar, &r);
  EXPECT_GT(r.bottom - r.top, 0);
  // A click is a command to the frame, with the toolbar as its sender.
  class Receiver : public CWindowImplBase {
   public:
    bool ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) override {
      if (message == WM_COMMAND) {
        command = wParam;
        sender = lParam;
      }
      return false;
    }
    WPARAM command = 0;
    LPARAM sender = 0;
  };
  Receiver receiver;
  receiver.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  HWND bar2 = windowing.CreateToolBar(receiver.m_hWnd, 0xE800, buttons);
  gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(
      GTK_BIN(gtk_toolbar_get_nth_item(GTK_TOOLBAR(reinterpret_cast<GtkWidget*>(bar2)), 2)))));
  ASSERT_TRUE(PumpUntil([&] { return receiver.command != 0; }));
  EXPECT_EQ(receiver.command, MAKEWPARAM(58002, BN_CLICKED));
  EXPECT_EQ(receiver.sender, reinterpret_cast<LPARAM>(bar2));
}

class EndingDialog : public CDialogImplBase {
 public:
  DialogTemplate GetDialogTemplate() const override {
    DialogTemplate t;
    t.caption = u"Ending";
    t.width = 120;
    t.height = 60;
    t.items = {{DialogItemKind::Static, -1, RECT{5, 5, 115, 20}, u"text", SS_CENTER},
               {DialogItemKind::ProgressBar, 1002, RECT{5, 25, 115, 35}, u"", PBS_MARQUEE},
               {DialogItemKind::Button, IDOK, RECT{30, 40, 90, 54}, u"&OK", BS_DEFPUSHBUTTON}};
    return t;
  }
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message == WM_INITDIALOG) {
      widget = reinterpret_cast<GtkWidget*>(hwnd);
      Platform::Windowing().SendMessage(Platform::Windowing().GetDlgItem(hwnd, 1002), PBM_SETMARQUEE, TRUE, 50);
      // The user presses OK once the dialog is up.
      g_idle_add(
          [](gpointer dialog) -> gboolean {
            gtk_dialog_response(GTK_DIALOG(dialog), IDOK);
            return G_SOURCE_REMOVE;
          },
          widget);
      result = TRUE;
      return true;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
      wasVisible = gtk_widget_get_visible(widget);
      EndDialog(1000);
      return true;
    }
    return false;
  }
  GtkWidget* widget = nullptr;
  bool wasVisible = false;
};

TEST_F(LinuxWindowingTest, AModalDialogRunsUntilItsButtonEndsIt) {
  EndingDialog dialog;
  EXPECT_EQ(dialog.DoModal(nullptr), 1000);
  EXPECT_TRUE(dialog.wasVisible);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(LinuxWindowingTest, AMessageBoxWaitsForItsAnswer) {
  g_idle_add(
      [](gpointer) -> gboolean {
        GList* windows = gtk_window_list_toplevels();
        for (GList* node = windows; node; node = node->next)
          if (GTK_IS_MESSAGE_DIALOG(node->data) && gtk_widget_get_visible(GTK_WIDGET(node->data)))
            gtk_dialog_response(GTK_DIALOG(node->data), GTK_RESPONSE_OK);
        g_list_free(windows);
        return G_SOURCE_REMOVE;
      },
      nullptr);
  EXPECT_EQ(windowing.MessageBox(nullptr, u"テスト\nline", u"", MB_OK | MB_ICONERROR), IDOK);
}

TEST_F(LinuxWindowingTest, MonitorsComeFromTheDisplay) {
  MONITORINFO info{};
  ASSERT_TRUE(windowing.GetMonitorInfo(nullptr, &info));
  GdkRectangle geometry{};
  gdk_monitor_get_geometry(gdk_display_get_monitor(gdk_display_get_default(), 0), &geometry);
  EXPECT_EQ(info.rcMonitor, (RECT{geometry.x, geometry.y, geometry.x + geometry.width,
                                  geometry.y + geometry.height}));
  EXPECT_GE(info.rcWork.left, info.rcMonitor.left);
  EXPECT_LE(info.rcWork.right, info.rcMonitor.right);
}

TEST_F(LinuxWindowingTest, TheApplicationIdBecomesTheProgramNameAsItStands) {
  windowing.SetApplicationId(u"QuillBrowser.");
  EXPECT_STREQ(g_get_prgname(), "QuillBrowser.");
  EXPECT_STREQ(gdk_get_program_class(), "QuillBrowser.");
}

}  // namespace
