#pragma once
#include "webview/ICoreWebView2Forward.h"

// Raised when the page enters or leaves full screen.
struct ICoreWebView2ContainsFullScreenElementChangedEventHandler : IUnknown {
  static constexpr IID kIid = MakeGuid("{91850761-166D-4BC9-ADBB-6F196A0D6B7C}");
  using BaseInterface = IUnknown;

  virtual HRESULT Invoke(ICoreWebView2* sender, IUnknown* args) = 0;
};
