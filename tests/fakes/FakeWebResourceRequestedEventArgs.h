#pragma once
// The arguments of one resource request: its context and request, and the
// response the handler set (if any).
#include <string>

#include "com/RuntimeClass.h"
#include "fakes/FakeWebResourceRequest.h"
#include "webview/ICoreWebView2WebResourceRequestedEventArgs.h"
#include "webview/ICoreWebView2WebResourceResponse.h"

class FakeWebResourceRequestedEventArgs final : public RuntimeClass<ICoreWebView2WebResourceRequestedEventArgs> {
 public:
  FakeWebResourceRequestedEventArgs(std::u16string uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context)
      : m_request(MakeComObject<FakeWebResourceRequest>(std::move(uri))), m_context(context) {}

  HRESULT get_Request(ICoreWebView2WebResourceRequest** request) override {
    return ComPtr<ICoreWebView2WebResourceRequest>(m_request).CopyTo(request);
  }
  HRESULT put_Response(ICoreWebView2WebResourceResponse* value) override { return ++putResponseCount, response = value, S_OK; }
  HRESULT get_ResourceContext(COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) override {
    return context ? (*context = m_context, S_OK) : E_POINTER;
  }

  ComPtr<ICoreWebView2WebResourceResponse> response;
  int putResponseCount = 0;

 private:
  ComPtr<FakeWebResourceRequest> m_request;
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT m_context;
};
