#pragma once
#include "webview/ICoreWebView2Forward.h"

// One of the eight tables of the environment options object.
struct ICoreWebView2EnvironmentOptions4 : IUnknown {
  static constexpr IID kIid = MakeGuid("{AC52D13F-0D38-475A-9DCA-876580D6793E}");
  using BaseInterface = IUnknown;

  virtual HRESULT GetCustomSchemeRegistrations(UINT32* count, ICoreWebView2CustomSchemeRegistration*** schemeRegistrations) = 0;
  virtual HRESULT SetCustomSchemeRegistrations(UINT32 count, ICoreWebView2CustomSchemeRegistration** schemeRegistrations) = 0;
};
