#include "runtime/defaults/LinkStatusLine.h"

#include <glib.h>

#include <utility>

namespace {

constexpr char kStyle[] =
    ".vellum-status-line { background-color: @theme_bg_color; color: @theme_fg_color;"
    " border: 1px solid @borders; border-left: none; border-bottom: none;"
    " border-radius: 0 4px 0 0; padding: 2px 6px; font-size: smaller; }";

}  // namespace

LinkStatusLine::LinkStatusLine(AddressMap programUri)
    : m_programUri(std::move(programUri)), m_label(GTK_WIDGET(g_object_ref_sink(gtk_label_new("")))) {
  gtk_widget_set_name(m_label, kName);
  gtk_widget_set_halign(m_label, GTK_ALIGN_START);
  gtk_widget_set_valign(m_label, GTK_ALIGN_END);
  // A long address is cut in its middle, keeping its host and its file name.
  gtk_label_set_ellipsize(GTK_LABEL(m_label), PANGO_ELLIPSIZE_MIDDLE);
  gtk_label_set_max_width_chars(GTK_LABEL(m_label), 80);
  gtk_label_set_single_line_mode(GTK_LABEL(m_label), TRUE);
  g_autoptr(GtkCssProvider) provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kStyle, -1, nullptr);
  GtkStyleContext* context = gtk_widget_get_style_context(m_label);
  gtk_style_context_add_provider(context, GTK_STYLE_PROVIDER(provider), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  gtk_style_context_add_class(context, "vellum-status-line");
  gtk_widget_set_no_show_all(m_label, TRUE);
}

LinkStatusLine::~LinkStatusLine() { g_object_unref(m_label); }

void LinkStatusLine::OnHover(const char* engineUri) {
  if (!engineUri || !*engineUri) {
    gtk_widget_hide(m_label);
    gtk_label_set_text(GTK_LABEL(m_label), "");
    return;
  }
  gtk_label_set_text(GTK_LABEL(m_label), m_programUri(engineUri).c_str());
  gtk_widget_show(m_label);
}

std::string LinkStatusLine::Text() const {
  return gtk_widget_get_visible(m_label) ? gtk_label_get_text(GTK_LABEL(m_label)) : "";
}
