#pragma once
// The arguments of a download about to start.
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2DownloadOperation.h"
#include "webview/ICoreWebView2DownloadStartingEventArgs.h"

class DownloadStartingEventArgs final : public RuntimeClass<ICoreWebView2DownloadStartingEventArgs> {
 public:
  explicit DownloadStartingEventArgs(ComPtr<ICoreWebView2DownloadOperation> operation)
      : m_operation(std::move(operation)) {}

  HRESULT get_DownloadOperation(ICoreWebView2DownloadOperation** downloadOperation) override;
  HRESULT put_Cancel(BOOL cancel) override;

  bool IsCancelled() const { return m_cancel; }

 private:
  ComPtr<ICoreWebView2DownloadOperation> m_operation;
  bool m_cancel = false;
};
