#pragma once
// A dialog described as data, the way a dialog resource describes one. The
// backend builds the native dialog from it; positions and sizes are in
// dialog units (a quarter of the average character width horizontally, an
// eighth of the character height vertically), which the backend turns into
// pixels for its own font.
#include <string>
#include <vector>

#include "com/Types.h"

// Control styles used by dialog items, with their Windows values.
inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
inline constexpr DWORD SS_ICON = 0x0003;
inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_GROUPBOX = 0x0007;
inline constexpr DWORD PBS_MARQUEE = 0x0008;

enum class DialogItemKind { Static, Icon, Button, GroupBox, ProgressBar };

struct DialogItem {
  DialogItemKind kind = DialogItemKind::Static;
  // The control identifier; -1 for items nobody addresses.
  int id = -1;
  RECT rect{};
  // Static text (lines separated by '\n'), button label (with an '&'
  // mnemonic), group box title; for an icon, the icon's name.
  std::u16string text;
  DWORD style = 0;
};

struct DialogTemplate {
  std::u16string caption;
  int width = 0;
  int height = 0;
  DWORD style = 0;
  std::vector<DialogItem> items;
};

// The name under which the application's own icon is looked up.
inline constexpr const char16_t* kApplicationIconName = u"vellumview";
