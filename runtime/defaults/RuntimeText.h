#pragma once
// The texts the runtime shows in a view (menu items, the find bar, the error
// page, the download indicator, permission prompts) follow the user's locale
// through gettext, in a text domain of the runtime's own, as the engine's own
// menu items do. Every such text goes through RuntimeText; a text with no
// translation in the user's language is shown as written here, in English.
#include <glib.h>

inline constexpr const char kRuntimeTextDomain[] = "vellumview-runtime";

inline const char* RuntimeText(const char* english) { return g_dgettext(kRuntimeTextDomain, english); }
