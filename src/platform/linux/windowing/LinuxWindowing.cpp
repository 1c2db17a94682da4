#include "platform/linux/windowing/LinuxWindowing.h"

#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/windowing/ApplicationIcon.h"
#include "platform/linux/windowing/GtkDialogBuilder.h"
#include "platform/linux/windowing/GtkMessageBox.h"
#include "platform/linux/windowing/GtkSaveDialog.h"
#include "platform/linux/windowing/GtkWindowMenu.h"
#include "platform/linux/windowing/LinuxWindowSignals.h"
#include "platform/linux/windowing/LinuxWindowingImpl.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

// The longest caption handed to the toolkit, in UTF-8 bytes. The window
// system carries a caption in one request, and a caption of megabytes
// exceeds the largest request the X server takes, which ends the program
// with an X error. Far more than any title bar shows; the window record
// keeps the whole text.
constexpr std::size_t kMaxCaptionBytes = 4096;

std::string ToolkitCaption(std::u16string_view text) { return TruncateUtf8(WideToUtf8(text), kMaxCaptionBytes); }

bool IsWindowKind(NativeKind kind) { return kind == NativeKind::TopLevel || kind == NativeKind::Dialog; }

// A caption or a sizing frame needs the window manager's decorations;
// without both the window is a plain rectangle (full screen).
bool WantsDecorations(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION || (style & WS_THICKFRAME); }

// True when the compositor, not the program, decides where windows go: a
// Wayland client cannot move its window, only ask for states such as full
// screen.
bool CompositorPlacesWindows(GtkWidget* widget) {
#ifdef GDK_WINDOWING_WAYLAND
  return GDK_IS_WAYLAND_DISPLAY(gtk_widget_get_display(widget));
#else
  (void)widget;
  return false;
#endif
}

// The display's monitor rectangles, in GDK's order (the order that
// gtk_window_fullscreen_on_monitor numbers them in).
std::vector<RECT> MonitorRects(GdkDisplay* display) {
  std::vector<RECT> rects;
  const int count = gdk_display_get_n_monitors(display);
  for (int i = 0; i < count; ++i) {
    GdkRectangle geometry{};
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &geometry);
    rects.push_back(RECT{geometry.x, geometry.y, geometry.x + geometry.width, geometry.y + geometry.height});
  }
  return rects;
}

}  // namespace

LinuxWindowing::LinuxWindowing() : m_impl(std::make_unique<Impl>()) { LinuxWindowSignals::SetBackend(this); }

LinuxWindowing::~LinuxWindowing() {
  // Top-level windows still on the screen go with the platform; their
  // children go with them.
  std::vector<GtkWidget*> roots;
  for (const auto& [hwnd, native] : m_impl->windows)
    if (IsWindowKind(native.kind)) roots.push_back(ToWidget(hwnd));
  for (GtkWidget* widget : roots) gtk_widget_destroy(widget);
  LinuxWindowSignals::ClearBackend(this);
}

bool LinuxWindowing::Initialize() {
  if (m_impl->initialized) return true;
  int argc = 0;
  char** argv = nullptr;
  m_impl->initialized = gtk_init_check(&argc, &argv);
  return m_impl->initialized;
}

void LinuxWindowing::SetProcessDpiAware() {
  // GTK scales by the monitor's factor itself and reports sizes in its
  // scaled pixels; there is nothing to switch on.
}

void LinuxWindowing::NativeApplicationIdChanged(std::u16string_view id) {
  // The X11 class hint (WM_CLASS) and the Wayland application id come from
  // these two names; the id is used as it stands, trailing dot included,
  // since both are free-form strings.
  const std::string utf8 = WideToUtf8(id);
  g_set_prgname(utf8.c_str());
  gdk_set_program_class(utf8.c_str());
  m_impl->trace.Line("application-id " + utf8);
}

