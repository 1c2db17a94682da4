#include "platform/WindowingCore.h"

#include <algorithm>
#include <cstdio>

#include "util/Strings.h"

namespace {
LPARAM SizeParam(const RECT& rect) {
  auto clamp = [](LONG v) { return static_cast<WORD>(std::clamp<LONG>(v, 0, 0xFFFF)); };
  return MAKELPARAM(clamp(rect.right - rect.left), clamp(rect.bottom - rect.top));
}

bool SameSize(const RECT& a, const RECT& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}
}  // namespace

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

std::vector<HWND> WindowingCore::AllWindows() const {
  std::vector<HWND> all;
  for (const auto& [hwnd, record] : m_windows) all.push_back(hwnd);
  return all;
}

WPARAM WindowingCore::SizeState(const WindowRecord& record) const {
  if (record.iconic) return SIZE_MINIMIZED;
  if (record.zoomed) return SIZE_MAXIMIZED;
  return SIZE_RESTORED;
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

BOOL WindowingCore::SetWindowText(HWND hwnd, std::u16string_view text) {
  WindowRecord* record = Find(hwnd);
  if (!record) return FALSE;
  record->text = std::u16string(text);
  NativeSetText(hwnd, text);
  return TRUE;
}

std::u16string WindowingCore::GetWindowText(HWND hwnd) {
  const WindowRecord* record = Find(hwnd);
  return record ? record->text : std::u16string();
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

HWND WindowingCore::GetDlgItem(HWND dialog, int id) {
  const WindowRecord* record = Find(dialog);
  if (!record) return nullptr;
  for (HWND child : record->children) {
    const WindowRecord* c = Find(child);
    if (c && static_cast<int>(c->id) == id) return child;
  }
  return nullptr;
}

BOOL WindowingCore::MessageBeep(UINT) {
  NativeBeep();
  return TRUE;
}

// --- Messages -------------------------------------------------------------------

LRESULT WindowingCore::CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* record = Find(hwnd);
  if (!record) return 0;
  if (record->kind == WindowKind::Control)
    return NativeControlMessage(hwnd, message, wParam, lParam);
  if (!record->procedure) return DefWindowProc(hwnd, message, wParam, lParam);
  return record->procedure->WindowProc(hwnd, message, wParam, lParam);
}

LRESULT WindowingCore::SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsUiThread()) return CallProcedure(hwnd, message, wParam, lParam);
  auto pending = std::make_shared<PendingSend>();
  pending->msg = MSG{hwnd, message, wParam, lParam};
  std::unique_lock lock(m_queueMutex);
  m_incomingSends.push_back(pending);
  lock.unlock();
  WakeUp();
  lock.lock();
  m_sendDone.wait(lock, [&] { return pending->done; });
  return pending->result;
}

bool WindowingCore::ProcessIncomingSends() {
  bool any = false;
  for (;;) {
    std::shared_ptr<PendingSend> pending;
    {
      std::lock_guard lock(m_queueMutex);
      if (m_incomingSends.empty()) break;
      pending = m_incomingSends.front();
      m_incomingSends.pop_front();
    }
    any = true;
    const LRESULT result =
        CallProcedure(pending->msg.hwnd, pending->msg.message, pending->msg.wParam, pending->msg.lParam);
    std::lock_guard lock(m_queueMutex);
    pending->result = result;
    pending->done = true;
    m_sendDone.notify_all();
  }
  return any;
}

BOOL WindowingCore::PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard lock(m_queueMutex);
    m_queue.push_back(MSG{hwnd, message, wParam, lParam});
  }
  if (!IsUiThread()) WakeUp();
  return TRUE;
}

void WindowingCore::PostQuitMessage(int exitCode) {
  {
    std::lock_guard lock(m_queueMutex);
    m_quitPending = true;
    m_quitCode = exitCode;
  }
  if (!IsUiThread()) WakeUp();
}

bool WindowingCore::TakeQueued(MSG* msg, bool remove) {
  std::lock_guard lock(m_queueMutex);
  if (!m_queue.empty()) {
    *msg = m_queue.front();
    if (remove) m_queue.pop_front();
    return true;
  }
  if (m_quitPending) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(static_cast<INT_PTR>(m_quitCode)), 0};
    if (remove) m_quitPending = false;
    return true;
  }
  return false;
}

