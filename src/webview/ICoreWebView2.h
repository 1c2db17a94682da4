#pragma once
#include "webview/ICoreWebView2Forward.h"

// The web view: navigation, history and events.
struct ICoreWebView2 : IUnknown {
  static constexpr IID kIid = MakeGuid("{D080C77E-0AE4-4A9C-8266-43EB86407CDC}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_Settings(ICoreWebView2Settings** settings) = 0;
  virtual HRESULT Navigate(LPCWSTR uri) = 0;
  virtual HRESULT GoBack() = 0;
  virtual HRESULT GoForward() = 0;
  virtual HRESULT Reload() = 0;
  virtual HRESULT get_ContainsFullScreenElement(BOOL* containsFullScreenElement) = 0;
  virtual HRESULT add_ContainsFullScreenElementChanged(ICoreWebView2ContainsFullScreenElementChangedEventHandler* eventHandler,
                                                       EventRegistrationToken* token) = 0;
  virtual HRESULT add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* eventHandler,
                                         EventRegistrationToken* token) = 0;
  virtual HRESULT add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* eventHandler,
                                         EventRegistrationToken* token) = 0;
  virtual HRESULT add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* eventHandler,
                                           EventRegistrationToken* token) = 0;
};
