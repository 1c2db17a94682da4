#pragma once
// The frame-window base: a top-level window with an optional toolbar across
// the top and one client window (the view) filling the rest. It creates the
// window with the frame's caption and styles, lays out toolbar and client,
// ends the message loop when the frame goes, and passes the focus on to the
// client window. A derived frame offers messages to its own handlers first
// and then to ProcessFrameMessage.
#include <span>
#include <string_view>

#include "platform/ToolBarButton.h"
#include "window/CWindowImplBase.h"

class CFrameWindowImpl : public CWindowImplBase {
 public:
  // The frame's window traits.
  static constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  static constexpr DWORD kFrameExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;

  // Creates the frame window with the frame's caption (FrameCaption). Zero
  // styles mean the traits above; a null rectangle lets the platform choose.
  HWND CreateEx(HWND parent = nullptr, const RECT* rect = nullptr, DWORD style = 0,
                DWORD exStyle = 0);

  // Places the toolbar (stretched to the frame's width when resizeBars is
  // true) and below it the client window over the rest of the client area.
  virtual void UpdateLayout(BOOL resizeBars = TRUE);

  // The toolbar (null when none was created), the client window and the
  // accelerator table (the program ships none, so it stays null).
  HWND m_hWndToolBar = nullptr;
  HWND m_hWndClient = nullptr;
  HACCEL m_hAccel = nullptr;

 protected:
  // The caption the frame window is created with; the program's frame takes
  // it from its string table.
  virtual std::u16string_view FrameCaption() const = 0;
  // Creates a toolbar with the given buttons as a child of the frame.
  HWND CreateSimpleToolBarCtrl(std::span<const ToolBarButton> buttons, UINT id);
  // The base's part of the message map.
  bool ProcessFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
};
