#pragma once
// The view's context menu: the engine's own, with the items that make sense
// in the one kiosk view. Back, Forward, Reload, Stop; Cut, Copy, Paste and
// Select All where they apply, with spelling and input items in editable
// text; on a link Copy Link Address (the address the program sees, a local
// file as its file:// address, never the loopback server's), open in new
// window (the engine asks the program, which keeps it in the one view) and
// download (the program decides, as for any download); on an image Copy
// Image and Save Image As; media controls on media; and Print. Items that
// would open a second window the program is never asked about, copy an
// internal address, or open the inspector are left out. A page that handles
// `contextmenu` itself keeps it: the engine raises no menu then.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <string>

class ContextMenu {
 public:
  using AddressMap = std::function<std::string(const char* engineUri)>;

  ContextMenu(AddressMap programUri, std::function<void()> print);
  ContextMenu(const ContextMenu&) = delete;
  ContextMenu& operator=(const ContextMenu&) = delete;
  ~ContextMenu();

  // Whether the engine's item for `action` stays in the menu.
  static bool Keeps(WebKitContextMenuAction action);

  // Trims the engine's `menu` for what the pointer is over, and adds the
  // view's own items.
  void Prepare(WebKitContextMenu* menu, WebKitHitTestResult* hit);

 private:
  AddressMap m_programUri;
  std::function<void()> m_print;
  GSimpleAction* m_copyLink;  // owned
  GSimpleAction* m_printAction;  // owned
};
