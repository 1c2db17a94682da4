#pragma once
#include "webview/ICoreWebView2Forward.h"

// Receives the outcome of environment creation on the creating thread.
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : IUnknown {
  static constexpr IID kIid = MakeGuid("{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}");
  using BaseInterface = IUnknown;

  virtual HRESULT Invoke(HRESULT errorCode, ICoreWebView2Environment* createdEnvironment) = 0;
};
