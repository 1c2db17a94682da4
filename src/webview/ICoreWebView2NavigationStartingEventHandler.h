#pragma once
#include "webview/ICoreWebView2Forward.h"

// Judges main-frame navigations.
struct ICoreWebView2NavigationStartingEventHandler : IUnknown {
  static constexpr IID kIid = MakeGuid("{A0B062C4-FD1B-4287-9D9A-8F0CA0FB7FC4}");
  using BaseInterface = IUnknown;

  virtual HRESULT Invoke(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) = 0;
};
