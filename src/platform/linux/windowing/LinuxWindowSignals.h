#pragma once
// The GTK signals of the backend's windows, toolbar, dialogs and window
// menu, connected here and handled here (a message box and the Save dialog
// connect the one signal that gives their answer themselves, as only they
// read it). The handlers turn what the user does into messages, posted
// rather than sent so that no program code runs inside GTK's own processing
// of an event: the client area's size-allocate, configure-event and the
// window state become WM_SIZE, delete-event WM_CLOSE, tool button clicks
// WM_COMMAND, Alt+Space and a right click on the toolbar open the window
// menu, whose items send WM_SYSCOMMAND; Escape, Enter and a dialog's
// buttons become its commands.
#include <gtk/gtk.h>

class LinuxWindowing;

struct LinuxWindowSignals {
  // The backend the handlers report to; one per process.
  static void SetBackend(LinuxWindowing* backend);
  static void ClearBackend(LinuxWindowing* backend);

  // Every widget in the backend's table: its entry goes with the widget.
  static void ConnectDestroy(GtkWidget* widget);
  static void ConnectTopLevel(GtkWidget* window, GtkWidget* client);
  // The toolbar's buttons, its context menu, and its width that follows
  // the container's.
  static void ConnectToolBar(GtkWidget* toolBar, GtkWidget* container);
  static void ConnectDialog(GtkWidget* dialog);
  static void ConnectWindowMenu(GtkWidget* menu, GtkWidget* window);

 private:
  static LinuxWindowing& Backend();
  static void OnDestroy(GtkWidget* widget, gpointer);
  static gboolean OnDeleteEvent(GtkWidget* widget, GdkEvent*, gpointer);
  static void OnClientSizeAllocate(GtkWidget* client, GdkRectangle* allocation, gpointer window);
  static gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure*, gpointer);
  static gboolean OnWindowState(GtkWidget* widget, GdkEventWindowState* event, gpointer);
  static gboolean OnFocusIn(GtkWidget* widget, GdkEventFocus*, gpointer);
  static gboolean OnFrameKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer);
  static void OnToolButtonClicked(GtkToolButton* button, gpointer toolBar);
  static gboolean OnToolBarContextMenu(GtkToolbar* toolBar, gint x, gint y, gint, gpointer);
  static void OnToolBarContainerAllocated(GtkWidget* toolBar, GdkRectangle*, gpointer);
  static void OnWindowMenuItem(GtkMenuItem* item, gpointer window);
  static gboolean OnDialogKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer);
  static gboolean OnDialogDeleteEvent(GtkWidget*, GdkEvent*, gpointer);
  static void OnDialogResponse(GtkDialog* dialog, gint response, gpointer);
};
