#include "runtime/defaults/DownloadIndicator.h"

#include <algorithm>

#include "runtime/defaults/WidgetStyle.h"

namespace {

constexpr char kStyle[] =
    ".vellum-downloads { background-color: @theme_bg_color; border: 1px solid @borders;"
    " border-right: none; border-bottom: none; border-radius: 4px 0 0 0; padding: 4px 8px; }";

}  // namespace

DownloadIndicator::DownloadIndicator() : m_box(GTK_WIDGET(g_object_ref_sink(gtk_box_new(GTK_ORIENTATION_VERTICAL, 2)))) {
  gtk_widget_set_name(m_box, kName);
  gtk_widget_set_halign(m_box, GTK_ALIGN_END);
  gtk_widget_set_valign(m_box, GTK_ALIGN_END);
  AddWidgetStyle(m_box, kStyle, "vellum-downloads");
  gtk_widget_set_no_show_all(m_box, TRUE);
  // A row the user closes leaves the box; the last one takes the box away.
  g_signal_connect(m_box, "remove", G_CALLBACK(OnRemoved), this);
}

DownloadIndicator::~DownloadIndicator() {
  g_signal_handlers_disconnect_by_data(m_box, this);
  m_rows.clear();
  g_object_unref(m_box);
}

std::shared_ptr<DownloadRow> DownloadIndicator::Add(const std::string& name) {
  // The oldest row gives way, a finished one before one still running.
  if (m_rows.size() >= kMaxRows) {
    auto gone = std::find_if(m_rows.begin(), m_rows.end(), [](const auto& row) { return row->IsOver(); });
    if (gone == m_rows.end()) gone = m_rows.begin();
    const std::shared_ptr<DownloadRow> row = *gone;
    gtk_container_remove(GTK_CONTAINER(m_box), row->Widget());
  }
  auto row = std::make_shared<DownloadRow>(name);
  gtk_box_pack_end(GTK_BOX(m_box), row->Widget(), FALSE, FALSE, 0);
  m_rows.push_back(row);
  gtk_widget_show(m_box);
  return row;
}

void DownloadIndicator::OnRemoved(GtkContainer*, GtkWidget* child, gpointer self) {
  auto* indicator = static_cast<DownloadIndicator*>(self);
  auto& rows = indicator->m_rows;
  rows.erase(std::remove_if(rows.begin(), rows.end(), [child](const auto& row) { return row->Widget() == child; }),
             rows.end());
  if (rows.empty()) gtk_widget_hide(indicator->m_box);
}
