#pragma once
// The arguments of a resource request that the program may answer. A
// response set before the handler returns is the one delivered.
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2WebResourceRequest.h"
#include "webview/ICoreWebView2WebResourceRequestedEventArgs.h"
#include "webview/ICoreWebView2WebResourceResponse.h"

class WebResourceRequestedEventArgs final : public RuntimeClass<ICoreWebView2WebResourceRequestedEventArgs> {
 public:
  WebResourceRequestedEventArgs(ComPtr<ICoreWebView2WebResourceRequest> request,
                                COREWEBVIEW2_WEB_RESOURCE_CONTEXT context)
      : m_request(std::move(request)), m_context(context) {}

  HRESULT get_Request(ICoreWebView2WebResourceRequest** request) override;
  HRESULT put_Response(ICoreWebView2WebResourceResponse* response) override;
  HRESULT get_ResourceContext(COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) override;

  // The response the program set, or null.
  const ComPtr<ICoreWebView2WebResourceResponse>& Response() const { return m_response; }

 private:
  ComPtr<ICoreWebView2WebResourceRequest> m_request;
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT m_context;
  ComPtr<ICoreWebView2WebResourceResponse> m_response;
};
