#include "platform/linux/windowing/GtkSaveDialog.h"

#include "util/Strings.h"

namespace {
constexpr const char* kChoiceId = "open-after-save";
}  // namespace

GtkSaveDialog::GtkSaveDialog(GtkWindow* parent, const SaveFileDialog& dialog)
    : m_chooser(GObjectPtr<GtkFileChooserNative>::Adopt(gtk_file_chooser_native_new(
          WideToUtf8(dialog.title).c_str(), parent, GTK_FILE_CHOOSER_ACTION_SAVE, nullptr, nullptr))),
      m_offerCheckBox(dialog.offerCheckBox) {
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(m_chooser.Get());
  gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(m_chooser.Get()), TRUE);
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
  GtkFileFilter* filter = gtk_file_filter_new();  // floating; the chooser takes it
  gtk_file_filter_set_name(filter, WideToUtf8(dialog.typeName).c_str());
  gtk_file_filter_add_pattern(filter, CaseInsensitivePattern(WideToUtf8(dialog.typePattern)).c_str());
  gtk_file_chooser_add_filter(chooser, filter);
  gtk_file_chooser_set_current_name(chooser, WideToUtf8(dialog.fileName).c_str());
  if (m_offerCheckBox) {
    gtk_file_chooser_add_choice(chooser, kChoiceId, WideToUtf8(dialog.checkBoxLabel).c_str(), nullptr, nullptr);
    gtk_file_chooser_set_choice(chooser, kChoiceId, dialog.checkBoxState ? "true" : "false");
  }
  m_handler = g_signal_connect(m_chooser.Get(), "response", G_CALLBACK(&GtkSaveDialog::OnResponse), this);
}

GtkSaveDialog::~GtkSaveDialog() {
  if (m_handler) g_signal_handler_disconnect(m_chooser.Get(), m_handler);
  if (!m_answered) gtk_native_dialog_hide(GTK_NATIVE_DIALOG(m_chooser.Get()));
}

void GtkSaveDialog::Show() { gtk_native_dialog_show(GTK_NATIVE_DIALOG(m_chooser.Get())); }

void GtkSaveDialog::OnResponse(GtkNativeDialog*, gint response, gpointer self) {
  auto* dialog = static_cast<GtkSaveDialog*>(self);
  dialog->m_response = response;
  dialog->m_answered = true;
}

bool GtkSaveDialog::Accepted(SaveFileDialogResult* result) const {
  if (!m_answered || m_response != GTK_RESPONSE_ACCEPT) return false;
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(m_chooser.Get());
  gchar* path = gtk_file_chooser_get_filename(chooser);
  if (path) {
    result->path = Utf8ToWide(path);
    g_free(path);
  }
  result->checkBoxOffered = m_offerCheckBox;
  if (m_offerCheckBox) {
    const char* choice = gtk_file_chooser_get_choice(chooser, kChoiceId);
    result->checked = choice && std::string_view(choice) == "true";
  }
  return true;
}

std::string GtkSaveDialog::CaseInsensitivePattern(const std::string& pattern) {
  std::string out;
  for (const char c : pattern) {
    const bool lower = c >= 'a' && c <= 'z';
    const bool upper = c >= 'A' && c <= 'Z';
    if (!lower && !upper) {
      out.push_back(c);
      continue;
    }
    const char other = lower ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c - 'A' + 'a');
    out += '[';
    out += lower ? other : c;
    out += lower ? c : other;
    out += ']';
  }
  return out;
}
