#pragma once
// Stands in for the web view host (CView in view/View.h) until that class
// is part of the build: a plain child window with the members the frame
// uses. The frame's m_view switches to CView when it lands, and this file
// goes.
#include "com/ComPtr.h"
#include "platform/CWindowImplBase.h"
#include "webview/ICoreWebView2.h"

class CMainFrame;

class CViewPlaceholder : public CWindowImplBase {
 public:
  static constexpr DWORD kWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

  bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
  bool PreTranslateMessage(const MSG*) { return false; }

  CMainFrame* m_pFrame = nullptr;
  ComPtr<ICoreWebView2> m_webView;
};
