#pragma once
#include "webview/ICoreWebView2Forward.h"

// One of the eight tables of the environment options object.
struct ICoreWebView2EnvironmentOptions2 : IUnknown {
  static constexpr IID kIid = MakeGuid("{FF85C98A-1BA7-4A6B-90C8-2B752C89E9E2}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_ExclusiveUserDataFolderAccess(BOOL* value) = 0;
  virtual HRESULT put_ExclusiveUserDataFolderAccess(BOOL value) = 0;
};
