#include "platform/linux/windowing/LinuxWindowSignals.h"

#include <string>

#include "platform/linux/windowing/LinuxWindowing.h"
#include "platform/linux/windowing/LinuxWindowingImpl.h"
#include "platform/linux/windowing/NativeWindow.h"

namespace {

// The one backend of the process; GTK callbacks reach it through here.
LinuxWindowing* g_backend = nullptr;

bool IsEnterKey(guint key) {
  return key == GDK_KEY_Return || key == GDK_KEY_KP_Enter || key == GDK_KEY_ISO_Enter;
}

guint Modifiers(const GdkEventKey* event) { return event->state & gtk_accelerator_get_default_mod_mask(); }

WPARAM Clicked(int command) { return MAKEWPARAM(static_cast<WORD>(command), BN_CLICKED); }

}  // namespace

void LinuxWindowSignals::SetBackend(LinuxWindowing* backend) { g_backend = backend; }

void LinuxWindowSignals::ClearBackend(LinuxWindowing* backend) {
  if (g_backend == backend) g_backend = nullptr;
}

LinuxWindowing& LinuxWindowSignals::Backend() { return *g_backend; }

// --- Connections -------------------------------------------------------------------

void LinuxWindowSignals::ConnectDestroy(GtkWidget* widget) {
  g_signal_connect(widget, "destroy", G_CALLBACK(OnDestroy), nullptr);
}

void LinuxWindowSignals::ConnectTopLevel(GtkWidget* window, GtkWidget* client) {
  ConnectDestroy(window);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDeleteEvent), nullptr);
  g_signal_connect(window, "configure-event", G_CALLBACK(OnConfigure), nullptr);
  g_signal_connect(window, "window-state-event", G_CALLBACK(OnWindowState), nullptr);
  g_signal_connect(window, "focus-in-event", G_CALLBACK(OnFocusIn), nullptr);
  g_signal_connect(window, "key-press-event", G_CALLBACK(OnFrameKeyPress), nullptr);
  g_signal_connect(client, "size-allocate", G_CALLBACK(OnClientSizeAllocate), window);
}

void LinuxWindowSignals::ConnectToolBar(GtkWidget* toolBar, GtkWidget* container) {
  GList* items = gtk_container_get_children(GTK_CONTAINER(toolBar));
  for (GList* node = items; node; node = node->next)
    if (GTK_IS_TOOL_BUTTON(node->data))
      g_signal_connect(node->data, "clicked", G_CALLBACK(OnToolButtonClicked), toolBar);
  g_list_free(items);
  g_signal_connect(toolBar, "popup-context-menu", G_CALLBACK(OnToolBarContextMenu), nullptr);
  ConnectDestroy(toolBar);
  // Tied to the toolbar's life: the handler goes when the toolbar does.
  g_signal_connect_object(container, "size-allocate", G_CALLBACK(OnToolBarContainerAllocated), toolBar,
                          static_cast<GConnectFlags>(G_CONNECT_AFTER | G_CONNECT_SWAPPED));
}

void LinuxWindowSignals::ConnectDialog(GtkWidget* dialog) {
  ConnectDestroy(dialog);
  g_signal_connect(dialog, "key-press-event", G_CALLBACK(OnDialogKeyPress), nullptr);
  g_signal_connect(dialog, "response", G_CALLBACK(OnDialogResponse), nullptr);
  g_signal_connect(dialog, "delete-event", G_CALLBACK(OnDialogDeleteEvent), nullptr);
}

void LinuxWindowSignals::ConnectWindowMenu(GtkWidget* menu, GtkWidget* window) {
  GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
  for (GList* node = items; node; node = node->next)
    if (CommandOf(node->data)) g_signal_connect(node->data, "activate", G_CALLBACK(OnWindowMenuItem), window);
  g_list_free(items);
}

// --- Handlers ----------------------------------------------------------------------

void LinuxWindowSignals::OnDestroy(GtkWidget* widget, gpointer) {
  if (g_backend) Backend().m_impl->windows.erase(ToHandle(widget));
}

gboolean LinuxWindowSignals::OnDeleteEvent(GtkWidget* widget, GdkEvent*, gpointer) {
  // The close box asks; default processing of WM_CLOSE destroys the window.
  Backend().PostMessage(ToHandle(widget), WM_CLOSE, 0, 0);
  return TRUE;
}

void LinuxWindowSignals::OnClientSizeAllocate(GtkWidget*, GdkRectangle* allocation, gpointer window) {
  HWND hwnd = ToHandle(GTK_WIDGET(window));
  LinuxWindowing& backend = Backend();
  const auto* record = backend.Find(hwnd);
  if (!record) return;
  RECT rect = record->rect;
  rect.right = rect.left + allocation->width;
  rect.bottom = rect.top + allocation->height;
  if (rect.right - rect.left != record->rect.right - record->rect.left ||
      rect.bottom - rect.top != record->rect.bottom - record->rect.top) {
    backend.m_impl->trace.Line("client-size " + std::to_string(allocation->width) + "x" +
                               std::to_string(allocation->height));
  }
  backend.NativeResized(hwnd, rect, false);
}

gboolean LinuxWindowSignals::OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer) {
  HWND hwnd = ToHandle(widget);
  LinuxWindowing& backend = Backend();
  if (NativeWindow* native = backend.m_impl->Native(hwnd)) {
    native->configuredWidth = event->width;
    native->configuredHeight = event->height;
  }
  if (const auto* record = backend.Find(hwnd)) {
    gint x = 0, y = 0;
    gtk_window_get_position(GTK_WINDOW(widget), &x, &y);
    const LONG w = record->rect.right - record->rect.left, h = record->rect.bottom - record->rect.top;
    backend.NativeResized(hwnd, RECT{x, y, x + w, y + h}, false);
  }
  return FALSE;
}

