#pragma once
// The page's alert, confirm, prompt and leave-page dialogs, titled with the
// caption of the window the view is in. The engine's own dialogs name the
// page's origin, which for local content is the loopback server's internal
// address, so the runtime shows dialogs of its own instead: modal to the
// window, answered back to the engine when the user closes them.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <string>

class ScriptDialogTitle {
 public:
  // The title for a dialog of the view `view`: its window's caption, or the
  // program's name when the window has none.
  static std::string TitleFor(GtkWidget* view);

  // Shows a dialog for the engine's `dialog` and answers it when closed. The
  // page waits for the answer meanwhile. Always handled: TRUE.
  static gboolean Show(GtkWidget* view, WebKitScriptDialog* dialog);

 private:
  static void OnResponse(GtkDialog* window, int response, gpointer dialog);
};
