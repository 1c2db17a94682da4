#pragma once
#include "webview/ICoreWebView2Forward.h"

// A request for a resource, as the page made it.
struct ICoreWebView2WebResourceRequest : IUnknown {
  static constexpr IID kIid = MakeGuid("{C35DDBCC-8E63-42C9-939A-4809937CB8DA}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_Uri(LPWSTR* uri) = 0;
};
