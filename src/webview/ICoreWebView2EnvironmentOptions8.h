#pragma once
#include "webview/ICoreWebView2Forward.h"

// One of the eight tables of the environment options object.
struct ICoreWebView2EnvironmentOptions8 : IUnknown {
  static constexpr IID kIid = MakeGuid("{7C7ECF51-E918-5CAF-853C-E9A2BCC27775}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_ScrollBarStyle(COREWEBVIEW2_SCROLLBAR_STYLE* value) = 0;
  virtual HRESULT put_ScrollBarStyle(COREWEBVIEW2_SCROLLBAR_STYLE value) = 0;
};
