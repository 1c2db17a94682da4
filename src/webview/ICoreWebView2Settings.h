#pragma once
#include "webview/ICoreWebView2Forward.h"

// The web view's settings that the program changes.
struct ICoreWebView2Settings : IUnknown {
  static constexpr IID kIid = MakeGuid("{F4C955F5-6057-4A77-A30E-CB7DD1F520DA}");
  using BaseInterface = IUnknown;

  virtual HRESULT put_IsScriptEnabled(BOOL isScriptEnabled) = 0;
  virtual HRESULT put_AreDefaultScriptDialogsEnabled(BOOL areDefaultScriptDialogsEnabled) = 0;
  virtual HRESULT put_IsWebMessageEnabled(BOOL isWebMessageEnabled) = 0;
  virtual HRESULT put_AreDevToolsEnabled(BOOL areDevToolsEnabled) = 0;
};
