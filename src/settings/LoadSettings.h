#pragma once
// Reads settings.json from the working directory into the Settings record.
#include <string_view>

#include "com/Types.h"
#include "settings/Settings.h"

// The name of the settings file; it has no folder part, so it names a file
// in the working directory.
inline constexpr const char16_t* kSettingsFileName = u"settings.json";

// Fills `settings` from settings.json. Returns the read failure unchanged,
// E_FAIL when the text is not valid JSON, and S_OK otherwise, also when the
// root is not an object. Lists are appended to, so it runs once per record.
HRESULT LoadSettings(Settings& settings);

// Everything LoadSettings does after the file has been read: parses `text`
// as JSON and applies the keys it knows to `settings`.
HRESULT ApplySettingsText(std::string_view text, Settings& settings);
