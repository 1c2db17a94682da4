#pragma once
#include "webview/ICoreWebView2Forward.h"

// One of the eight tables of the environment options object.
struct ICoreWebView2EnvironmentOptions : IUnknown {
  static constexpr IID kIid = MakeGuid("{2FDE08A8-1E9A-4766-8C05-95A9CEB9D1C5}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_AdditionalBrowserArguments(LPWSTR* value) = 0;
  virtual HRESULT put_AdditionalBrowserArguments(LPCWSTR value) = 0;
  virtual HRESULT get_Language(LPWSTR* value) = 0;
  virtual HRESULT put_Language(LPCWSTR value) = 0;
  virtual HRESULT get_TargetCompatibleBrowserVersion(LPWSTR* value) = 0;
  virtual HRESULT put_TargetCompatibleBrowserVersion(LPCWSTR value) = 0;
  virtual HRESULT get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) = 0;
  virtual HRESULT put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) = 0;
};
