#pragma once
#include "webview/ICoreWebView2Forward.h"

// One of the eight tables of the environment options object.
struct ICoreWebView2EnvironmentOptions5 : IUnknown {
  static constexpr IID kIid = MakeGuid("{0AE35D64-C47F-4464-814E-259C345D1501}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_EnableTrackingPrevention(BOOL* value) = 0;
  virtual HRESULT put_EnableTrackingPrevention(BOOL value) = 0;
};
