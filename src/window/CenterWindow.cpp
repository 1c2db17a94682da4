#include "window/CenterWindow.h"

#include "platform/IWindowing.h"
#include "platform/Platform.h"

BOOL CenterWindow(HWND window, HWND center) {
  IWindowing& w = Platform::Windowing();
  if (!w.IsWindow(window)) return FALSE;
  const bool isChild = (static_cast<DWORD>(w.GetWindowLong(window, GWL_STYLE)) & WS_CHILD) != 0;
  if (!center) center = isChild ? w.GetParent(window) : w.GetWindow(window, GW_OWNER);

  RECT rcWindow{};
  w.GetWindowRect(window, &rcWindow);
  RECT rcArea{};
  RECT rcCenter{};
  if (!isChild) {
    // A centre window the user cannot see gives no sensible place to centre
    // on; the work area of the monitor then takes its role.
    if (center && (!w.IsWindowVisible(center) || w.IsIconic(center))) center = nullptr;
    MONITORINFO info{};
    if (!w.GetMonitorInfo(center ? center : window, &info)) return FALSE;
    rcArea = info.rcWork;
    if (center)
      w.GetWindowRect(center, &rcCenter);
    else
      rcCenter = rcArea;
  } else {
    HWND parent = w.GetParent(window);
    if (!parent) return FALSE;
    w.GetClientRect(parent, &rcArea);
    if (!center || center == parent) {
      rcCenter = rcArea;
    } else {
      w.GetWindowRect(center, &rcCenter);
      POINT topLeft{rcCenter.left, rcCenter.top};
      POINT bottomRight{rcCenter.right, rcCenter.bottom};
      w.ScreenToClient(parent, &topLeft);
      w.ScreenToClient(parent, &bottomRight);
      rcCenter = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    }
  }

  const int width = rcWindow.right - rcWindow.left;
  const int height = rcWindow.bottom - rcWindow.top;
  int left = (rcCenter.left + rcCenter.right) / 2 - width / 2;
  int top = (rcCenter.top + rcCenter.bottom) / 2 - height / 2;
  // Right and bottom edges first, then left and top, so that a window larger
  // than the area keeps its top-left corner (and with it its caption) inside.
  if (left + width > rcArea.right) left = rcArea.right - width;
  if (top + height > rcArea.bottom) top = rcArea.bottom - height;
  if (left < rcArea.left) left = rcArea.left;
  if (top < rcArea.top) top = rcArea.top;
  return w.SetWindowPos(window, nullptr, left, top, -1, -1,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
