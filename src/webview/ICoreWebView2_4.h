#pragma once
#include "webview/ICoreWebView2Forward.h"
#include "webview/ICoreWebView2_2.h"

// The web view's download event.
struct ICoreWebView2_4 : ICoreWebView2_2 {
  static constexpr IID kIid = MakeGuid("{DDDF6705-2C1A-4617-AF9E-5692D1A893B9}");
  using BaseInterface = ICoreWebView2_2;

  virtual HRESULT add_DownloadStarting(ICoreWebView2DownloadStartingEventHandler* eventHandler,
                                       EventRegistrationToken* token) = 0;
};
