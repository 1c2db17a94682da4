#include "runtime/defaults/FindBar.h"

#include <glib.h>

#include "runtime/defaults/RuntimeText.h"
#include "runtime/defaults/WidgetStyle.h"

namespace {

// Matches are counted up to this many; a page with more says as much.
constexpr guint kMaxMatches = 1000;

constexpr char kBarStyle[] =
    ".vellum-find-bar { background-color: @theme_bg_color; border: 1px solid @borders;"
    " border-top: none; border-radius: 0 0 4px 4px; padding: 4px; }";

GtkWidget* IconButton(const char* icon) {
  GtkWidget* button = gtk_button_new_from_icon_name(icon, GTK_ICON_SIZE_BUTTON);
  gtk_button_set_relief(GTK_BUTTON(button), GTK_RELIEF_NONE);
  gtk_widget_set_can_focus(button, FALSE);
  return button;
}

}  // namespace

FindBar::FindBar(WebKitWebView* view)
    : m_view(view),
      m_bar(GTK_WIDGET(g_object_ref_sink(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4)))),
      m_entry(gtk_search_entry_new()),
      m_count(gtk_label_new("")) {
  gtk_widget_set_halign(m_bar, GTK_ALIGN_END);
  gtk_widget_set_valign(m_bar, GTK_ALIGN_START);
  gtk_widget_set_margin_end(m_bar, 16);
  AddWidgetStyle(m_bar, kBarStyle, "vellum-find-bar");
  gtk_widget_set_name(m_entry, kEntryName);
  gtk_widget_set_name(m_count, kCountName);
  gtk_entry_set_width_chars(GTK_ENTRY(m_entry), 24);
  gtk_label_set_width_chars(GTK_LABEL(m_count), 10);
  GtkWidget* previous = IconButton("go-up-symbolic");
  GtkWidget* next = IconButton("go-down-symbolic");
  GtkWidget* close = IconButton("window-close-symbolic");
  PackHidden(m_bar, {m_entry, m_count, previous, next, close});

  g_signal_connect(m_entry, "search-changed", G_CALLBACK(OnSearchChanged), this);
  g_signal_connect(m_entry, "activate", G_CALLBACK(OnNext), this);
  g_signal_connect(m_entry, "next-match", G_CALLBACK(OnNext), this);
  g_signal_connect(m_entry, "previous-match", G_CALLBACK(OnPrevious), this);
  g_signal_connect(m_entry, "stop-search", G_CALLBACK(OnStop), this);
  g_signal_connect(m_entry, "key-press-event", G_CALLBACK(OnEntryKey), this);
  g_signal_connect(next, "clicked", G_CALLBACK(OnNext), this);
  g_signal_connect(previous, "clicked", G_CALLBACK(OnPrevious), this);
  g_signal_connect_swapped(close, "clicked", G_CALLBACK(+[](gpointer self) { static_cast<FindBar*>(self)->Close(); }),
                           this);
}

FindBar::~FindBar() {
  // The bar's widgets may outlive this object in a window being torn down;
  // none of them may call back into it. A destroyed bar has no children left.
  GList* children = gtk_container_get_children(GTK_CONTAINER(m_bar));
  for (GList* child = children; child; child = child->next) g_signal_handlers_disconnect_by_data(child->data, this);
  g_list_free(children);
  g_object_unref(m_bar);
}

void FindBar::Open() {
  gtk_widget_show(m_bar);
  gtk_widget_grab_focus(m_entry);
  gtk_editable_select_region(GTK_EDITABLE(m_entry), 0, -1);
  // A search that was closed starts again with the text still there.
  if (gtk_entry_get_text_length(GTK_ENTRY(m_entry)) > 0) Search();
}

void FindBar::Close() {
  webkit_find_controller_search_finish(Controller());
  gtk_widget_hide(m_bar);
  gtk_widget_grab_focus(GTK_WIDGET(m_view));
}

void FindBar::Search() {
  const char* text = gtk_entry_get_text(GTK_ENTRY(m_entry));
  WebKitFindController* controller = Controller();
  if (!text || !*text) {
    webkit_find_controller_search_finish(controller);
    gtk_label_set_text(GTK_LABEL(m_count), "");
    return;
  }
  const guint32 options = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;
  webkit_find_controller_search(controller, text, options, kMaxMatches);
  webkit_find_controller_count_matches(controller, text, options, kMaxMatches);
}

void FindBar::OnCountedMatches(guint count) { gtk_label_set_text(GTK_LABEL(m_count), CountText(count).c_str()); }

void FindBar::OnFailedToFind() {
  // The engine reports a failed search of an empty field too; only a search
  // for some text has no matches.
  if (gtk_entry_get_text_length(GTK_ENTRY(m_entry)) > 0) OnCountedMatches(0);
}

std::string FindBar::CountText(guint count) {
  if (count == 0) return RuntimeText("No matches");
  if (count > kMaxMatches) return RuntimePluralText("More than %u match", "More than %u matches", kMaxMatches);
  return RuntimePluralText("%u match", "%u matches", count);
}

void FindBar::OnSearchChanged(GtkSearchEntry*, gpointer self) { static_cast<FindBar*>(self)->Search(); }

void FindBar::OnNext(GtkWidget*, gpointer self) {
  auto* bar = static_cast<FindBar*>(self);
  if (gtk_entry_get_text_length(GTK_ENTRY(bar->m_entry)) > 0) webkit_find_controller_search_next(bar->Controller());
}

void FindBar::OnPrevious(GtkWidget*, gpointer self) {
  auto* bar = static_cast<FindBar*>(self);
  if (gtk_entry_get_text_length(GTK_ENTRY(bar->m_entry)) > 0) webkit_find_controller_search_previous(bar->Controller());
}

void FindBar::OnStop(GtkSearchEntry*, gpointer self) { static_cast<FindBar*>(self)->Close(); }

gboolean FindBar::OnEntryKey(GtkWidget*, GdkEventKey* event, gpointer self) {
  // Enter alone is the entry's own "activate"; with Shift it goes backwards.
  const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter;
  if (!enter || !(event->state & GDK_SHIFT_MASK)) return FALSE;
  OnPrevious(nullptr, self);
  return TRUE;
}
