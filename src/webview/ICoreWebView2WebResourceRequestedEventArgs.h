#pragma once
#include "webview/ICoreWebView2Forward.h"

// A resource request the program may answer.
struct ICoreWebView2WebResourceRequestedEventArgs : IUnknown {
  static constexpr IID kIid = MakeGuid("{E2968CE5-A47B-4899-B6F8-71120DE975B1}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_Request(ICoreWebView2WebResourceRequest** request) = 0;
  // A response set before the handler returns is delivered unchanged.
  virtual HRESULT put_Response(ICoreWebView2WebResourceResponse* response) = 0;
  virtual HRESULT get_ResourceContext(COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) = 0;
};
