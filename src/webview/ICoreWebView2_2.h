#pragma once
#include "webview/ICoreWebView2.h"
#include "webview/ICoreWebView2Forward.h"

// The web view's environment, for creating responses.
struct ICoreWebView2_2 : ICoreWebView2 {
  static constexpr IID kIid = MakeGuid("{EAE4B1F3-27C3-453E-9A3A-D9B3FCBCA984}");
  using BaseInterface = ICoreWebView2;

  virtual HRESULT get_Environment(ICoreWebView2Environment** environment) = 0;
};