RECT LinuxWindowing::NativeDefaultRect() {
  MONITORINFO info{};
  NativeGetMonitorInfo(nullptr, &info);
  const RECT& work = info.rcWork;
  const LONG workWidth = work.right - work.left, workHeight = work.bottom - work.top;
  const LONG width = workWidth > 0 ? std::min<LONG>(1024, workWidth * 3 / 4) : 1024;
  const LONG height = workHeight > 0 ? std::min<LONG>(768, workHeight * 3 / 4) : 768;
  const LONG left = work.left + (workWidth - width) / 2;
  const LONG top = work.top + (workHeight - height) / 2;
  return RECT{left, top, left + width, top + height};
}

std::string LinuxWindowing::Caption(HWND hwnd) const {
  const WindowRecord* record = Find(hwnd);
  return record ? ToolkitCaption(record->text) : std::string();
}

HWND LinuxWindowing::NativeCreateWindow(const WindowRecord& record) {
  if (!m_impl->initialized) return nullptr;
  const LONG width = record.rect.right - record.rect.left;
  const LONG height = record.rect.bottom - record.rect.top;
  if (record.kind == WindowKind::TopLevel) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    const std::string title = ToolkitCaption(record.text);
    gtk_window_set_title(GTK_WINDOW(window), title.c_str());
    gtk_window_set_default_size(GTK_WINDOW(window), std::max<LONG>(width, 1), std::max<LONG>(height, 1));
    gtk_window_move(GTK_WINDOW(window), record.rect.left, record.rect.top);
    gtk_window_set_icon_name(GTK_WINDOW(window), ApplicationIconName());
    gtk_window_set_decorated(GTK_WINDOW(window), WantsDecorations(record.style));
    if (record.parent) gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(ToWidget(record.parent)));
    GtkWidget* client = gtk_layout_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(window), client);
    gtk_widget_show(client);
    LinuxWindowSignals::ConnectTopLevel(window, client);
    NativeWindow& native = m_impl->windows[ToHandle(window)];
    native.kind = NativeKind::TopLevel;
    native.client = client;
    return ToHandle(window);
  }

  const NativeWindow* parent = m_impl->Native(record.parent);
  if (!parent || !parent->client) return nullptr;
  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, std::max<LONG>(width, 0), std::max<LONG>(height, 0));
  PutInto(parent->client, fixed, record.rect.left, record.rect.top);
  LinuxWindowSignals::ConnectDestroy(fixed);
  NativeWindow& native = m_impl->windows[ToHandle(fixed)];
  native.kind = NativeKind::Child;
  native.client = fixed;
  return ToHandle(fixed);
}

LinuxWindowing::NativeDialog LinuxWindowing::NativeCreateDialog(const DialogTemplate& t, HWND owner) {
  NativeDialog result;
  if (!m_impl->initialized) return result;
  const GtkDialogBuilder::Result built =
      GtkDialogBuilder::Build(t, owner ? GTK_WINDOW(ToWidget(owner)) : nullptr);
  for (const auto& [id, widget] : built.items) {
    m_impl->windows[ToHandle(widget)].kind = NativeKind::DialogItem;
    LinuxWindowSignals::ConnectDestroy(widget);
    result.items.emplace_back(id, ToHandle(widget));
  }
  LinuxWindowSignals::ConnectDialog(built.dialog);
  NativeWindow& native = m_impl->windows[ToHandle(built.dialog)];
  native.kind = NativeKind::Dialog;
  native.defaultCommand = built.defaultCommand;
  result.hwnd = ToHandle(built.dialog);
  result.rect = RECT{0, 0, built.width, built.height};
  return result;
}

void LinuxWindowing::NativeShowDialog(HWND dialog, HWND) {
  if (!m_impl->Native(dialog)) return;
  GtkWidget* widget = ToWidget(dialog);
  gtk_window_set_modal(GTK_WINDOW(widget), TRUE);
  gtk_widget_show(widget);
  gtk_window_present(GTK_WINDOW(widget));
  m_impl->trace.Line("dialog-shown " + Caption(dialog));
}

