#include "runtime/events/WebResourceResponse.h"

#include "com/CoTaskMem.h"

HRESULT WebResourceResponse::get_Content(IStream** content) {
  if (!content) return E_POINTER;
  return m_content.CopyTo(content);
}

HRESULT WebResourceResponse::get_StatusCode(int* statusCode) {
  if (!statusCode) return E_POINTER;
  *statusCode = m_statusCode;
  return S_OK;
}

HRESULT WebResourceResponse::get_ReasonPhrase(LPWSTR* reasonPhrase) {
  if (!reasonPhrase) return E_POINTER;
  *reasonPhrase = CoTaskMemStrDup(m_reasonPhrase);
  return *reasonPhrase ? S_OK : E_OUTOFMEMORY;
}

HRESULT WebResourceResponse::get_Headers(LPWSTR* headers) {
  if (!headers) return E_POINTER;
  *headers = CoTaskMemStrDup(m_headers);
  return *headers ? S_OK : E_OUTOFMEMORY;
}
