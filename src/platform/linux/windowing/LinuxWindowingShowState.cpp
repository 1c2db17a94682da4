// LinuxWindowing: showing, minimising, maximising and restoring a window,
// and the handshake with the window manager that a maximise or restore
// is. On X both are requests the window manager answers later; the
// program reads a window's rectangle right after asking, so the backend
// waits here, bounded, for the answer and then takes the size the window
// really has.
#include "platform/linux/windowing/LinuxWindowing.h"

#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif
#include <functional>
#include <string>

#include "platform/linux/windowing/LinuxWindowingImpl.h"

namespace {

// How long a maximise or restore may take before the program goes on
// without it. The window manager answers within milliseconds; the bound
// only keeps a window manager that never answers from freezing the window.
constexpr guint kStateChangeWaitMs = 2000;

// True when something will act on a request to maximise or restore. On X
// that is a window manager supporting the maximised state; with none, the
// request is never answered and waiting for it would only cost the bound.
bool SomeoneMaximizes(GtkWidget* window) {
#ifdef GDK_WINDOWING_X11
  GdkScreen* screen = gtk_widget_get_screen(window);
  if (GDK_IS_X11_SCREEN(screen))
    return gdk_x11_screen_supports_net_wm_hint(screen, gdk_atom_intern_static_string("_NET_WM_STATE_MAXIMIZED_VERT"));
#endif
  return true;
}

gboolean OnStateWaitTimeout(gpointer expired) {
  *static_cast<bool*>(expired) = true;
  return G_SOURCE_REMOVE;
}

}  // namespace

void LinuxWindowing::NativeShowWindow(HWND hwnd, int command) {
  const NativeWindow* native = m_impl->Native(hwnd);
  if (!native) return;
  GtkWidget* widget = ToWidget(hwnd);
  if (native->kind != NativeKind::TopLevel) {
    if (command == SW_HIDE)
      gtk_widget_hide(widget);
    else
      gtk_widget_show(widget);
    return;
  }
  GtkWindow* window = GTK_WINDOW(widget);
  const bool wasVisible = gtk_widget_get_visible(widget);
  GdkWindow* surface = gtk_widget_get_window(widget);
  const GdkWindowState state = surface ? gdk_window_get_state(surface) : GdkWindowState(0);
  switch (command) {
    case SW_HIDE:
      gtk_widget_hide(widget);
      return;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      // Presenting would bring the window straight back; it is only shown
      // (if it was hidden) and then handed to the window manager.
      if (!wasVisible) gtk_widget_show(widget);
      gtk_window_iconify(window);
      if (!wasVisible) m_impl->trace.Line("window-shown " + Caption(hwnd));
      return;
    case SW_MAXIMIZE:
      // GTK hands a new size to the window system at its next layout pass,
      // while a maximise goes out at once. A window resized just before
      // (leaving full screen) would reach the window manager at its old
      // size, which it then keeps as the size to restore to; so the size
      // the program asked for is let through first.
      if (wasVisible && !(state & GDK_WINDOW_STATE_MAXIMIZED)) WaitForRequestedSize(hwnd);
      gtk_window_maximize(window);
      break;
    case SW_RESTORE:
      // Out of the minimised state first (a maximised window comes back
      // maximised); otherwise out of the maximised one.
      if (state & GDK_WINDOW_STATE_ICONIFIED)
        gtk_window_deiconify(window);
      else
        gtk_window_unmaximize(window);
      break;
  }
  if (command == SW_SHOWNOACTIVATE)
    gtk_widget_show(widget);
  else
    gtk_window_present(window);
  if (!wasVisible) m_impl->trace.Line("window-shown " + Caption(hwnd));
  // Only a request that changes the state is answered; waiting for any
  // other would cost the whole bound.
  const bool wasMaximized = (state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  const bool unmaximizing = command == SW_RESTORE && !(state & GDK_WINDOW_STATE_ICONIFIED) && wasMaximized;
  const bool maximizing = command == SW_MAXIMIZE && !wasMaximized;
  const bool deiconifying = command == SW_RESTORE && (state & GDK_WINDOW_STATE_ICONIFIED);
  if (!wasVisible) return;
  if (maximizing || unmaximizing)
    WaitForWindowState(hwnd, GDK_WINDOW_STATE_MAXIMIZED, maximizing, true);
  else if (deiconifying)
    // A caller that restores again right after (a maximised window brought
    // back from the task bar) must find it no longer minimised.
    WaitForWindowState(hwnd, GDK_WINDOW_STATE_ICONIFIED, false, false);
}

bool LinuxWindowing::IterateUntil(const std::function<bool()>& done) {
  bool expired = false;
  const guint timer = g_timeout_add(kStateChangeWaitMs, OnStateWaitTimeout, &expired);
  while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
  if (!expired) g_source_remove(timer);
  return done();
}

void LinuxWindowing::WaitForRequestedSize(HWND hwnd) {
  const WindowRecord* record = Find(hwnd);
  GtkWidget* widget = ToWidget(hwnd);
  GdkWindow* surface = gtk_widget_get_window(widget);
  if (!record || !surface || !gtk_widget_get_mapped(widget) || !SomeoneMaximizes(widget)) return;
  const int width = record->rect.right - record->rect.left, height = record->rect.bottom - record->rect.top;
  // The size counts once the window system has confirmed it, not when GTK
  // has merely sent it.
  const bool reached = IterateUntil([&] {
    const NativeWindow* native = m_impl->Native(hwnd);
    return !native || (native->configuredWidth == width && native->configuredHeight == height);
  });
  if (!reached) m_impl->trace.Line("resize timed-out");
}

void LinuxWindowing::WaitForWindowState(HWND hwnd, unsigned flag, bool set, bool resizes) {
  // On X a maximise, restore or deiconify is a request to the window
  // manager, answered later. A caller that reads the window's rectangle
  // right after asking (to save the restored rectangle, say) must see the
  // answer, so the request is waited for here, with a bound, and the
  // window's record then takes the size the window really has.
  GtkWidget* widget = ToWidget(hwnd);
  GdkWindow* surface = gtk_widget_get_window(widget);
  const NativeWindow* before = m_impl->Native(hwnd);
  if (!before || !surface || !gtk_widget_get_mapped(widget) || !SomeoneMaximizes(widget)) return;
  // The state and the new size come in separate events, the size sometimes
  // well after the state; both are waited for. A window whose normal size
  // equals its maximised one never changes size and costs the bound.
  const int oldWidth = before->configuredWidth, oldHeight = before->configuredHeight;
  auto stateReached = [&] { return ((gdk_window_get_state(surface) & flag) != 0) == set; };
  const bool reached = IterateUntil([&] {
    const NativeWindow* native = m_impl->Native(hwnd);
    if (!native) return true;
    const bool sized = native->configuredWidth != oldWidth || native->configuredHeight != oldHeight;
    return stateReached() && (!resizes || sized);
  });
  const char* name = flag == GDK_WINDOW_STATE_ICONIFIED ? "deiconified" : set ? "maximized" : "unmaximized";
  m_impl->trace.Line(std::string(name) + (reached ? "" : " timed-out"));
  const NativeWindow* native = m_impl->Native(hwnd);
  if (!Find(hwnd) || !native || !resizes) return;
  gint x = 0, y = 0;
  gtk_window_get_position(GTK_WINDOW(widget), &x, &y);
  NativeResized(hwnd, RECT{x, y, x + native->configuredWidth, y + native->configuredHeight}, true);
}
