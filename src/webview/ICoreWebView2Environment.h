#pragma once
#include "webview/ICoreWebView2Forward.h"

// The browser environment: makes controllers and responses.
struct ICoreWebView2Environment : IUnknown {
  static constexpr IID kIid = MakeGuid("{B96D755E-0319-4E92-A296-23436F46A1FC}");
  using BaseInterface = IUnknown;

  // The parent is the platform's handle of the host window; the Linux
  // platform hands out a GtkContainer the runtime places its view into.
  virtual HRESULT CreateCoreWebView2Controller(HWND parentWindow,
                                               ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
  // headers: header lines "Name: value", each ended by a line feed.
  virtual HRESULT CreateWebResourceResponse(IStream* content, int statusCode, LPCWSTR reasonPhrase, LPCWSTR headers,
                                            ICoreWebView2WebResourceResponse** response) = 0;
};
