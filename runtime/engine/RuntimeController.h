#pragma once
// Places one web view inside its parent window and hands it out.
#include "com/RuntimeClass.h"
#include "runtime/engine/RuntimeWebView.h"
#include "webview/ICoreWebView2Controller.h"

class RuntimeController final : public RuntimeClass<ICoreWebView2Controller> {
 public:
  explicit RuntimeController(ComPtr<RuntimeWebView> webView) : m_webView(std::move(webView)) {}
  // The last reference on the controller closes its web view.
  ~RuntimeController() override;

  HRESULT get_CoreWebView2(ICoreWebView2** coreWebView2) override;
  HRESULT put_Bounds(RECT bounds) override;

 private:
  ComPtr<RuntimeWebView> m_webView;
};
