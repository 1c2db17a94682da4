#include "runtime/events/WebResourceRequest.h"

#include "com/CoTaskMem.h"

HRESULT WebResourceRequest::get_Uri(LPWSTR* uri) {
  if (!uri) return E_POINTER;
  *uri = CoTaskMemStrDup(m_uri);
  return *uri ? S_OK : E_OUTOFMEMORY;
}
