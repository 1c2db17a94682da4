#pragma once
// The values read from settings.json, owned by the main frame for the whole
// run and read by start-up, the frame, the web view host and the file
// operations. Every list and string starts empty.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/OpenByEntry.h"
#include "settings/SaveAsEntry.h"

struct Settings {
  std::u16string title;
  std::vector<std::u16string> shellExecuteExt;
  std::vector<SaveAsEntry> saveAsExt;
  std::vector<OpenByEntry> openBy;
  std::u16string browserID;
  std::u16string startPage;
  // 1 hides the toolbar. It starts at 0 (toolbar shown) so a file that says
  // nothing about it gives the ordinary window.
  std::int32_t toolBar = 0;
};
