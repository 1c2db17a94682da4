// WindowingCore: the window table and tree. Creating a window (with its
// WM_CREATE and first WM_SIZE), destroying one with everything it owns,
// default processing, parents and owners, and the show state.
#include "platform/WindowingCore.h"

#include <algorithm>

WindowingCore::WindowingCore() : m_uiThread(std::this_thread::get_id()) {}

WindowingCore::~WindowingCore() {
  // A thread still waiting for a send must not wait for ever once nobody is
  // left to answer it.
  std::lock_guard lock(m_queueMutex);
  for (auto& pending : m_incomingSends) pending->done = true;
  m_incomingSends.clear();
  m_sendDone.notify_all();
}

void WindowingCore::SetApplicationId(std::u16string_view id) {
  m_applicationId = id;
  NativeApplicationIdChanged(id);
}

std::u16string WindowingCore::GetApplicationId() { return m_applicationId; }

WindowingCore::WindowRecord* WindowingCore::Find(HWND hwnd) {
  auto it = m_windows.find(hwnd);
  return it == m_windows.end() ? nullptr : &it->second;
}

const WindowingCore::WindowRecord* WindowingCore::Find(HWND hwnd) const {
  auto it = m_windows.find(hwnd);
  return it == m_windows.end() ? nullptr : &it->second;
}

WPARAM WindowingCore::SizeState(const WindowRecord& record) const {
  if (record.iconic) return SIZE_MINIMIZED;
  if (record.zoomed) return SIZE_MAXIMIZED;
  return SIZE_RESTORED;
}

LPARAM WindowingCore::SizeParam(const RECT& rect) {
  auto clamp = [](LONG v) { return static_cast<WORD>(std::clamp<LONG>(v, 0, 0xFFFF)); };
  return MAKELPARAM(clamp(rect.right - rect.left), clamp(rect.bottom - rect.top));
}

