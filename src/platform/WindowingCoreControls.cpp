// WindowingCore: the toolbar control and the window menu of top-level
// windows.
#include "platform/WindowingCore.h"

HWND WindowingCore::CreateToolBar(HWND parent, UINT id, std::span<const ToolBarButton> buttons) {
  if (!Find(parent) || !IsUiThread()) return nullptr;
  RECT rect{};
  HWND hwnd = NativeCreateToolBar(parent, buttons, &rect);
  if (!hwnd) return nullptr;
  WindowRecord record;
  record.hwnd = hwnd;
  record.kind = WindowKind::Control;
  record.style = WS_CHILD | WS_VISIBLE;
  record.id = id;
  record.parent = parent;
  record.rect = rect;
  m_windows[hwnd] = record;
  Find(parent)->children.push_back(hwnd);
  return hwnd;
}

BOOL WindowingCore::AppendWindowMenuItem(HWND hwnd, UINT id, std::u16string_view text) {
  WindowRecord* record = Find(hwnd);
  if (!record || record->kind != WindowKind::TopLevel) return FALSE;
  record->windowMenu.emplace_back(id, id == 0 ? std::u16string() : std::u16string(text));
  NativeWindowMenuChanged(hwnd);
  return TRUE;
}

BOOL WindowingCore::ShowWindowMenu(HWND hwnd, int x, int y) {
  const WindowRecord* record = Find(hwnd);
  if (!record || record->kind != WindowKind::TopLevel) return FALSE;
  return NativeShowWindowMenu(hwnd, x, y) ? TRUE : FALSE;
}
