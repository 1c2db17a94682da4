#pragma once
// The frame's table of user-interface states: for each listed command,
// whether it is enabled and checked, applied to the toolbars registered for
// updating when the frame is idle.
#include <vector>

#include "com/Types.h"

class CUpdateUI {
 public:
  // Where an entry's state is shown.
  static constexpr WORD UPDUI_MENUPOPUP = 0x0001;
  static constexpr WORD UPDUI_TOOLBAR = 0x0002;

  struct Entry {
    UINT id = 0;
    WORD kind = 0;
    bool enabled = true;
    bool checked = false;
  };

  explicit CUpdateUI(std::vector<Entry> entries) : m_entries(std::move(entries)) {}

  // FALSE when the table does not list the command.
  BOOL UISetCheck(UINT id, bool checked);
  // Registers a toolbar whose buttons follow the table's toolbar entries.
  BOOL UIAddToolBar(HWND toolBar);
  // Applies the toolbar entries' states to every registered toolbar.
  BOOL UIUpdateToolBar();

 private:
  std::vector<Entry> m_entries;
  std::vector<HWND> m_toolBars;
};
