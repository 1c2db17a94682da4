#include "runtime/engine/RuntimeController.h"

RuntimeController::~RuntimeController() { m_webView->Close(); }

HRESULT RuntimeController::get_CoreWebView2(ICoreWebView2** coreWebView2) {
  if (!coreWebView2) return E_POINTER;
  *coreWebView2 = static_cast<ICoreWebView2*>(m_webView.Get());
  (*coreWebView2)->AddRef();
  return S_OK;
}

HRESULT RuntimeController::put_Bounds(RECT bounds) { return m_webView->SetBounds(bounds); }
