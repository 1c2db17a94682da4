#pragma once
// A message box as a modal GtkMessageDialog: the icon and buttons its type
// asks for (MB_ICON..., MB_OK / MB_OKCANCEL / MB_YESNO) and the program's
// icon. The caller runs the message loop until Answered() and then reads
// Answer(). A GtkDialog answers a close request (the close box) by
// destroying itself after its response, so the box is held by a reference
// of its own: the destroy that ends every box then reaches a live object
// instead of a freed one.
#include <gtk/gtk.h>
#include <functional>
#include <string_view>

#include "platform/WindowMessages.h"
#include "platform/linux/GObjectPtr.h"

class GtkMessageBox {
 public:
  GtkMessageBox(GtkWindow* parent, std::u16string_view text, std::u16string_view caption, UINT type);
  ~GtkMessageBox();
  GtkMessageBox(const GtkMessageBox&) = delete;
  GtkMessageBox& operator=(const GtkMessageBox&) = delete;

  // Shows the box. `onAnswered` runs once the box has its answer (a button
  // or the close box), from the box's own "response" signal, so that a
  // loop waiting for a message can be woken to notice.
  void Show(std::function<void()> onAnswered);
  bool Answered() const { return m_answered; }
  // The button chosen, as IDOK, IDCANCEL, IDYES or IDNO.
  int Answer() const;

 private:
  // The answer for a GTK response to a box of `type`: a box closed without
  // a button answers OK when OK is its only button, and Cancel (or No)
  // when it offers a choice, so that closing never confirms anything.
  static int AnswerFor(int response, UINT type);
  static void OnResponse(GtkDialog* dialog, gint response, gpointer self);

  GObjectPtr<GtkWidget> m_box;
  UINT m_type;
  std::function<void()> m_onAnswered;
  int m_response = GTK_RESPONSE_NONE;
  bool m_answered = false;
};
