#pragma once
// Checks an application's settings.json the way the program will read it,
// before the application is shipped: the file must parse with the
// program's own rules, hold an object and name a start page that exists in
// the application folder. A failure says where and why in one line.
#include <string>
#include <string_view>

#include "settings/Settings.h"

class SettingsCheck {
 public:
  // Checks the text of settings.json; `startPageExists` is asked whether
  // the named start page is a file of the application.
  template <typename StartPageExists>
  static bool Check(std::string_view text, StartPageExists startPageExists, Settings* settings, std::string* error) {
    if (!Parse(text, settings, error)) return false;
    if (settings->startPage.empty()) {
      *error = "settings.json: \"startPage\" is missing or empty";
      return false;
    }
    if (!startPageExists(settings->startPage)) {
      *error = "settings.json: the start page is not a file of the application";
      return false;
    }
    return true;
  }

  // The parse alone: JSON errors with their line and column, a top level
  // that is not an object, or text the program's reader refuses.
  static bool Parse(std::string_view text, Settings* settings, std::string* error);
};
