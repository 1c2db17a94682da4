#pragma once
#include "webview/ICoreWebView2Forward.h"

// A download about to start.
struct ICoreWebView2DownloadStartingEventArgs : IUnknown {
  static constexpr IID kIid = MakeGuid("{F677C866-3E7C-47ED-A554-FA7A01DFBE47}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_DownloadOperation(ICoreWebView2DownloadOperation** downloadOperation) = 0;
  // TRUE stops the download.
  virtual HRESULT put_Cancel(BOOL cancel) = 0;
};
