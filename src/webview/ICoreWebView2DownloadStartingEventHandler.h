#pragma once
#include "webview/ICoreWebView2Forward.h"

// Judges downloads.
struct ICoreWebView2DownloadStartingEventHandler : IUnknown {
  static constexpr IID kIid = MakeGuid("{00111F65-4214-4BAE-BF4F-DF2F4959C574}");
  using BaseInterface = IUnknown;

  virtual HRESULT Invoke(ICoreWebView2* sender, ICoreWebView2DownloadStartingEventArgs* args) = 0;
};
