#pragma once
#include "webview/ICoreWebView2Forward.h"

// One of the eight tables of the environment options object.
struct ICoreWebView2EnvironmentOptions3 : IUnknown {
  static constexpr IID kIid = MakeGuid("{4A5C436E-A9E3-4A2E-89C3-910D3513F5CC}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_IsCustomCrashReportingEnabled(BOOL* value) = 0;
  virtual HRESULT put_IsCustomCrashReportingEnabled(BOOL value) = 0;
};
