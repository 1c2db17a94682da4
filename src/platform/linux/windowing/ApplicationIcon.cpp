#include "platform/linux/windowing/ApplicationIcon.h"

#include <gtk/gtk.h>
#include <string>

#include "platform/DialogTemplate.h"
#include "util/Strings.h"

const char* ApplicationIconName() {
  GtkIconTheme* theme = gtk_icon_theme_get_default();
  const std::string own = WideToUtf8(kApplicationIconName);
  static std::string chosen;
  if (theme && gtk_icon_theme_has_icon(theme, own.c_str()))
    chosen = own;
  else
    chosen = "web-browser";
  return chosen.c_str();
}
