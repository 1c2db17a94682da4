#pragma once
#include "view/IViewFrame.h"
#include "window/CWindowImplBase.h"

// The frame the view lives in: a plain top-level window with the settings,
// which closes by default processing of WM_CLOSE and takes the view with it.
class FakeFrame final : public CWindowImplBase, public IViewFrame {
 public:
  bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
  const Settings& GetSettings() const override { return settings; }
  HWND GetFrameWindow() const override { return m_hWnd; }
  Settings settings;
};
