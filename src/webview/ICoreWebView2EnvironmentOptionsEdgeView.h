#pragma once
#include "webview/ICoreWebView2Forward.h"

// An options table that the loader asks for but the program never implements.
struct ICoreWebView2EnvironmentOptionsEdgeView : IUnknown {
  static constexpr IID kIid = MakeGuid("{0EA2394C-96E6-4AE3-8F9A-8473ABEF3732}");
  using BaseInterface = IUnknown;

  // 1 asks the loader to treat the Edge browser's own installation as the
  // stable channel. The program's own options object does not offer this.
  virtual HRESULT get_UseEdgeView(INT32* value) = 0;
};
