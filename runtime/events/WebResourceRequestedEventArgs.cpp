#include "runtime/events/WebResourceRequestedEventArgs.h"

HRESULT WebResourceRequestedEventArgs::get_Request(ICoreWebView2WebResourceRequest** request) {
  if (!request) return E_POINTER;
  return m_request.CopyTo(request);
}

HRESULT WebResourceRequestedEventArgs::put_Response(ICoreWebView2WebResourceResponse* response) {
  m_response = response;
  return S_OK;
}

HRESULT WebResourceRequestedEventArgs::get_ResourceContext(COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) {
  if (!context) return E_POINTER;
  *context = m_context;
  return S_OK;
}
