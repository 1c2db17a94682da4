#include "runtime/events/DownloadOperation.h"

#include "com/CoTaskMem.h"

HRESULT DownloadOperation::get_Uri(LPWSTR* uri) {
  if (!uri) return E_POINTER;
  *uri = CoTaskMemStrDup(m_uri);
  return *uri ? S_OK : E_OUTOFMEMORY;
}
