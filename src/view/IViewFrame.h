#pragma once
// What the web view host needs from the window that holds it, and nothing
// more. The view sits below the application layer, so it never sees the main
// frame's class: the frame implements this interface and hands itself to the
// view as `CView::m_pFrame`, and tests hand over a small fake instead.
#include "com/Types.h"
#include "settings/Settings.h"

class IViewFrame {
 public:
  // The settings record the frame has read. The view reads the browser
  // identity and the start page from it when its window is created.
  virtual const Settings& GetSettings() const = 0;

  // The frame's top-level window, or null while it has none. The view sends
  // it WM_CLOSE after reporting a failure it cannot recover from, changes its
  // style and position when a page enters or leaves full screen, and uses it
  // as the owner of dialogs that concern the whole program.
  virtual HWND GetFrameWindow() const = 0;

 protected:
  // Never deleted through this interface: the frame owns the view, not the
  // other way round.
  ~IViewFrame() = default;
};
