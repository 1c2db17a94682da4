#pragma once
// Builds a GtkDialog from a dialog template. GTK lays widgets out by
// itself, so the template's rectangles only give the order and grouping:
// items inside a group box's rectangle are framed by it, the rest stand in
// the content area, each from top to bottom; buttons go to the dialog's
// button row. The size is the template's, in dialog units converted for an
// ordinary 9-point interface font, or what the widgets need if more.
// Signals are connected by LinuxWindowSignals.
#include <gtk/gtk.h>
#include <utility>
#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/WindowMessages.h"

class GtkDialogBuilder {
 public:
  struct Result {
    GtkWidget* dialog = nullptr;
    int width = 0;
    int height = 0;
    // The command of the button marked BS_DEFPUSHBUTTON (Enter).
    int defaultCommand = IDOK;
    // The widgets of the items with an id other than -1.
    std::vector<std::pair<int, GtkWidget*>> items;
  };

  static Result Build(const DialogTemplate& dialogTemplate, GtkWindow* owner);
};
