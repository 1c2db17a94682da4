#include "runtime/events/NewWindowRequestedEventArgs.h"

#include "com/CoTaskMem.h"

HRESULT NewWindowRequestedEventArgs::get_Uri(LPWSTR* uri) {
  if (!uri) return E_POINTER;
  *uri = CoTaskMemStrDup(m_uri);
  return *uri ? S_OK : E_OUTOFMEMORY;
}

HRESULT NewWindowRequestedEventArgs::put_Handled(BOOL handled) {
  m_handled = handled != FALSE;
  return S_OK;
}
