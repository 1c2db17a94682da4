#pragma once
#include "webview/ICoreWebView2Forward.h"

// One of the eight tables of the environment options object.
struct ICoreWebView2EnvironmentOptions6 : IUnknown {
  static constexpr IID kIid = MakeGuid("{57D29CC3-C84F-42A0-B0E2-EFFBD5E179DE}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_AreBrowserExtensionsEnabled(BOOL* value) = 0;
  virtual HRESULT put_AreBrowserExtensionsEnabled(BOOL value) = 0;
};
