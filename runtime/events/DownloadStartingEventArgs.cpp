#include "runtime/events/DownloadStartingEventArgs.h"

HRESULT DownloadStartingEventArgs::get_DownloadOperation(ICoreWebView2DownloadOperation** downloadOperation) {
  if (!downloadOperation) return E_POINTER;
  return m_operation.CopyTo(downloadOperation);
}

HRESULT DownloadStartingEventArgs::put_Cancel(BOOL cancel) {
  m_cancel = cancel != FALSE;
  return S_OK;
}
