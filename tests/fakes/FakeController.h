#pragma once
// The controller of the fake engine: hands out its web view and records the
// bounds it is given. When its last reference goes it drops the web view's
// handlers, as the runtime does, so that a handler holding the web view does
// not keep both alive for ever.
#include <memory>
#include <vector>

#include "com/RuntimeClass.h"
#include "tests/fakes/FakeEngineLog.h"
#include "tests/fakes/FakeWebView.h"
#include "webview/ICoreWebView2Controller.h"

class FakeController final : public RuntimeClass<ICoreWebView2Controller> {
 public:
  FakeController(std::shared_ptr<FakeEngineLog> log, ComPtr<FakeWebView> webView)
      : m_log(std::move(log)), webView(std::move(webView)) {}
  ~FakeController() override { if (webView) webView->DropHandlers(); }

  HRESULT get_CoreWebView2(ICoreWebView2** out) override {
    m_log->Add("get_CoreWebView2");
    if (!out) return E_POINTER;
    *out = nullptr;
    return FAILED(getCoreWebView2Result) ? getCoreWebView2Result : ComPtr<ICoreWebView2>(webView).CopyTo(out);
  }
  HRESULT put_Bounds(RECT value) override {
    // The rectangle itself is kept in `bounds`.
    return m_log->Add("put_Bounds(...)"), bounds.push_back(value), S_OK;
  }

 private:
  std::shared_ptr<FakeEngineLog> m_log;

 public:
  ComPtr<FakeWebView> webView;
  HRESULT getCoreWebView2Result = S_OK;
  std::vector<RECT> bounds;
};
