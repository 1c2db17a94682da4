#pragma once
#include "webview/ICoreWebView2Forward.h"

// A response the program builds for a resource request.
struct ICoreWebView2WebResourceResponse : IUnknown {
  static constexpr IID kIid = MakeGuid("{480C5353-6C42-4FD2-8D5A-2D3B5A8244A1}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_Content(IStream** content) = 0;
  virtual HRESULT get_StatusCode(int* statusCode) = 0;
  virtual HRESULT get_ReasonPhrase(LPWSTR* reasonPhrase) = 0;
  // The header lines as given at creation, each ended by a line feed.
  virtual HRESULT get_Headers(LPWSTR* headers) = 0;
};