void LinuxWindowing::NativeHideDialog(HWND dialog) {
  if (!m_impl->Native(dialog)) return;
  gtk_widget_hide(ToWidget(dialog));
  m_impl->trace.Line("dialog-hidden " + Caption(dialog));
}

void LinuxWindowing::NativeDestroyWindow(HWND hwnd) {
  if (m_impl->Native(hwnd)) gtk_widget_destroy(ToWidget(hwnd));
}

void LinuxWindowing::NativeSetText(HWND hwnd, std::u16string_view text) {
  const NativeWindow* native = m_impl->Native(hwnd);
  if (!native) return;
  const std::string utf8 = IsWindowKind(native->kind) ? ToolkitCaption(text) : WideToUtf8(text);
  if (IsWindowKind(native->kind)) {
    gtk_window_set_title(GTK_WINDOW(ToWidget(hwnd)), utf8.c_str());
    m_impl->trace.Line("caption " + utf8);
  } else if (native->kind == NativeKind::DialogItem && GTK_IS_LABEL(ToWidget(hwnd))) {
    gtk_label_set_text(GTK_LABEL(ToWidget(hwnd)), utf8.c_str());
  }
}

void LinuxWindowing::NativeSetPos(HWND hwnd, const RECT& rect, bool moved, bool sized) {
  const NativeWindow* native = m_impl->Native(hwnd);
  if (!native) return;
  GtkWidget* widget = ToWidget(hwnd);
  const int width = std::max<LONG>(rect.right - rect.left, 0);
  const int height = std::max<LONG>(rect.bottom - rect.top, 0);
  if (IsWindowKind(native->kind)) {
    const WindowRecord* record = Find(hwnd);
    if (record && FollowCompositorFullScreen(hwnd, rect, record->style)) return;
    if (moved) gtk_window_move(GTK_WINDOW(widget), rect.left, rect.top);
    if (sized && width > 0 && height > 0) {
      gtk_window_resize(GTK_WINDOW(widget), width, height);
    }
    return;
  }
  GtkWidget* container = gtk_widget_get_parent(widget);
  if (moved && container) {
    if (GTK_IS_LAYOUT(container))
      gtk_layout_move(GTK_LAYOUT(container), widget, rect.left, rect.top);
    else if (GTK_IS_FIXED(container))
      gtk_fixed_move(GTK_FIXED(container), widget, rect.left, rect.top);
  }
  if (sized) gtk_widget_set_size_request(widget, width, native->kind == NativeKind::ToolBar ? -1 : height);
}

void LinuxWindowing::NativeStyleChanged(HWND hwnd, DWORD, DWORD newStyle) {
  const NativeWindow* native = m_impl->Native(hwnd);
  if (!native || native->kind != NativeKind::TopLevel) return;
  // Decorations back on a full-screen frame leave full screen before they
  // are drawn again.
  if (const WindowRecord* record = Find(hwnd)) FollowCompositorFullScreen(hwnd, record->rect, newStyle);
  gtk_window_set_decorated(GTK_WINDOW(ToWidget(hwnd)), WantsDecorations(newStyle));
}

bool LinuxWindowing::FollowCompositorFullScreen(HWND hwnd, const RECT& rect, DWORD style) {
  NativeWindow* native = m_impl->Native(hwnd);
  GtkWidget* widget = ToWidget(hwnd);
  if (!native || native->kind != NativeKind::TopLevel || !CompositorPlacesWindows(widget)) return false;
  const std::vector<RECT> monitors = MonitorRects(gtk_widget_get_display(widget));
  const CompositorFullScreen::Decision decision = native->fullScreen.Next(WantsDecorations(style), rect, monitors);
  switch (decision.step) {
    case CompositorFullScreen::Step::Enter:
      gtk_window_fullscreen_on_monitor(GTK_WINDOW(widget), gtk_widget_get_screen(widget), decision.monitor);
      m_impl->trace.Line("fullscreen monitor=" + std::to_string(decision.monitor));
      return true;
    case CompositorFullScreen::Step::Stay:
      return true;
    case CompositorFullScreen::Step::Leave:
      gtk_window_unfullscreen(GTK_WINDOW(widget));
      m_impl->trace.Line("unfullscreen");
      return false;
    case CompositorFullScreen::Step::Normal:
      return false;
  }
  return false;
}

