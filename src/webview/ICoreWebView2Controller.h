#pragma once
#include "webview/ICoreWebView2Forward.h"

// Places the web view inside its parent window.
struct ICoreWebView2Controller : IUnknown {
  static constexpr IID kIid = MakeGuid("{5CEF6DCD-F033-494E-8654-20DEFE4C3C8D}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_CoreWebView2(ICoreWebView2** coreWebView2) = 0;
  // In client coordinates of the parent window.
  virtual HRESULT put_Bounds(RECT bounds) = 0;
};
