#pragma once
#include "webview/ICoreWebView2Forward.h"

// Receives new-window requests.
struct ICoreWebView2NewWindowRequestedEventHandler : IUnknown {
  static constexpr IID kIid = MakeGuid("{46998CF3-00AE-4632-8D4C-75F0825DB9A1}");
  using BaseInterface = IUnknown;

  virtual HRESULT Invoke(ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args) = 0;
};
