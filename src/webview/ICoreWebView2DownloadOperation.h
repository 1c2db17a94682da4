#pragma once
#include "webview/ICoreWebView2Forward.h"

// A download the engine is about to start.
struct ICoreWebView2DownloadOperation : IUnknown {
  static constexpr IID kIid = MakeGuid("{851A831C-579D-4C53-9F49-B34907212260}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_Uri(LPWSTR* uri) = 0;
};
