#pragma once
// The runtime's own widgets over the view (the find bar, the error page,
// notices) take their look from the toolkit's theme, with a few rules of
// their own under a style class.
#include <gtk/gtk.h>

// Gives `widget` the style class `styleClass` and the rules `css` for it.
inline void AddWidgetStyle(GtkWidget* widget, const char* css, const char* styleClass) {
  g_autoptr(GtkCssProvider) provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css, -1, nullptr);
  GtkStyleContext* context = gtk_widget_get_style_context(widget);
  gtk_style_context_add_provider(context, GTK_STYLE_PROVIDER(provider), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  gtk_style_context_add_class(context, styleClass);
}
