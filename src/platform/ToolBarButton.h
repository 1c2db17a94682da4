#pragma once
// One button of a toolbar as the program describes it to the platform.
#include <string>

#include "com/Types.h"

struct ToolBarButton {
  // The command sent to the toolbar's parent as WM_COMMAND when the button is
  // clicked; 0 makes a separator.
  UINT command = 0;
  // A themed icon name ("go-previous"); the backend falls back to the label
  // when the theme lacks it.
  std::u16string iconName;
  // The short text shown as the tool tip and in the overflow menu.
  std::u16string label;
};
