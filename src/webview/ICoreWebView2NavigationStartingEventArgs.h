#pragma once
#include "webview/ICoreWebView2Forward.h"

// A main-frame navigation about to start.
struct ICoreWebView2NavigationStartingEventArgs : IUnknown {
  static constexpr IID kIid = MakeGuid("{F22CF7F9-DFF7-47D8-9964-304ED8F6DE41}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_Uri(LPWSTR* uri) = 0;
  // TRUE stops the navigation; the view keeps its page.
  virtual HRESULT put_Cancel(BOOL cancel) = 0;
};
