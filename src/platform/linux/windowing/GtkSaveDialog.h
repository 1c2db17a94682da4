#pragma once
// The Save dialog over GtkFileChooserNative: on a desktop with a file-chooser
// portal the desktop's own dialog shows, elsewhere GTK's. It asks before
// replacing an existing file, offers one type whose pattern matches without
// regard to ASCII case, and carries the check box as a boolean choice.
#include <gtk/gtk.h>
#include <string>

#include "platform/SaveFileDialog.h"
#include "platform/linux/GObjectPtr.h"

class GtkSaveDialog {
 public:
  GtkSaveDialog(GtkWindow* parent, const SaveFileDialog& dialog);
  ~GtkSaveDialog();
  GtkSaveDialog(const GtkSaveDialog&) = delete;
  GtkSaveDialog& operator=(const GtkSaveDialog&) = delete;

  // Shows the dialog without waiting; Answered() turns true when it closes.
  void Show();
  bool Answered() const { return m_answered; }
  // After the answer: true when the user accepted, with the result filled.
  bool Accepted(SaveFileDialogResult* result) const;

  // A glob that matches `pattern` without regard to ASCII case: "*.pdf"
  // gives "*.[pP][dD][fF]".
  static std::string CaseInsensitivePattern(const std::string& pattern);

 private:
  static void OnResponse(GtkNativeDialog* dialog, gint response, gpointer self);

  GObjectPtr<GtkFileChooserNative> m_chooser;
  bool m_offerCheckBox = false;
  bool m_answered = false;
  gint m_response = GTK_RESPONSE_CANCEL;
  gulong m_handler = 0;
};
