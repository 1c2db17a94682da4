#include "window/CWindowImplBase.h"

#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "window/CenterWindow.h"

CWindowImplBase::~CWindowImplBase() {
  m_objectDying = true;
  if (m_hWnd) {
    HWND hwnd = m_hWnd;
    Platform::Windowing().DestroyWindow(hwnd);
    m_hWnd = nullptr;
  }
}

HWND CWindowImplBase::Create(HWND parent, const RECT* rect, std::u16string_view title,
                             DWORD style, DWORD exStyle, UINT id) {
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
  if (rect) {
    x = rect->left;
    y = rect->top;
    cx = rect->right - rect->left;
    cy = rect->bottom - rect->top;
  } else if (style & WS_CHILD) {
    x = y = cx = cy = 0;
  }
  HWND hwnd = Platform::Windowing().CreateWindowEx(exStyle, title, style, x, y, cx, cy, parent,
                                                   id, this);
  // WM_CREATE has already set m_hWnd; a failed creation leaves it null.
  if (!hwnd) m_hWnd = nullptr;
  return hwnd;
}

LRESULT CWindowImplBase::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd && message != WM_NCDESTROY) m_hWnd = hwnd;
  LRESULT result = 0;
  bool handled = false;
  if (!m_objectDying) handled = ProcessWindowMessage(hwnd, message, wParam, lParam, result);
  if (!handled) result = Platform::Windowing().DefWindowProc(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY && m_hWnd == hwnd) {
    m_hWnd = nullptr;
    if (!m_objectDying) OnFinalMessage(hwnd);
  }
  return result;
}

BOOL CWindowImplBase::IsWindow() const { return m_hWnd && Platform::Windowing().IsWindow(m_hWnd); }
BOOL CWindowImplBase::DestroyWindow() { return Platform::Windowing().DestroyWindow(m_hWnd); }
BOOL CWindowImplBase::ShowWindow(int command) {
  return Platform::Windowing().ShowWindow(m_hWnd, command);
}
BOOL CWindowImplBase::SetWindowText(std::u16string_view text) {
  return Platform::Windowing().SetWindowText(m_hWnd, text);
}
BOOL CWindowImplBase::GetClientRect(RECT* rect) const {
  return Platform::Windowing().GetClientRect(m_hWnd, rect);
}
BOOL CWindowImplBase::GetWindowRect(RECT* rect) const {
  return Platform::Windowing().GetWindowRect(m_hWnd, rect);
}
BOOL CWindowImplBase::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  return Platform::Windowing().SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}
LRESULT CWindowImplBase::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Platform::Windowing().SendMessage(m_hWnd, message, wParam, lParam);
}
BOOL CWindowImplBase::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Platform::Windowing().PostMessage(m_hWnd, message, wParam, lParam);
}
LONG CWindowImplBase::GetWindowLong(int index) const {
  return Platform::Windowing().GetWindowLong(m_hWnd, index);
}
LONG CWindowImplBase::SetWindowLong(int index, LONG value) {
  return Platform::Windowing().SetWindowLong(m_hWnd, index, value);
}
HWND CWindowImplBase::GetParent() const { return Platform::Windowing().GetParent(m_hWnd); }
HWND CWindowImplBase::SetFocus() { return Platform::Windowing().SetFocus(m_hWnd); }
int CWindowImplBase::MessageBox(std::u16string_view text, std::u16string_view caption, UINT type) {
  return Platform::Windowing().MessageBox(m_hWnd, text, caption, type);
}
BOOL CWindowImplBase::CenterWindow(HWND center) { return ::CenterWindow(m_hWnd, center); }
LRESULT CWindowImplBase::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return Platform::Windowing().DefWindowProc(m_hWnd, message, wParam, lParam);
}
