#include "runtime/defaults/DownloadRow.h"

#include <gio/gio.h>

#include "runtime/defaults/RuntimeText.h"
#include "runtime/loopback/RequestTrace.h"

namespace {

GtkWidget* Button(const char* text, const char* name) {
  GtkWidget* button = gtk_button_new_with_label(text);
  gtk_widget_set_name(button, name);
  gtk_widget_set_can_focus(button, FALSE);
  gtk_widget_set_no_show_all(button, TRUE);
  return button;
}

GtkWindow* WindowOf(GtkWidget* widget) {
  GtkWidget* toplevel = gtk_widget_get_toplevel(widget);
  return GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr;
}

// Opens `uri` with the desktop's default handler; a failure is said in the
// row's status, since the user asked for something and saw nothing happen.
void OpenUri(GtkWidget* from, GtkWidget* status, const char* uri) {
  g_autoptr(GError) error = nullptr;
  if (gtk_show_uri_on_window(WindowOf(from), uri, GDK_CURRENT_TIME, &error)) return;
  gtk_label_set_text(GTK_LABEL(status), RuntimeText("Could not open it"));
  gtk_widget_show(status);
}

}  // namespace

DownloadRow::DownloadRow(const std::string& name)
    : m_row(GTK_WIDGET(g_object_ref_sink(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6)))),
      m_name(gtk_label_new(name.c_str())),
      m_progress(gtk_progress_bar_new()),
      m_status(gtk_label_new(RuntimeText("Downloading"))),
      m_open(Button(RuntimeText("Open"), kOpenButton)),
      m_show(Button(RuntimeText("Show in folder"), kShowButton)) {
  gtk_widget_set_name(m_name, kNameLabel);
  gtk_widget_set_name(m_status, kStatusLabel);
  gtk_label_set_ellipsize(GTK_LABEL(m_name), PANGO_ELLIPSIZE_MIDDLE);
  gtk_label_set_max_width_chars(GTK_LABEL(m_name), 32);
  gtk_widget_set_valign(m_progress, GTK_ALIGN_CENTER);
  gtk_widget_set_size_request(m_progress, 80, -1);
  GtkWidget* close = gtk_button_new_from_icon_name("window-close-symbolic", GTK_ICON_SIZE_BUTTON);
  gtk_button_set_relief(GTK_BUTTON(close), GTK_RELIEF_NONE);
  gtk_widget_set_can_focus(close, FALSE);
  gtk_widget_set_tooltip_text(close, RuntimeText("Close"));
  for (GtkWidget* child : {m_name, m_progress, m_status, m_open, m_show, close})
    gtk_box_pack_start(GTK_BOX(m_row), child, FALSE, FALSE, 0);
  gtk_widget_show_all(m_row);
  g_signal_connect(m_open, "clicked", G_CALLBACK(OnOpen), this);
  g_signal_connect(m_show, "clicked", G_CALLBACK(OnShowInFolder), this);
  g_signal_connect(close, "clicked", G_CALLBACK(OnClose), this);
}

DownloadRow::~DownloadRow() {
  if (GtkWidget* parent = gtk_widget_get_parent(m_row)) gtk_container_remove(GTK_CONTAINER(parent), m_row);
  gtk_container_foreach(GTK_CONTAINER(m_row), [](GtkWidget* child, gpointer self) {
    g_signal_handlers_disconnect_by_data(child, self);
  }, this);
  g_object_unref(m_row);
}

void DownloadRow::SetProgress(double fraction) {
  if (m_over) return;
  if (fraction < 0)
    gtk_progress_bar_pulse(GTK_PROGRESS_BAR(m_progress));
  else
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(m_progress), fraction > 1 ? 1 : fraction);
}

void DownloadRow::Finish(const std::string& fileUri, const std::string& destination, const char* why) {
  if (destination.empty()) {
    SetFailed();
    RequestTrace::Instance().Event("download-failed", fileUri, {{"error", why ? why : ""}});
  } else {
    SetSaved(destination);
    RequestTrace::Instance().Event("download-saved", fileUri, {{"destination", destination}});
  }
}

void DownloadRow::SetSaved(const std::string& path) {
  m_over = true;
  m_path = path;
  // The name it was saved under, which a name already taken has changed.
  g_autofree char* name = g_path_get_basename(path.c_str());
  g_autofree char* shown = g_filename_display_name(name);
  gtk_label_set_text(GTK_LABEL(m_name), shown);
  gtk_widget_hide(m_progress);
  gtk_widget_hide(m_status);
  gtk_label_set_text(GTK_LABEL(m_status), "");
  gtk_widget_show(m_open);
  gtk_widget_show(m_show);
}

void DownloadRow::SetFailed() {
  m_over = true;
  gtk_widget_hide(m_progress);
  gtk_label_set_text(GTK_LABEL(m_status), RuntimeText("Download failed"));
  gtk_widget_show(m_status);
}

void DownloadRow::OnOpen(GtkButton*, gpointer self) {
  auto* row = static_cast<DownloadRow*>(self);
  g_autofree char* uri = g_filename_to_uri(row->m_path.c_str(), nullptr, nullptr);
  if (uri) OpenUri(row->m_row, row->m_status, uri);
}

void DownloadRow::OnShowInFolder(GtkButton*, gpointer self) {
  auto* row = static_cast<DownloadRow*>(self);
  g_autofree char* folder = g_path_get_dirname(row->m_path.c_str());
  g_autofree char* uri = g_filename_to_uri(folder, nullptr, nullptr);
  if (uri) OpenUri(row->m_row, row->m_status, uri);
}

void DownloadRow::OnClose(GtkButton*, gpointer self) {
  auto* row = static_cast<DownloadRow*>(self);
  if (GtkWidget* parent = gtk_widget_get_parent(row->m_row)) gtk_container_remove(GTK_CONTAINER(parent), row->m_row);
}
