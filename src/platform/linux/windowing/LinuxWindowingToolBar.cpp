// LinuxWindowing: the frame's toolbar, put into its parent's client area
// and kept as wide as that area, and the messages the program sends it.
#include "platform/linux/windowing/LinuxWindowing.h"

#include <gtk/gtk.h>
#include <algorithm>
#include <string>

#include "platform/linux/windowing/GtkToolBar.h"
#include "platform/linux/windowing/LinuxWindowSignals.h"
#include "platform/linux/windowing/LinuxWindowingImpl.h"

HWND LinuxWindowing::NativeCreateToolBar(HWND parent, std::span<const ToolBarButton> buttons, RECT* rect) {
  const NativeWindow* parentNative = m_impl->Native(parent);
  if (!parentNative || !parentNative->client) return nullptr;
  int count = 0;
  GtkWidget* toolBar = GtkToolBar::Create(buttons, &count);
  RECT client{};
  GetClientRect(parent, &client);
  const int width = std::max<LONG>(client.right, 1);
  gtk_widget_set_size_request(toolBar, width, -1);
  GtkWidget* container = parentNative->client;
  PutInto(container, toolBar, 0, 0);
  gtk_widget_show_all(toolBar);
  LinuxWindowSignals::ConnectToolBar(toolBar, container);
  const int height = GtkToolBar::FitWidth(toolBar, width);
  *rect = RECT{0, 0, width, height};
  m_impl->windows[ToHandle(toolBar)].kind = NativeKind::ToolBar;
  m_impl->trace.Line("toolbar buttons=" + std::to_string(count) + " height=" + std::to_string(height));
  return ToHandle(toolBar);
}

LRESULT LinuxWindowing::ToolBarMessage(HWND toolBar, UINT message, WPARAM wParam, LPARAM lParam) {
  GtkWidget* widget = ToWidget(toolBar);
  if (message == WM_SIZE) {
    // The toolbar spans its parent's client width at the height it wants.
    const WindowRecord* record = Find(toolBar);
    if (!record) return 0;
    RECT client{};
    GetClientRect(record->parent, &client);
    const int width = std::max<LONG>(client.right, 1);
    const int height = GtkToolBar::FitWidth(widget, width);
    const RECT& r = record->rect;
    NativeResized(toolBar, RECT{r.left, r.top, r.left + width, r.top + height}, false);
    return 0;
  }
  if (message == TB_ENABLEBUTTON || message == TB_CHECKBUTTON) {
    if (message == TB_ENABLEBUTTON) GtkToolBar::EnableButton(widget, static_cast<UINT>(wParam), lParam != 0);
    return TRUE;
  }
  return 0;
}
