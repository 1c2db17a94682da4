#pragma once
#include "webview/ICoreWebView2Forward.h"
#include "webview/ICoreWebView2_4.h"

// Routes requests to the WebResourceRequested event.
struct ICoreWebView2_22 : ICoreWebView2_4 {
  static constexpr IID kIid = MakeGuid("{B2BD97B1-FDC1-4EF7-9C06-1E53003C3370}");
  using BaseInterface = ICoreWebView2_4;

  virtual HRESULT AddWebResourceRequestedFilterWithRequestSourceKinds(
      LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext,
      COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS requestSourceKinds) = 0;
};
