#pragma once
#include "webview/ICoreWebView2Forward.h"

// Receives the outcome of controller creation on the creating thread.
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : IUnknown {
  static constexpr IID kIid = MakeGuid("{CF91730C-3552-4E23-93DC-CE249ACDFD39}");
  using BaseInterface = IUnknown;

  virtual HRESULT Invoke(HRESULT errorCode, ICoreWebView2Controller* createdController) = 0;
};