BOOL WindowingCore::PeekMessage(MSG* msg, HWND, UINT, UINT, UINT remove) {
  if (!msg) return FALSE;
  ProcessIncomingSends();
  if (TakeQueued(msg, (remove & PM_REMOVE) != 0)) return TRUE;
  PumpNative();
  ProcessIncomingSends();
  return TakeQueued(msg, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WindowingCore::GetMessage(MSG* msg, HWND, UINT, UINT) {
  if (!msg) return -1;
  for (;;) {
    ProcessIncomingSends();
    if (TakeQueued(msg, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
    WaitForWork();
  }
}

BOOL WindowingCore::TranslateMessage(const MSG*) { return FALSE; }

LRESULT WindowingCore::DispatchMessage(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  return CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// --- Dialogs ----------------------------------------------------------------------

std::string WindowingCore::MessageBoxLogLine(std::u16string_view text) {
  std::u16string flat;
  for (char16_t c : text) {
    if (c == u'\r') continue;
    flat.push_back(c == u'\n' ? u' ' : c);
  }
  while (!flat.empty() && flat.back() == u' ') flat.pop_back();
  return "vellumview: " + WideToUtf8(flat);
}

void WindowingCore::WriteErrorLine(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  std::fflush(stderr);
}

int WindowingCore::MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                              UINT type) {
  WriteErrorLine(MessageBoxLogLine(text));
  return NativeMessageBox(Find(owner) ? owner : nullptr, text, caption, type);
}

INT_PTR WindowingCore::DialogBox(const DialogTemplate& dialogTemplate, HWND owner,
                                 IWindowProcedure* procedure) {
  if (!IsUiThread() || !procedure) return -1;
  if (owner && !Find(owner)) owner = nullptr;
  NativeDialog native = NativeCreateDialog(dialogTemplate, owner);
  if (!native.hwnd) return -1;
  WindowRecord record;
  record.hwnd = native.hwnd;
  record.kind = WindowKind::Dialog;
  record.procedure = procedure;
  record.style = dialogTemplate.style & ~WS_VISIBLE;
  record.parent = owner;
  record.text = dialogTemplate.caption;
  record.rect = native.rect;
  m_windows[native.hwnd] = record;
  for (const auto& [id, item] : native.items) {
    WindowRecord control;
    control.hwnd = item;
    control.kind = WindowKind::Control;
    control.style = WS_CHILD | WS_VISIBLE;
    control.id = static_cast<UINT>(id);
    control.parent = native.hwnd;
    m_windows[item] = control;
    Find(native.hwnd)->children.push_back(item);
  }
  const HWND dialog = native.hwnd;
  m_modalDialogs.push_back(dialog);

  SendMessage(dialog, WM_INITDIALOG, 0, 0);
  std::optional<int> quitCode;
  if (WindowRecord* r = Find(dialog); r && !r->dialogEnded) {
    r->style |= WS_VISIBLE;
    NativeShowDialog(dialog, owner);
    quitCode = RunModalLoop([this, dialog] {
      const WindowRecord* record = Find(dialog);
      return !record || record->dialogEnded;
    });
  }
  INT_PTR result = IDCANCEL;
  if (WindowRecord* r = Find(dialog)) {
    result = r->dialogEnded ? r->dialogResult : IDCANCEL;
    DestroyWindow(dialog);
  }
  std::erase(m_modalDialogs, dialog);
  if (quitCode) PostQuitMessage(*quitCode);
  return result;
}

std::optional<int> WindowingCore::RunModalLoop(const std::function<bool()>& done) {
  MSG msg;
  while (!done()) {
    const BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(static_cast<INT_PTR>(msg.wParam));
    if (got == -1) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return std::nullopt;
}

BOOL WindowingCore::EndDialog(HWND dialog, INT_PTR result) {
  WindowRecord* record = Find(dialog);
  if (!record || record->kind != WindowKind::Dialog) return FALSE;
  if (record->dialogEnded) return TRUE;
  record->dialogEnded = true;
  record->dialogResult = result;
  record->style &= ~WS_VISIBLE;
  NativeHideDialog(dialog);
  // The modal loop may be waiting for a message; give it one so it notices.
  PostMessage(nullptr, WM_NULL, 0, 0);
  return TRUE;
}

// --- Controls ------------------------------------------------------------------------

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

int WindowingCore::GetWindowMenuItemCount(HWND hwnd) {
  const WindowRecord* record = Find(hwnd);
  return record ? static_cast<int>(record->windowMenu.size()) : -1;
}

BOOL WindowingCore::ShowWindowMenu(HWND hwnd, int x, int y) {
  const WindowRecord* record = Find(hwnd);
  if (!record || record->kind != WindowKind::TopLevel) return FALSE;
  return NativeShowWindowMenu(hwnd, x, y) ? TRUE : FALSE;
}

// --- Backend notifications ---------------------------------------------------------

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
