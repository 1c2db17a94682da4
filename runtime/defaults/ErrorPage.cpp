#include "runtime/defaults/ErrorPage.h"

#include <utility>

#include "runtime/defaults/RuntimeText.h"
#include "runtime/defaults/WidgetStyle.h"

namespace {

constexpr char kStyle[] =
    ".vellum-error-page { background-color: @theme_base_color; }"
    ".vellum-error-page .title { font-size: 150%; font-weight: bold; }"
    ".vellum-notice { background-color: @theme_bg_color; border: 1px solid @borders;"
    " border-top: none; border-radius: 0 0 4px 4px; padding: 6px; }";

// A label that wraps and can be selected, so that an address can be copied.
GtkWidget* Line(const char* styleClass) {
  GtkWidget* label = gtk_label_new("");
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(label), 80);
  gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
  if (styleClass) gtk_style_context_add_class(gtk_widget_get_style_context(label), styleClass);
  return label;
}

template <typename F>
GtkWidget* Button(const char* text, ErrorPage* page, F onClick) {
  GtkWidget* button = gtk_button_new_with_label(text);
  g_signal_connect_swapped(button, "clicked", G_CALLBACK(+onClick), page);
  return button;
}

}  // namespace

ErrorPage::ErrorPage(WebKitWebView* view, AddressMap programUri)
    : m_view(view),
      m_programUri(std::move(programUri)),
      m_panel(GTK_WIDGET(g_object_ref_sink(gtk_box_new(GTK_ORIENTATION_VERTICAL, 12)))),
      m_address(Line(nullptr)),
      m_reason(Line(nullptr)),
      m_notice(GTK_WIDGET(g_object_ref_sink(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8)))) {
  gtk_widget_set_name(m_panel, kPanelName);
  gtk_widget_set_name(m_address, kAddressName);
  gtk_widget_set_name(m_reason, kReasonName);
  AddWidgetStyle(m_panel, kStyle, "vellum-error-page");
  gtk_widget_set_no_show_all(m_panel, TRUE);
  GtkWidget* inner = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  gtk_widget_set_valign(inner, GTK_ALIGN_CENTER);
  gtk_widget_set_halign(inner, GTK_ALIGN_CENTER);
  gtk_widget_set_vexpand(inner, TRUE);
  GtkWidget* title = Line("title");
  gtk_label_set_text(GTK_LABEL(title), RuntimeText("This page cannot be shown"));
  gtk_label_set_selectable(GTK_LABEL(m_address), TRUE);
  m_reload = Button(RuntimeText("Reload"), this, [](ErrorPage* page) { page->Reload(); });
  gtk_widget_set_name(m_reload, kReloadName);
  gtk_widget_set_halign(m_reload, GTK_ALIGN_CENTER);
  for (GtkWidget* child : {title, m_address, m_reason, m_reload}) gtk_box_pack_start(GTK_BOX(inner), child, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(m_panel), inner, TRUE, TRUE, 0);
  gtk_widget_show_all(inner);

  gtk_widget_set_name(m_notice, kNoticeName);
  AddWidgetStyle(m_notice, kStyle, "vellum-notice");
  gtk_widget_set_halign(m_notice, GTK_ALIGN_CENTER);
  gtk_widget_set_valign(m_notice, GTK_ALIGN_START);
  GtkWidget* question = gtk_label_new(RuntimeText("The page is not responding."));
  GtkWidget* wait = Button(RuntimeText("Wait"), this, [](ErrorPage* page) { gtk_widget_hide(page->m_notice); });
  // A page that does not answer cannot be reloaded through its own process.
  GtkWidget* restart = Button(RuntimeText("Reload"), this, [](ErrorPage* page) {
    gtk_widget_hide(page->m_notice);
    webkit_web_view_terminate_web_process(page->m_view);
    page->Reload();
  });
  gtk_widget_set_name(restart, kNoticeReloadName);
  PackHidden(m_notice, {question, wait, restart});
}

ErrorPage::~ErrorPage() {
  g_object_unref(m_notice);
  g_object_unref(m_panel);
}

std::string ErrorPage::ReasonForStatus(unsigned status) {
  if (status == 404) return RuntimeText("The file does not exist, or cannot be opened.");
  if (status == 400) return RuntimeText("The address does not name a file that can be read.");
  if (status == 403) return RuntimeText("The page is not allowed to read this file.");
  return std::string(RuntimeText("The file could not be read.")) + " (" + std::to_string(status) + ")";
}

bool ErrorPage::IsShownFailure(const GError* error) {
  if (!error) return true;
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)) return false;
  if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) return false;
  // Policy errors are the runtime's own decisions: a cancelled navigation,
  // a response the engine turned into a download, a load replaced by another.
  return error->domain != WEBKIT_POLICY_ERROR;
}

void ErrorPage::OnLoadChanged(WebKitLoadEvent loadEvent) {
  if (loadEvent == WEBKIT_LOAD_STARTED) {
    gtk_widget_hide(m_panel);
    return;
  }
  if (loadEvent != WEBKIT_LOAD_COMMITTED) return;
  // A local file the program answered with an error has an empty body: the
  // page would be a blank window. Web pages never reach the view this way.
  WebKitWebResource* resource = webkit_web_view_get_main_resource(m_view);
  WebKitURIResponse* response = resource ? webkit_web_resource_get_response(resource) : nullptr;
  const unsigned status = response ? webkit_uri_response_get_status_code(response) : 0;
  const char* uri = webkit_web_view_get_uri(m_view);
  if (status >= 400 && m_programUri(uri).rfind("file:", 0) == 0) Show(uri, ReasonForStatus(status));
}

bool ErrorPage::OnLoadFailed(const char* failingUri, const GError* error) {
  if (!IsShownFailure(error)) return false;
  Show(failingUri, error && error->message ? error->message : RuntimeText("The page could not be loaded."));
  return true;
}

void ErrorPage::OnWebProcessTerminated(WebKitWebProcessTerminationReason reason) {
  gtk_widget_hide(m_notice);
  Show(webkit_web_view_get_uri(m_view),
       reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? RuntimeText("The page used too much memory and was ended.")
       : reason == WEBKIT_WEB_PROCESS_CRASHED             ? RuntimeText("The page's process ended unexpectedly.")
                                                          : RuntimeText("The page's process was ended."));
}

void ErrorPage::OnResponsiveChanged() {
  gtk_widget_set_visible(m_notice, !webkit_web_view_get_is_web_process_responsive(m_view));
}

void ErrorPage::Show(const char* engineUri, const std::string& reason) {
  gtk_label_set_text(GTK_LABEL(m_address), m_programUri(engineUri ? engineUri : "").c_str());
  gtk_label_set_text(GTK_LABEL(m_reason), reason.c_str());
  gtk_widget_show(m_panel);
  // The page's process may be gone: keys go to the panel, which passes the
  // browser keys on, and Enter reloads.
  if (gtk_widget_has_focus(GTK_WIDGET(m_view))) gtk_widget_grab_focus(m_reload);
}

void ErrorPage::Reload() {
  gtk_widget_hide(m_panel);
  webkit_web_view_reload(m_view);
  gtk_widget_grab_focus(GTK_WIDGET(m_view));
}
