#include "platform/linux/windowing/GtkWindowMenu.h"

#include "platform/MnemonicLabel.h"
#include "platform/linux/windowing/NativeWindow.h"
#include "util/Strings.h"

GtkWidget* GtkWindowMenu::Build(GtkWidget* window,
                                const std::vector<std::pair<UINT, std::u16string>>& items, bool zoomed,
                                bool iconic) {
  GtkWidget* menu = gtk_menu_new();
  for (const auto& [id, text] : items) {
    GtkWidget* item = nullptr;
    if (id == 0) {
      item = gtk_separator_menu_item_new();
    } else {
      const std::string label = WideToUtf8(MnemonicLabel(text));
      item = gtk_menu_item_new_with_mnemonic(label.c_str());
      SetCommand(item, id);
      // Restoring a normal window, maximising a maximised one or minimising
      // a minimised one would do nothing, so those items are greyed.
      const bool normal = !zoomed && !iconic;
      if ((id == SC_RESTORE && normal) || (id == SC_MAXIMIZE && zoomed) || (id == SC_MINIMIZE && iconic))
        gtk_widget_set_sensitive(item, FALSE);
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  }
  gtk_widget_show_all(menu);
  gtk_menu_attach_to_widget(GTK_MENU(menu), window, nullptr);
  return menu;
}

bool GtkWindowMenu::Popup(GtkWidget* menu, GtkWidget* window, int x, int y, const GdkEvent* trigger) {
  // The client area starts at the window's own origin, so client
  // coordinates are coordinates in the window's surface.
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  if (!gdkWindow) return false;
  GdkRectangle anchor{x, y, 1, 1};
  gtk_menu_popup_at_rect(GTK_MENU(menu), gdkWindow, &anchor, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST,
                         trigger);
  gtk_menu_shell_select_first(GTK_MENU_SHELL(menu), FALSE);
  return true;
}
