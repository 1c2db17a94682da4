#include "runtime/defaults/ContextMenu.h"

#include <utility>

#include "runtime/defaults/RuntimeText.h"

ContextMenu::ContextMenu(AddressMap programUri, std::function<void()> print)
    : m_programUri(std::move(programUri)),
      m_print(std::move(print)),
      m_copyLink(g_simple_action_new("vellum-copy-link", G_VARIANT_TYPE_STRING)),
      m_printAction(g_simple_action_new("vellum-print", nullptr)) {
  g_signal_connect(m_copyLink, "activate", G_CALLBACK(+[](GSimpleAction*, GVariant* address, gpointer) {
                     GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
                     gtk_clipboard_set_text(clipboard, g_variant_get_string(address, nullptr), -1);
                   }), nullptr);
  g_signal_connect_swapped(m_printAction, "activate", G_CALLBACK(+[](ContextMenu* self) { self->m_print(); }), this);
}

ContextMenu::~ContextMenu() {
  g_signal_handlers_disconnect_by_data(m_printAction, this);
  g_object_unref(m_printAction);
  g_object_unref(m_copyLink);
}

bool ContextMenu::Keeps(WebKitContextMenuAction action) {
  switch (action) {
    // Second windows the program is never asked about, and same-view
    // openings that only repeat a click.
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_IMAGE_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_FRAME_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_VIDEO_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_AUDIO_IN_NEW_WINDOW:
    // The engine's addresses of local content are the loopback server's;
    // Copy Link Address is the view's own item instead.
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_IMAGE_URL_TO_CLIPBOARD:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_VIDEO_LINK_TO_CLIPBOARD:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_AUDIO_LINK_TO_CLIPBOARD:
    // The inspector is off for the program's view.
    case WEBKIT_CONTEXT_MENU_ACTION_INSPECT_ELEMENT:
      return false;
    default:
      return true;
  }
}

void ContextMenu::Prepare(WebKitContextMenu* menu, WebKitHitTestResult* hit) {
  // Removing moves the later items up: walk from the end.
  for (guint i = webkit_context_menu_get_n_items(menu); i-- > 0;) {
    WebKitContextMenuItem* item = webkit_context_menu_get_item_at_position(menu, i);
    if (!webkit_context_menu_item_is_separator(item) && !Keeps(webkit_context_menu_item_get_stock_action(item)))
      webkit_context_menu_remove(menu, item);
  }
  // Separators left first, last or next to each other go too.
  bool lastWasSeparator = true;
  for (guint i = 0; i < webkit_context_menu_get_n_items(menu);) {
    WebKitContextMenuItem* item = webkit_context_menu_get_item_at_position(menu, i);
    const bool separator = webkit_context_menu_item_is_separator(item);
    if (separator && lastWasSeparator) {
      webkit_context_menu_remove(menu, item);
      continue;
    }
    lastWasSeparator = separator;
    ++i;
  }
  if (const char* link = webkit_hit_test_result_context_is_link(hit) ? webkit_hit_test_result_get_link_uri(hit) : nullptr) {
    const std::string address = m_programUri(link);
    g_autoptr(GVariant) target = g_variant_ref_sink(g_variant_new_string(address.c_str()));
    webkit_context_menu_prepend(menu, webkit_context_menu_item_new_from_gaction(G_ACTION(m_copyLink),
                                                                                RuntimeText("Copy Link Address"), target));
  }
  if (webkit_context_menu_get_n_items(menu) && !lastWasSeparator)
    webkit_context_menu_append(menu, webkit_context_menu_item_new_separator());
  webkit_context_menu_append(menu, webkit_context_menu_item_new_from_gaction(G_ACTION(m_printAction), RuntimeText("Print…"), nullptr));
}
