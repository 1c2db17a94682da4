#include "runtime/events/NavigationStartingEventArgs.h"

#include "com/CoTaskMem.h"

HRESULT NavigationStartingEventArgs::get_Uri(LPWSTR* uri) {
  if (!uri) return E_POINTER;
  *uri = CoTaskMemStrDup(m_uri);
  return *uri ? S_OK : E_OUTOFMEMORY;
}

HRESULT NavigationStartingEventArgs::put_Cancel(BOOL cancel) {
  m_cancel = cancel != FALSE;
  return S_OK;
}
