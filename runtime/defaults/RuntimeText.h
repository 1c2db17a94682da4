#pragma once
// The texts the runtime shows in a view (menu items, the find bar, the error
// page, the download indicator, permission prompts) follow the user's locale
// through gettext, in a text domain of the runtime's own, as the engine's own
// menu items do. Every such text goes through RuntimeText; a text with no
// translation in the user's language is shown as written here, in English.
#include <glib.h>
#include <libintl.h>

#include <string>

inline constexpr const char kRuntimeTextDomain[] = "vellumview-runtime";

inline const char* RuntimeText(const char* english) { return g_dgettext(kRuntimeTextDomain, english); }

// Marks a text for the catalog where it is kept to be shown later; it is
// translated through RuntimeText when it is shown.
inline constexpr const char* RuntimeTextMark(const char* english) { return english; }

// The same for a text with a count: `english` for one, `englishPlural` (with
// "%u" for the count) for any other number, in the forms the language has.
inline std::string RuntimePluralText(const char* english, const char* englishPlural, unsigned count) {
  g_autofree char* text = g_strdup_printf(g_dngettext(kRuntimeTextDomain, english, englishPlural, count), count);
  return text;
}

// Points the runtime's text domain at the catalogs below `folder`
// (<folder>/<language>/LC_MESSAGES/vellumview-runtime.mo), in UTF-8.
inline void BindRuntimeTexts(const char* folder) {
  bindtextdomain(kRuntimeTextDomain, folder);
  bind_textdomain_codeset(kRuntimeTextDomain, "UTF-8");
}