void LinuxWindowing::NativeSetFocus(HWND hwnd) {
  const NativeWindow* native = m_impl->Native(hwnd);
  if (!native) return;
  GtkWidget* widget = ToWidget(hwnd);
  if (IsWindowKind(native->kind)) {
    gtk_window_present(GTK_WINDOW(widget));
  } else if (gtk_widget_get_can_focus(widget)) {
    gtk_widget_grab_focus(widget);
  } else {
    // A host window is not focusable itself; the first focusable widget in
    // it (the runtime's view) takes the keys.
    gtk_widget_child_focus(widget, GTK_DIR_TAB_FORWARD);
  }
}

bool LinuxWindowing::NativeGetMonitorInfo(HWND nearWindow, MONITORINFO* info) {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return false;
  GdkMonitor* monitor = nullptr;
  if (nearWindow) {
    GtkWidget* widget = ToWidget(nearWindow);
    GdkWindow* gdkWindow = gtk_widget_get_window(gtk_widget_get_toplevel(widget));
    if (gdkWindow && gtk_widget_get_realized(widget)) {
      monitor = gdk_display_get_monitor_at_window(display, gdkWindow);
    } else {
      RECT rect{};
      GetWindowRect(nearWindow, &rect);
      monitor = gdk_display_get_monitor_at_point(display, (rect.left + rect.right) / 2,
                                                 (rect.top + rect.bottom) / 2);
    }
  }
  if (!monitor) monitor = gdk_display_get_primary_monitor(display);
  if (!monitor && gdk_display_get_n_monitors(display) > 0) monitor = gdk_display_get_monitor(display, 0);
  if (!monitor) return false;
  GdkRectangle geometry{}, work{};
  gdk_monitor_get_geometry(monitor, &geometry);
  gdk_monitor_get_workarea(monitor, &work);
  info->rcMonitor = RECT{geometry.x, geometry.y, geometry.x + geometry.width, geometry.y + geometry.height};
  info->rcWork = RECT{work.x, work.y, work.x + work.width, work.y + work.height};
  info->dwFlags = gdk_monitor_is_primary(monitor) ? 1 : 0;
  return true;
}

int LinuxWindowing::NativeMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                                     UINT type) {
  if (!m_impl->initialized) return IDCANCEL;
  GtkWindow* parent = owner ? GTK_WINDOW(gtk_widget_get_toplevel(ToWidget(owner))) : nullptr;
  std::optional<int> quitCode;
  int answer = IDCANCEL;
  {
    GtkMessageBox box(parent, text, caption, type);
    // Wakes the loop below, which may be waiting for a message.
    box.Show([this] { PostMessage(nullptr, WM_NULL, 0, 0); });
    m_impl->trace.Line("messagebox-shown " + WindowTrace::OneLine(text));
    // The program's messages keep flowing while the box is open, as they
    // do under any modal loop; a quit request ends the box and is left for
    // the loop it is meant for.
    quitCode = RunModalLoop([&box] { return box.Answered(); });
    answer = box.Answer();
  }
  m_impl->trace.Line("messagebox-closed");
  if (quitCode) PostQuitMessage(*quitCode);
  return answer;
}

