#pragma once
#include <vector>

#include "platform/CWindowImplBase.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "view/IViewFrame.h"

// The frame the view lives in: a plain top-level window with the settings,
// which closes by default processing of WM_CLOSE and takes the view with it.
// Like a real frame it takes the work area when maximised and its normal
// rectangle back when restored; it records the system commands it gets.
class FakeFrame final : public CWindowImplBase, public IViewFrame {
 public:
  bool ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message != WM_SYSCOMMAND) return false;
    IWindowing& w = Platform::Windowing();
    commands.push_back(wParam);
    const bool zoomed = w.IsZoomed(m_hWnd), iconic = w.IsIconic(m_hWnd);
    result = DefWindowProc(message, wParam, lParam);
    if (wParam == SC_MAXIMIZE && !zoomed) {
      GetWindowRect(&normalRect);
      SetWindowPos(nullptr, 0, 0, 1920, 1040, SWP_NOZORDER);
    } else if (wParam == SC_RESTORE && zoomed && !iconic) {
      SetWindowPos(nullptr, normalRect.left, normalRect.top, normalRect.right - normalRect.left,
                   normalRect.bottom - normalRect.top, SWP_NOZORDER);
    }
    return true;
  }
  const Settings& GetSettings() const override { return settings; }
  HWND GetFrameWindow() const override { return m_hWnd; }
  Settings settings;
  std::vector<WPARAM> commands;
  RECT normalRect{};
};
