#include "platform/linux/windowing/GtkToolBar.h"

#include <string>

#include "platform/linux/windowing/NativeWindow.h"
#include "util/Strings.h"

GtkWidget* GtkToolBar::Create(std::span<const ToolBarButton> buttons, int* buttonCount) {
  GtkWidget* toolBar = gtk_toolbar_new();
  gtk_toolbar_set_style(GTK_TOOLBAR(toolBar), GTK_TOOLBAR_ICONS);
  gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolBar), GTK_ICON_SIZE_LARGE_TOOLBAR);
  gtk_toolbar_set_show_arrow(GTK_TOOLBAR(toolBar), TRUE);
  GtkIconTheme* theme = gtk_icon_theme_get_default();
  int count = 0;
  for (const ToolBarButton& button : buttons) {
    GtkToolItem* item = nullptr;
    if (button.command == 0) {
      item = gtk_separator_tool_item_new();
    } else {
      const std::string label = WideToUtf8(button.label);
      const std::string icon = WideToUtf8(button.iconName);
      GtkWidget* image = nullptr;
      if (!icon.empty() && theme && gtk_icon_theme_has_icon(theme, icon.c_str()))
        image = gtk_image_new_from_icon_name(icon.c_str(), GTK_ICON_SIZE_LARGE_TOOLBAR);
      item = gtk_tool_button_new(image, label.c_str());
      if (!image) gtk_tool_item_set_is_important(item, TRUE);
      gtk_tool_item_set_tooltip_text(item, label.c_str());
      SetCommand(item, button.command);
      ++count;
    }
    gtk_toolbar_insert(GTK_TOOLBAR(toolBar), item, -1);
  }
  *buttonCount = count;
  return toolBar;
}

int GtkToolBar::FitWidth(GtkWidget* toolBar, int width) {
  gtk_widget_set_size_request(toolBar, width, -1);
  gint minimum = 0, natural = 0;
  gtk_widget_get_preferred_height(toolBar, &minimum, &natural);
  return natural;
}

void GtkToolBar::EnableButton(GtkWidget* toolBar, UINT command, bool enable) {
  GList* children = gtk_container_get_children(GTK_CONTAINER(toolBar));
  for (GList* node = children; node; node = node->next)
    if (CommandOf(node->data) == command) gtk_widget_set_sensitive(GTK_WIDGET(node->data), enable);
  g_list_free(children);
}
