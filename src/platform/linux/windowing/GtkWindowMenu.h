#pragma once
// The window menu as a GtkMenu. GTK has no window menu of its own to
// extend, so the program's (Restore, Minimize, Maximize, Close and what the
// program appended) is built afresh each time it opens; commands that
// cannot happen in the window's state are greyed. Item signals are
// connected by LinuxWindowSignals.
#include <gtk/gtk.h>
#include <string>
#include <utility>
#include <vector>

#include "platform/WindowMessages.h"

class GtkWindowMenu {
 public:
  // Builds the menu, attached to `window` so that it goes with it; an
  // item with id 0 is a separator.
  static GtkWidget* Build(GtkWidget* window, const std::vector<std::pair<UINT, std::u16string>>& items,
                          bool zoomed, bool iconic);
  // Opens the menu at (x, y) in the window's client coordinates. `trigger`
  // is the key press or click that asked for it, if known: GTK takes the
  // pointer and keyboard from it. False when the window has no surface.
  static bool Popup(GtkWidget* menu, GtkWidget* window, int x, int y, const GdkEvent* trigger);
};
