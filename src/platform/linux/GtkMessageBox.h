#pragma once
// A message box as a modal GtkMessageDialog: the icon and buttons its type
// asks for (MB_ICON..., MB_OK / MB_OKCANCEL / MB_YESNO) and the program's
// icon. The caller runs the message loop until Answered() and then reads
// Answer(). The dialog is held by a reference of its own, so that it stays
// valid even when GTK destroys it first (with its owner).
#include <gtk/gtk.h>

#include <string_view>

#include "platform/WindowMessages.h"
#include "platform/linux/GObjectPtr.h"

class GtkMessageBox {
 public:
  GtkMessageBox(GtkWindow* parent, std::u16string_view text, std::u16string_view caption, UINT type);
  ~GtkMessageBox();
  GtkMessageBox(const GtkMessageBox&) = delete;
  GtkMessageBox& operator=(const GtkMessageBox&) = delete;

  // Shows the box, signals connected.
  void Show();
  // The box's "response" signal: a button or the close box.
  void Respond(int response);
  bool Answered() const { return m_answered; }
  // The button chosen, as IDOK, IDCANCEL, IDYES or IDNO.
  int Answer() const;

  // The answer for a GTK response to a box of `type`: a box closed without
  // a button answers OK when OK is its only button, and Cancel (or No)
  // when it offers a choice, so that closing never confirms anything.
  static int AnswerFor(int response, UINT type);

 private:
  GObjectPtr<GtkWidget> m_box;
  UINT m_type;
  int m_response = GTK_RESPONSE_NONE;
  bool m_answered = false;
};
