#pragma once
// The runtime's own widgets over the view (the find bar, the error page,
// notices, the download indicator, the permission prompt) take their look
// from the toolkit's theme, with a few rules of their own under a style
// class, and stay hidden until they have something to say.
#include <gtk/gtk.h>

#include <initializer_list>

// Gives `widget` the style class `styleClass` and the rules `css` for it.
inline void AddWidgetStyle(GtkWidget* widget, const char* css, const char* styleClass) {
  g_autoptr(GtkCssProvider) provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css, -1, nullptr);
  GtkStyleContext* context = gtk_widget_get_style_context(widget);
  gtk_style_context_add_provider(context, GTK_STYLE_PROVIDER(provider), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  gtk_style_context_add_class(context, styleClass);
}

// Packs `children` into `box` in order and shows them; the box itself stays
// hidden until it is shown on purpose (a parent's show_all leaves it alone).
inline void PackHidden(GtkWidget* box, std::initializer_list<GtkWidget*> children) {
  for (GtkWidget* child : children) gtk_box_pack_start(GTK_BOX(box), child, FALSE, FALSE, 0);
  gtk_widget_show_all(box);
  gtk_widget_set_no_show_all(box, TRUE);
  gtk_widget_hide(box);
}
