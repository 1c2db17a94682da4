#pragma once
// The toolbar as GTK widgets: a GtkToolbar of icon buttons, each carrying
// its command and its label as tool tip. Buttons whose icon the theme does
// not have show their label instead. Buttons that do not fit go behind an
// overflow arrow, whose menu lists them by their labels and runs the same
// commands. Signals are connected by LinuxWindowSignals.
#include <gtk/gtk.h>
#include <span>

#include "platform/ToolBarButton.h"

class GtkToolBar {
 public:
  // Builds the toolbar (not yet placed) and counts its command buttons.
  static GtkWidget* Create(std::span<const ToolBarButton> buttons, int* buttonCount);
  // Gives the toolbar `width` and returns the height it wants at it.
  static int FitWidth(GtkWidget* toolBar, int width);
  // Enables or disables the buttons sending `command`.
  static void EnableButton(GtkWidget* toolBar, UINT command, bool enable);
};
