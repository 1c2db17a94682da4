#pragma once
// Finding the runtime's widgets in the host's window, as a user's eye would.
#include <gtk/gtk.h>

// The first widget below `widget` (itself included) that `match` accepts, internal children too.
template <typename F>
GtkWidget* FindWidget(GtkWidget* widget, F match) {
  if (match(widget)) return widget;
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  struct Search { F* match; GtkWidget* found; } search{&match, nullptr};
  gtk_container_forall(GTK_CONTAINER(widget), [](GtkWidget* child, gpointer data) {
    auto* s = static_cast<Search*>(data);
    if (!s->found) s->found = FindWidget(child, *s->match);
  }, &search);
  return search.found;
}

// The widget of this name below `widget`, or null.
inline GtkWidget* NamedWidget(GtkWidget* widget, const char* name) {
  return FindWidget(widget, [name](GtkWidget* w) { return g_str_equal(gtk_widget_get_name(w), name); });
}

// The first visible top-level window that `match` accepts, or null.
template <typename F>
GtkWidget* VisibleWindow(F match) {
  g_autoptr(GList) windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next)
    if (gtk_widget_get_visible(GTK_WIDGET(w->data)) && match(GTK_WIDGET(w->data))) return GTK_WIDGET(w->data);
  return nullptr;
}
