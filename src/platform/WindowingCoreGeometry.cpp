// WindowingCore: what a window shows and where: its text, position and
// size, its rectangles in screen and client coordinates, its styles, the
// focus and the active window, its monitor; and the changes of size, state
// and activation that a backend reports.
#include "platform/WindowingCore.h"

#include <algorithm>

namespace {
bool SameSize(const RECT& a, const RECT& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}
}  // namespace

BOOL WindowingCore::SetWindowText(HWND hwnd, std::u16string_view text) {
  WindowRecord* record = Find(hwnd);
  if (!record) return FALSE;
  record->text = std::u16string(text);
  NativeSetText(hwnd, text);
  return TRUE;
}

BOOL WindowingCore::SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                                 UINT flags) {
  WindowRecord* record = Find(hwnd);
  if (!record) return FALSE;
  RECT rect = record->rect;
  const bool move = !(flags & SWP_NOMOVE);
  const bool size = !(flags & SWP_NOSIZE);
  if (move) {
    const LONG w = rect.right - rect.left, h = rect.bottom - rect.top;
    rect = RECT{x, y, x + w, y + h};
  }
  if (size) {
    rect.right = rect.left + std::max(cx, 0);
    rect.bottom = rect.top + std::max(cy, 0);
  }
  const bool moved = rect.left != record->rect.left || rect.top != record->rect.top;
  const bool sized = !SameSize(rect, record->rect);
  record->rect = rect;
  if (moved || sized) NativeSetPos(hwnd, rect, moved, sized);
  if (flags & SWP_FRAMECHANGED) NativeStyleChanged(hwnd, record->style, record->style);
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  if (sized) {
    if (WindowRecord* now = Find(hwnd)) SendMessage(hwnd, WM_SIZE, SizeState(*now), SizeParam(now->rect));
  }
  return TRUE;
}

BOOL WindowingCore::GetClientRect(HWND hwnd, RECT* rect) {
  const WindowRecord* record = Find(hwnd);
  if (!record || !rect) return FALSE;
  *rect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
  return TRUE;
}

POINT WindowingCore::ClientOriginOnScreen(HWND hwnd) const {
  POINT origin{};
  const WindowRecord* record = Find(hwnd);
  while (record) {
    origin.x += record->rect.left;
    origin.y += record->rect.top;
    if (record->kind != WindowKind::Child && record->kind != WindowKind::Control) break;
    record = Find(record->parent);
  }
  return origin;
}

BOOL WindowingCore::GetWindowRect(HWND hwnd, RECT* rect) {
  const WindowRecord* record = Find(hwnd);
  if (!record || !rect) return FALSE;
  const POINT origin = ClientOriginOnScreen(hwnd);
  *rect = RECT{origin.x, origin.y, origin.x + (record->rect.right - record->rect.left),
               origin.y + (record->rect.bottom - record->rect.top)};
  return TRUE;
}

BOOL WindowingCore::ScreenToClient(HWND hwnd, POINT* point) {
  if (!Find(hwnd) || !point) return FALSE;
  const POINT origin = ClientOriginOnScreen(hwnd);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

LONG WindowingCore::GetWindowLong(HWND hwnd, int index) {
  const WindowRecord* record = Find(hwnd);
  if (!record) return 0;
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG>(record->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(record->exStyle);
    case GWL_ID:
      return static_cast<LONG>(record->id);
  }
  return 0;
}

LONG WindowingCore::SetWindowLong(HWND hwnd, int index, LONG value) {
  WindowRecord* record = Find(hwnd);
  if (!record) return 0;
  switch (index) {
    case GWL_STYLE: {
      const DWORD old = record->style;
      // Visibility and the child bit are not changed through the style; they
      // follow ShowWindow and creation.
      const DWORD fixed = WS_VISIBLE | WS_CHILD;
      record->style = (static_cast<DWORD>(value) & ~fixed) | (old & fixed);
      NativeStyleChanged(hwnd, old, record->style);
      return static_cast<LONG>(old);
    }
    case GWL_EXSTYLE: {
      const DWORD old = record->exStyle;
      record->exStyle = static_cast<DWORD>(value);
      return static_cast<LONG>(old);
    }
    case GWL_ID: {
      const UINT old = record->id;
      record->id = static_cast<UINT>(value);
      return static_cast<LONG>(old);
    }
  }
  return 0;
}

HWND WindowingCore::SetFocus(HWND hwnd) {
  const HWND previous = m_focus;
  if (!Find(hwnd)) return nullptr;
  m_focus = hwnd;
  NativeSetFocus(hwnd);
  if (previous != hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

HWND WindowingCore::GetFocus() { return m_focus; }

HWND WindowingCore::GetActiveWindow() {
  for (auto it = m_modalDialogs.rbegin(); it != m_modalDialogs.rend(); ++it)
    if (Find(*it)) return *it;
  if (m_active && IsWindowVisible(m_active)) return m_active;
  return nullptr;
}

void WindowingCore::NativeActivated(HWND hwnd) {
  if (const WindowRecord* record = Find(hwnd); record && record->kind == WindowKind::TopLevel)
    m_active = hwnd;
}

BOOL WindowingCore::GetMonitorInfo(HWND nearWindow, MONITORINFO* info) {
  if (!info) return FALSE;
  return NativeGetMonitorInfo(Find(nearWindow) ? nearWindow : nullptr, info) ? TRUE : FALSE;
}

BOOL WindowingCore::InvalidateRect(HWND hwnd, const RECT*, BOOL) {
  if (!Find(hwnd)) return FALSE;
  NativeInvalidate(hwnd);
  return TRUE;
}

void WindowingCore::NativeResized(HWND hwnd, const RECT& rect, bool send) {
  WindowRecord* record = Find(hwnd);
  if (!record) return;
  const bool sized = !SameSize(rect, record->rect);
  record->rect = rect;
  // Controls size themselves; only windows with a procedure hear of it.
  if (!sized || record->kind == WindowKind::Control) return;
  if (send)
    SendMessage(hwnd, WM_SIZE, SizeState(*record), SizeParam(rect));
  else
    PostMessage(hwnd, WM_SIZE, SizeState(*record), SizeParam(rect));
}

void WindowingCore::NativeStateChanged(HWND hwnd, bool zoomed, bool iconic) {
  WindowRecord* record = Find(hwnd);
  if (!record) return;
  const bool changed = record->zoomed != zoomed || record->iconic != iconic;
  record->zoomed = zoomed;
  record->iconic = iconic;
  if (changed) PostMessage(hwnd, WM_SIZE, SizeState(*record), SizeParam(record->rect));
}