gboolean LinuxWindowSignals::OnWindowState(GtkWidget* widget, GdkEventWindowState* event, gpointer) {
  const bool zoomed = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  const bool iconic = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  Backend().NativeStateChanged(ToHandle(widget), zoomed, iconic);
  return FALSE;
}

gboolean LinuxWindowSignals::OnFocusIn(GtkWidget* widget, GdkEventFocus*, gpointer) {
  HWND hwnd = ToHandle(widget);
  Backend().NativeActivated(hwnd);
  Backend().PostMessage(hwnd, WM_SETFOCUS, 0, 0);
  return FALSE;
}

gboolean LinuxWindowSignals::OnFrameKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer) {
  if (Modifiers(event) != GDK_MOD1_MASK) return FALSE;
  if (event->keyval == GDK_KEY_space) {
    Backend().m_impl->menuTrigger.reset(gdk_event_copy(reinterpret_cast<GdkEvent*>(event)));
    Backend().PostMessage(ToHandle(widget), WM_SYSCOMMAND, SC_KEYMENU, u' ');
    return TRUE;
  }
  if (event->keyval == GDK_KEY_F4) {
    Backend().PostMessage(ToHandle(widget), WM_SYSCOMMAND, SC_CLOSE, 0);
    return TRUE;
  }
  return FALSE;
}

void LinuxWindowSignals::OnToolButtonClicked(GtkToolButton* button, gpointer toolBar) {
  const UINT command = CommandOf(button);
  LinuxWindowing& backend = Backend();
  HWND bar = ToHandle(GTK_WIDGET(toolBar));
  HWND parent = backend.GetParent(bar);
  if (!parent) return;
  backend.m_impl->trace.Line("toolbar-command " + std::to_string(command));
  backend.PostMessage(parent, WM_COMMAND, Clicked(command), reinterpret_cast<LPARAM>(bar));
}

gboolean LinuxWindowSignals::OnToolBarContextMenu(GtkToolbar* toolBar, gint x, gint y, gint, gpointer) {
  LinuxWindowing& backend = Backend();
  HWND hwnd = ToHandle(GTK_WIDGET(toolBar));
  // Up to the top-level window that owns the menu.
  while (hwnd && (static_cast<DWORD>(backend.GetWindowLong(hwnd, GWL_STYLE)) & WS_CHILD))
    hwnd = backend.GetParent(hwnd);
  if (!hwnd) return FALSE;
  if (GdkEvent* current = gtk_get_current_event()) backend.m_impl->menuTrigger.reset(current);
  POINT origin = backend.ClientOriginOnScreen(ToHandle(GTK_WIDGET(toolBar)));
  POINT top = backend.ClientOriginOnScreen(hwnd);
  return backend.ShowWindowMenu(hwnd, x + origin.x - top.x, y + origin.y - top.y) ? TRUE : FALSE;
}

void LinuxWindowSignals::OnToolBarContainerAllocated(GtkWidget* toolBar, GdkRectangle*, gpointer) {
  // The container gives the toolbar the width of all its buttons; give it
  // the frame's width instead, so that the buttons that do not fit go
  // behind the overflow arrow rather than being cut off by the window edge.
  if (!gtk_widget_get_visible(toolBar)) return;
  gint width = 0, height = 0;
  gtk_widget_get_size_request(toolBar, &width, &height);
  if (width <= 0) return;
  gint minimum = 0, natural = 0;
  gtk_widget_get_preferred_width(toolBar, &minimum, &natural);
  gtk_widget_get_preferred_height_for_width(toolBar, width, &minimum, &natural);
  GtkAllocation allocation{};
  gtk_widget_get_allocation(toolBar, &allocation);
  allocation.width = width;
  allocation.height = natural;
  gtk_widget_size_allocate(toolBar, &allocation);
}

void LinuxWindowSignals::OnWindowMenuItem(GtkMenuItem* item, gpointer window) {
  Backend().PostMessage(ToHandle(GTK_WIDGET(window)), WM_SYSCOMMAND, CommandOf(item), 0);
}

gboolean LinuxWindowSignals::OnDialogKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer) {
  if (Modifiers(event) != 0) return FALSE;
  HWND hwnd = ToHandle(widget);
  LinuxWindowing& backend = Backend();
  const NativeWindow* native = backend.m_impl->Native(hwnd);
  if (!native) return FALSE;
  if (event->keyval == GDK_KEY_Escape) {
    backend.m_impl->trace.Line("dialog-escape");
    backend.PostMessage(hwnd, WM_COMMAND, Clicked(IDCANCEL), 0);
    return TRUE;
  }
  if (IsEnterKey(event->keyval)) {
    backend.PostMessage(hwnd, WM_COMMAND, Clicked(native->defaultCommand), 0);
    return TRUE;
  }
  return FALSE;
}

gboolean LinuxWindowSignals::OnDialogDeleteEvent(GtkWidget*, GdkEvent*, gpointer) {
  // The dialog has already turned the close box into its response, which
  // becomes WM_CLOSE; the window itself stays until the program ends the
  // dialog, rather than being destroyed under it.
  return TRUE;
}

void LinuxWindowSignals::OnDialogResponse(GtkDialog* dialog, gint response, gpointer) {
  HWND hwnd = ToHandle(GTK_WIDGET(dialog));
  if (response >= 0)
    Backend().PostMessage(hwnd, WM_COMMAND, Clicked(response), 0);
  else if (response == GTK_RESPONSE_DELETE_EVENT) {
    Backend().m_impl->trace.Line("dialog-close-box");
    Backend().PostMessage(hwnd, WM_CLOSE, 0, 0);
  }
}
