#include "runtime/defaults/ScriptDialogTitle.h"

#include <glib.h>

#include "runtime/defaults/RuntimeText.h"

namespace {

// The toolkit's own translated button labels.
const char* ToolkitText(const char* text) { return g_dgettext("gtk30", text); }

// Where the prompt's entry is kept on its dialog.
constexpr char kEntryKey[] = "vellumview-prompt-entry";

}  // namespace

std::string ScriptDialogTitle::TitleFor(GtkWidget* view) {
  GtkWidget* toplevel = gtk_widget_get_toplevel(view);
  const char* caption = GTK_IS_WINDOW(toplevel) ? gtk_window_get_title(GTK_WINDOW(toplevel)) : nullptr;
  if (caption && *caption) return caption;
  const char* name = g_get_application_name();
  return name ? name : "";
}

gboolean ScriptDialogTitle::Show(GtkWidget* view, WebKitScriptDialog* dialog) {
  const WebKitScriptDialogType type = webkit_script_dialog_get_dialog_type(dialog);
  GtkWidget* toplevel = gtk_widget_get_toplevel(view);
  GtkWindow* parent = GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr;
  const GtkMessageType kind = type == WEBKIT_SCRIPT_DIALOG_ALERT ? GTK_MESSAGE_INFO : GTK_MESSAGE_QUESTION;
  GtkWidget* window = gtk_message_dialog_new(parent, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), kind,
                                             GTK_BUTTONS_NONE, "%s", webkit_script_dialog_get_message(dialog));
  gtk_window_set_title(GTK_WINDOW(window), TitleFor(view).c_str());
  switch (type) {
    case WEBKIT_SCRIPT_DIALOG_ALERT:
      gtk_dialog_add_button(GTK_DIALOG(window), ToolkitText("_OK"), GTK_RESPONSE_OK);
      break;
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
      // The page's own text is not shown by the engine for this one; the
      // question is always the same.
      gtk_message_dialog_set_markup(GTK_MESSAGE_DIALOG(window), RuntimeText("Leave this page?"));
      gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(window), "%s", RuntimeText("Changes you made may not be saved."));
      gtk_dialog_add_button(GTK_DIALOG(window), RuntimeText("_Stay"), GTK_RESPONSE_CANCEL);
      gtk_dialog_add_button(GTK_DIALOG(window), RuntimeText("_Leave"), GTK_RESPONSE_OK);
      break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT: {
      GtkWidget* entry = gtk_entry_new();
      gtk_entry_set_text(GTK_ENTRY(entry), webkit_script_dialog_prompt_get_default_text(dialog));
      gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
      GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(window));
      gtk_box_pack_end(GTK_BOX(area), entry, FALSE, FALSE, 0);
      gtk_widget_show(entry);
      g_object_set_data(G_OBJECT(window), kEntryKey, entry);
    }
      [[fallthrough]];
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
    default:
      gtk_dialog_add_button(GTK_DIALOG(window), ToolkitText("_Cancel"), GTK_RESPONSE_CANCEL);
      gtk_dialog_add_button(GTK_DIALOG(window), ToolkitText("_OK"), GTK_RESPONSE_OK);
      break;
  }
  gtk_dialog_set_default_response(GTK_DIALOG(window), GTK_RESPONSE_OK);
  // The engine's dialog stays alive until the answer is given.
  g_signal_connect(window, "response", G_CALLBACK(OnResponse), webkit_script_dialog_ref(dialog));
  // A dialog that goes with its window unanswered is cancelled, so that the
  // page does not wait for ever.
  g_signal_connect(window, "destroy", G_CALLBACK(+[](GtkWidget* w, gpointer d) {
                     OnResponse(GTK_DIALOG(w), GTK_RESPONSE_CANCEL, d);
                   }),
                   dialog);
  gtk_widget_show(window);
  return TRUE;
}

void ScriptDialogTitle::OnResponse(GtkDialog* window, int response, gpointer data) {
  auto* dialog = static_cast<WebKitScriptDialog*>(data);
  // Each dialog is answered once: closing it after an answer, or the window
  // going with its parent, answers nothing more.
  g_signal_handlers_disconnect_by_data(window, data);
  const bool accepted = response == GTK_RESPONSE_OK;
  switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_PROMPT: {
      auto* entry = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(window), kEntryKey));
      // A cancelled prompt answers null to the page.
      if (accepted && entry) webkit_script_dialog_prompt_set_text(dialog, gtk_entry_get_text(GTK_ENTRY(entry)));
      break;
    }
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
      webkit_script_dialog_confirm_set_confirmed(dialog, accepted);
      break;
    default:
      break;
  }
  webkit_script_dialog_close(dialog);
  webkit_script_dialog_unref(dialog);
  gtk_widget_destroy(GTK_WIDGET(window));
}
