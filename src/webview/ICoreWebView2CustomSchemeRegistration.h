#pragma once
#include "webview/ICoreWebView2Forward.h"

// A custom scheme registration held by the environment options. The options
// object only counts references on it.
struct ICoreWebView2CustomSchemeRegistration : IUnknown {
  static constexpr IID kIid = MakeGuid("{26A5B891-1A4F-4953-A55C-C1EB02B52E7A}");
  using BaseInterface = IUnknown;
};