HWND WindowingCore::CreateWindowEx(DWORD exStyle, std::u16string_view title, DWORD style, int x,
                                   int y, int cx, int cy, HWND parent, UINT id,
                                   IWindowProcedure* procedure) {
  if (!IsUiThread()) return nullptr;
  WindowRecord record;
  record.kind = (style & WS_CHILD) ? WindowKind::Child : WindowKind::TopLevel;
  if (record.kind == WindowKind::Child && !Find(parent)) return nullptr;
  if (parent && !Find(parent)) return nullptr;
  record.procedure = procedure;
  record.style = style;
  record.exStyle = exStyle;
  record.id = id;
  record.parent = parent;
  record.text = std::u16string(title);
  if (record.kind == WindowKind::TopLevel) {
    RECT chosen = NativeDefaultRect();
    if (x == CW_USEDEFAULT) {
      x = chosen.left;
      y = chosen.top;
    }
    if (cx == CW_USEDEFAULT) {
      cx = chosen.right - chosen.left;
      cy = chosen.bottom - chosen.top;
    }
  } else {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (cx == CW_USEDEFAULT) cx = cy = 0;
  }
  record.rect = RECT{x, y, x + std::max(cx, 0), y + std::max(cy, 0)};
  if (record.kind == WindowKind::TopLevel) {
    record.windowMenu = {{static_cast<UINT>(SC_RESTORE), u"元のサイズに戻す(&R)"},
                         {static_cast<UINT>(SC_MINIMIZE), u"最小化(&N)"},
                         {static_cast<UINT>(SC_MAXIMIZE), u"最大化(&X)"},
                         {static_cast<UINT>(SC_CLOSE), u"閉じる(&C)"}};
  }
  HWND hwnd = NativeCreateWindow(record);
  if (!hwnd) return nullptr;
  record.hwnd = hwnd;
  m_windows[hwnd] = record;
  if (record.kind == WindowKind::Child) Find(parent)->children.push_back(hwnd);

  if (SendMessage(hwnd, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  WindowRecord* created = Find(hwnd);
  if (!created) return nullptr;
  if (created->style & WS_VISIBLE) NativeShowWindow(hwnd, SW_SHOWNOACTIVATE);
  SendMessage(hwnd, WM_SIZE, SizeState(*created), SizeParam(created->rect));
  return Find(hwnd) ? hwnd : nullptr;
}

void WindowingCore::CollectSubtree(HWND hwnd, std::vector<HWND>& out) const {
  const WindowRecord* record = Find(hwnd);
  if (!record) return;
  out.push_back(hwnd);
  for (HWND child : record->children) CollectSubtree(child, out);
}

BOOL WindowingCore::DestroyWindow(HWND hwnd) {
  WindowRecord* record = Find(hwnd);
  if (!record || record->destroying || !IsUiThread()) return FALSE;
  std::vector<HWND> subtree;
  CollectSubtree(hwnd, subtree);
  // Windows owned by this one (its dialogs) go with it, as a dialog must
  // not outlive the window it belongs to.
  for (const auto& [other, otherRecord] : m_windows) {
    if (otherRecord.kind != WindowKind::Child && otherRecord.kind != WindowKind::Control &&
        otherRecord.parent == hwnd && other != hwnd) {
      if (std::find(subtree.begin(), subtree.end(), other) == subtree.end())
        CollectSubtree(other, subtree);
    }
  }
  for (HWND h : subtree) Find(h)->destroying = true;
  for (HWND h : subtree) {
    WindowRecord* r = Find(h);
    if (r && r->kind == WindowKind::Dialog && !r->dialogEnded) {
      r->dialogEnded = true;
      r->dialogResult = IDCANCEL;
    }
  }
  // Controls have no procedure of the program's to tell; they simply go.
  auto hasProcedure = [&](HWND h) {
    const WindowRecord* r = Find(h);
    return r && r->kind != WindowKind::Control;
  };
  for (HWND h : subtree)
    if (hasProcedure(h)) CallProcedure(h, WM_DESTROY, 0, 0);
  for (auto it = subtree.rbegin(); it != subtree.rend(); ++it)
    if (hasProcedure(*it)) CallProcedure(*it, WM_NCDESTROY, 0, 0);

  std::vector<HWND> nativeRoots;
  for (HWND h : subtree) {
    WindowRecord* r = Find(h);
    if (!r) continue;
    const bool parentGoesToo =
        (r->kind == WindowKind::Child || r->kind == WindowKind::Control) &&
        std::find(subtree.begin(), subtree.end(), r->parent) != subtree.end();
    if (!parentGoesToo) nativeRoots.push_back(h);
  }
  for (HWND h : subtree) {
    WindowRecord* r = Find(h);
    if (!r) continue;
    if (WindowRecord* p = Find(r->parent)) std::erase(p->children, h);
    if (m_focus == h) m_focus = nullptr;
    if (m_active == h) m_active = nullptr;
    m_windows.erase(h);
  }
  for (HWND h : nativeRoots) NativeDestroyWindow(h);
  // Posted messages for windows that no longer exist would reach whatever
  // later reuses the handle; drop them.
  {
    std::lock_guard lock(m_queueMutex);
    std::erase_if(m_queue, [&](const MSG& m) {
      return m.hwnd && std::find(subtree.begin(), subtree.end(), m.hwnd) != subtree.end();
    });
  }
  return TRUE;
}

BOOL WindowingCore::IsWindow(HWND hwnd) { return hwnd && Find(hwnd) != nullptr; }

LRESULT WindowingCore::DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* record = Find(hwnd);
  if (!record) return 0;
  switch (message) {
    case WM_CLOSE:
      if (record->kind == WindowKind::Dialog) {
        SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      } else {
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          SendMessage(hwnd, WM_CLOSE, 0, 0);
          return 0;
        case SC_MINIMIZE:
          ShowWindow(hwnd, SW_MINIMIZE);
          return 0;
        case SC_MAXIMIZE:
          ShowWindow(hwnd, SW_MAXIMIZE);
          return 0;
        case SC_RESTORE:
          ShowWindow(hwnd, SW_RESTORE);
          return 0;
        case SC_KEYMENU:
          ShowWindowMenu(hwnd, 0, 0);
          return 0;
      }
      return 0;
    case WM_INITDIALOG:
      return TRUE;
  }
  return 0;
}

HWND WindowingCore::GetParent(HWND hwnd) {
  const WindowRecord* record = Find(hwnd);
  return record ? record->parent : nullptr;
}

HWND WindowingCore::GetWindow(HWND hwnd, UINT relation) {
  const WindowRecord* record = Find(hwnd);
  if (!record || relation != GW_OWNER) return nullptr;
  if (record->kind == WindowKind::Child || record->kind == WindowKind::Control) return nullptr;
  return record->parent;
}

BOOL WindowingCore::ShowWindow(HWND hwnd, int command) {
  WindowRecord* record = Find(hwnd);
  if (!record) return FALSE;
  const BOOL wasVisible = (record->style & WS_VISIBLE) != 0;
  const bool wasIconic = record->iconic;
  if (command == SW_HIDE) {
    record->style &= ~WS_VISIBLE;
  } else {
    record->style |= WS_VISIBLE;
    if (command == SW_MAXIMIZE) {
      record->zoomed = true;
      record->iconic = false;
    } else if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED) {
      record->iconic = true;
    } else if (command == SW_RESTORE) {
      if (record->iconic)
        record->iconic = false;
      else
        record->zoomed = false;
    }
    if (record->kind == WindowKind::TopLevel && command != SW_SHOWNOACTIVATE &&
        command != SW_MINIMIZE && command != SW_SHOWMINIMIZED)
      m_active = hwnd;
  }
  NativeShowWindow(hwnd, command);
  // Leaving the minimised state gives the window its size back; the frame
  // lays itself out again, as it skipped that while minimised.
  if (WindowRecord* after = Find(hwnd); after && after->iconic != wasIconic)
    SendMessage(hwnd, WM_SIZE, SizeState(*after), SizeParam(after->rect));
  return wasVisible;
}

BOOL WindowingCore::IsWindowVisible(HWND hwnd) {
  const WindowRecord* record = Find(hwnd);
  while (record) {
    if (!(record->style & WS_VISIBLE)) return FALSE;
    if (record->kind != WindowKind::Child && record->kind != WindowKind::Control) return TRUE;
    record = Find(record->parent);
  }
  return FALSE;
}

BOOL WindowingCore::IsIconic(HWND hwnd) {
  const WindowRecord* record = Find(hwnd);
  return record && record->iconic;
}

BOOL WindowingCore::IsZoomed(HWND hwnd) {
  const WindowRecord* record = Find(hwnd);
  return record && record->zoomed;
}
