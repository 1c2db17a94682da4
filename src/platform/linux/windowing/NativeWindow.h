#pragma once
// What the GTK backend keeps for each widget it made, beside the window
// record the toolkit-independent half keeps: the widgets and GLib sources
// that only the backend knows about. The table's entries follow the
// widgets' own lives (an entry goes on the widget's "destroy" signal), so
// an entry also tells that its handle still names a live widget.
#include <gtk/gtk.h>
#include <map>

#include "platform/WindowMessages.h"
#include "platform/linux/windowing/CompositorFullScreen.h"
#include "platform/linux/windowing/ProgressPulse.h"

enum class NativeKind { TopLevel, Child, ToolBar, Dialog, DialogItem };

struct NativeWindow {
  NativeKind kind = NativeKind::TopLevel;
  // Where children go: the GtkLayout of a top-level window, the GtkFixed of
  // a child window, null for controls.
  GtkWidget* client = nullptr;
  // The window menu, attached to the window so that it goes with it.
  GtkWidget* menu = nullptr;
  // A progress bar's running marquee; it stops when the entry goes.
  ProgressPulse pulse;
  // A dialog's default button command (Enter).
  int defaultCommand = IDOK;
  // The size the window system last confirmed for a top-level window.
  int configuredWidth = 0;
  int configuredHeight = 0;
  // Whether the compositor was asked to show a top-level window full screen
  // (Wayland only; on X the window covers its monitor by its rectangle).
  CompositorFullScreen fullScreen;
};

using NativeWindowTable = std::map<HWND, NativeWindow>;

inline HWND ToHandle(GtkWidget* widget) { return reinterpret_cast<HWND>(widget); }
inline GtkWidget* ToWidget(HWND hwnd) { return reinterpret_cast<GtkWidget*>(hwnd); }

// Puts a widget at (x, y) into a client area (an entry's `client`).
inline void PutInto(GtkWidget* client, GtkWidget* widget, int x, int y) {
  if (GTK_IS_LAYOUT(client))
    gtk_layout_put(GTK_LAYOUT(client), widget, x, y);
  else
    gtk_fixed_put(GTK_FIXED(client), widget, x, y);
}

// Tool buttons and window menu items carry the command they send.
inline void SetCommand(gpointer widget, UINT command) {
  g_object_set_data(G_OBJECT(widget), "vellum-command", GUINT_TO_POINTER(command));
}
inline UINT CommandOf(gpointer widget) {
  return GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(widget), "vellum-command"));
}
