#include "platform/linux/windowing/GtkMessageBox.h"

#include <string>
#include <utility>

#include "platform/linux/windowing/ApplicationIcon.h"
#include "util/Strings.h"

namespace {

GtkMessageType MessageTypeFor(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
      return GTK_MESSAGE_ERROR;
    case MB_ICONWARNING:
      return GTK_MESSAGE_WARNING;
    case MB_ICONINFORMATION:
      return GTK_MESSAGE_INFO;
    case MB_ICONQUESTION:
      return GTK_MESSAGE_QUESTION;
  }
  return GTK_MESSAGE_OTHER;
}

GtkButtonsType ButtonsFor(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return GTK_BUTTONS_OK_CANCEL;
    case MB_YESNO:
      return GTK_BUTTONS_YES_NO;
  }
  return GTK_BUTTONS_OK;
}

}  // namespace

GtkMessageBox::GtkMessageBox(GtkWindow* parent, std::u16string_view text, std::u16string_view caption,
                             UINT type)
    : m_type(type) {
  const std::string utf8 = WideToUtf8(text);
  const GtkButtonsType buttons = ButtonsFor(type);
  m_box = GObjectPtr<GtkWidget>::Ref(
      gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, MessageTypeFor(type), buttons, "%s", utf8.c_str()));
  GtkWindow* window = GTK_WINDOW(m_box.Get());
  const std::string title = WideToUtf8(caption);
  gtk_window_set_title(window, title.c_str());
  gtk_window_set_position(window, parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  gtk_window_set_icon_name(window, ApplicationIconName());
  if (buttons == GTK_BUTTONS_OK) gtk_dialog_set_default_response(GTK_DIALOG(window), GTK_RESPONSE_OK);
}

GtkMessageBox::~GtkMessageBox() { gtk_widget_destroy(m_box.Get()); }

void GtkMessageBox::Show(std::function<void()> onAnswered) {
  m_onAnswered = std::move(onAnswered);
  g_signal_connect(m_box.Get(), "response", G_CALLBACK(&GtkMessageBox::OnResponse), this);
  gtk_widget_show_all(m_box.Get());
  gtk_window_present(GTK_WINDOW(m_box.Get()));
}

void GtkMessageBox::OnResponse(GtkDialog*, gint response, gpointer self) {
  auto* box = static_cast<GtkMessageBox*>(self);
  box->m_response = response;
  box->m_answered = true;
  if (box->m_onAnswered) box->m_onAnswered();
}

int GtkMessageBox::Answer() const { return AnswerFor(m_response, m_type); }

int GtkMessageBox::AnswerFor(int response, UINT type) {
  switch (response) {
    case GTK_RESPONSE_OK:
      return IDOK;
    case GTK_RESPONSE_YES:
      return IDYES;
    case GTK_RESPONSE_NO:
      return IDNO;
    case GTK_RESPONSE_CANCEL:
      return IDCANCEL;
  }
  if ((type & MB_TYPEMASK) == MB_OK) return IDOK;
  return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
}
