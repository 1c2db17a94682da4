#pragma once
// The arguments of one resource request, which are also the request: its
// address and context, and how often the handler set a response.
#include <string>

#include "com/CoTaskMem.h"
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2WebResourceRequest.h"
#include "webview/ICoreWebView2WebResourceRequestedEventArgs.h"
#include "webview/ICoreWebView2WebResourceResponse.h"

class FakeWebResourceRequestedEventArgs final
    : public RuntimeClass<ICoreWebView2WebResourceRequestedEventArgs, ICoreWebView2WebResourceRequest> {
 public:
  FakeWebResourceRequestedEventArgs(std::u16string uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT context)
      : m_uri(std::move(uri)), m_context(context) {}

  HRESULT get_Request(ICoreWebView2WebResourceRequest** request) override {
    return ComPtr<ICoreWebView2WebResourceRequest>(this).CopyTo(request);
  }
  HRESULT get_Uri(LPWSTR* uri) override { return uri ? (*uri = CoTaskMemStrDup(m_uri), S_OK) : E_POINTER; }
  HRESULT put_Response(ICoreWebView2WebResourceResponse*) override { return ++putResponseCount, S_OK; }
  HRESULT get_ResourceContext(COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) override {
    return context ? (*context = m_context, S_OK) : E_POINTER;
  }

  int putResponseCount = 0;

 private:
  std::u16string m_uri;
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT m_context;
};