HRESULT LinuxWindowing::ShowSaveFileDialog(HWND owner, const SaveFileDialog& dialog, SaveFileDialogResult* result) {
  if (!result) return E_POINTER;
  *result = {};
  if (!m_impl->initialized) return E_UNEXPECTED;
  GtkWindow* parent = owner && m_impl->Native(owner) ? GTK_WINDOW(gtk_widget_get_toplevel(ToWidget(owner))) : nullptr;
  std::optional<int> quitCode;
  bool accepted = false;
  {
    GtkSaveDialog chooser(parent, dialog);
    chooser.Show();
    m_impl->trace.Line("save-dialog-shown title=" + WindowTrace::OneLine(dialog.title) +
                       " name=" + WindowTrace::OneLine(dialog.fileName) + " type=" + WindowTrace::OneLine(dialog.typeName) +
                       " pattern=" + WindowTrace::OneLine(dialog.typePattern) + " choice=" +
                       (dialog.offerCheckBox ? WindowTrace::OneLine(dialog.checkBoxLabel) +
                                                   (dialog.checkBoxState ? ":true" : ":false")
                                             : std::string("-")));
    quitCode = RunModalLoop([&chooser] { return chooser.Answered(); });
    accepted = chooser.Accepted(result);
  }
  m_impl->trace.Line(accepted ? "save-dialog-closed path=" + WindowTrace::OneLine(result->path)
                              : std::string("save-dialog-closed cancelled"));
  if (quitCode) PostQuitMessage(*quitCode);
  return accepted ? S_OK : HResultFromWin32(ERROR_CANCELLED);
}

LRESULT LinuxWindowing::NativeControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  NativeWindow* native = m_impl->Native(control);
  if (!native) return 0;
  if (native->kind == NativeKind::ToolBar) return ToolBarMessage(control, message, wParam, lParam);
  GtkWidget* widget = ToWidget(control);
  if (GTK_IS_PROGRESS_BAR(widget)) return native->pulse.ControlMessage(widget, message, wParam, lParam);
  return 0;
}

void LinuxWindowing::NativeWindowMenuChanged(HWND hwnd) {
  // The menu is built afresh each time it opens; drop the old one.
  NativeWindow* native = m_impl->Native(hwnd);
  if (!native || !native->menu) return;
  gtk_widget_destroy(std::exchange(native->menu, nullptr));
}

bool LinuxWindowing::NativeShowWindowMenu(HWND hwnd, int x, int y) {
  NativeWindow* native = m_impl->Native(hwnd);
  const WindowRecord* record = Find(hwnd);
  if (!native || !record) return false;
  NativeWindowMenuChanged(hwnd);
  GtkWidget* window = ToWidget(hwnd);
  native->menu = GtkWindowMenu::Build(window, record->windowMenu, record->zoomed, record->iconic);
  LinuxWindowSignals::ConnectWindowMenu(native->menu, window);
  if (!GtkWindowMenu::Popup(native->menu, window, x, y, m_impl->menuTrigger.get())) return false;
  m_impl->trace.Line("window-menu-shown items=" + std::to_string(record->windowMenu.size()));
  return true;
}

void LinuxWindowing::NativeBeep() {
  if (GdkDisplay* display = gdk_display_get_default()) gdk_display_beep(display);
}

void LinuxWindowing::NativeInvalidate(HWND hwnd) {
  if (m_impl->Native(hwnd)) gtk_widget_queue_draw(ToWidget(hwnd));
}

void LinuxWindowing::WaitForWork() {
  if (!m_impl->initialized) {
    // Without a display nothing can ever arrive; a loop waiting here would
    // spin for ever, so it is told to end instead.
    PostQuitMessage(0);
    return;
  }
  g_main_context_iteration(nullptr, TRUE);
}

void LinuxWindowing::PumpNative() {
  if (!m_impl->initialized) return;
  g_main_context_iteration(nullptr, FALSE);
}

void LinuxWindowing::WakeUp() { g_main_context_wakeup(nullptr); }
