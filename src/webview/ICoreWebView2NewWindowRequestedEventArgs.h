#pragma once
#include "webview/ICoreWebView2Forward.h"

// A request of the page for a new window.
struct ICoreWebView2NewWindowRequestedEventArgs : IUnknown {
  static constexpr IID kIid = MakeGuid("{4DC0073E-0628-4C96-9898-F008E9981138}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_Uri(LPWSTR* uri) = 0;
  // TRUE means no window is opened.
  virtual HRESULT put_Handled(BOOL handled) = 0;
};
