#include "window/FrameWindowImpl.h"

#include "platform/IWindowing.h"
#include "platform/Platform.h"

HWND CFrameWindowImpl::CreateEx(HWND parent, const RECT* rect, DWORD style, DWORD exStyle) {
  if (style == 0) style = kFrameStyle;
  if (exStyle == 0) exStyle = kFrameExStyle;
  return Create(parent, rect, FrameCaption(), style, exStyle, 0);
}

HWND CFrameWindowImpl::CreateSimpleToolBarCtrl(std::span<const ToolBarButton> buttons, UINT id) {
  return Platform::Windowing().CreateToolBar(m_hWnd, id, buttons);
}

void CFrameWindowImpl::UpdateLayout(BOOL resizeBars) {
  IWindowing& windowing = Platform::Windowing();
  RECT rect{};
  GetClientRect(&rect);
  if (m_hWndToolBar &&
      (static_cast<DWORD>(windowing.GetWindowLong(m_hWndToolBar, GWL_STYLE)) & WS_VISIBLE)) {
    if (resizeBars) {
      windowing.SendMessage(m_hWndToolBar, WM_SIZE, 0, 0);
      windowing.InvalidateRect(m_hWndToolBar, nullptr, TRUE);
    }
    RECT bar{};
    windowing.GetWindowRect(m_hWndToolBar, &bar);
    rect.top += bar.bottom - bar.top;
  }
  if (m_hWndClient) {
    windowing.SetWindowPos(m_hWndClient, nullptr, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool CFrameWindowImpl::ProcessFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT& result) {
  IWindowing& windowing = Platform::Windowing();
  switch (message) {
    case WM_DESTROY: {
      // The top-level frame's end is the program's end; a frame made as a
      // child or pop-up window would not end the loop.
      const DWORD style = static_cast<DWORD>(windowing.GetWindowLong(hwnd, GWL_STYLE));
      if (!(style & (WS_CHILD | WS_POPUP))) windowing.PostQuitMessage(1);
      return false;
    }
    case WM_SIZE:
      // A minimised frame keeps its layout; the view is not squeezed to
      // nothing and restored again.
      if (wParam != SIZE_MINIMIZED) UpdateLayout(TRUE);
      result = 0;
      return false;
    case WM_ERASEBKGND:
      if (m_hWndClient) {
        result = 1;
        return true;
      }
      return false;
    case WM_SETFOCUS:
      if (m_hWndClient && windowing.IsWindow(m_hWndClient)) windowing.SetFocus(m_hWndClient);
      result = 0;
      return true;
  }
  return false;
}
