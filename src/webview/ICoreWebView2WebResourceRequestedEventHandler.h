#pragma once
#include "webview/ICoreWebView2Forward.h"

// Answers resource requests.
struct ICoreWebView2WebResourceRequestedEventHandler : IUnknown {
  static constexpr IID kIid = MakeGuid("{CB9E6279-FCA7-4DC5-A653-FDD4396C3822}");
  using BaseInterface = IUnknown;

  virtual HRESULT Invoke(ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args) = 0;
};
