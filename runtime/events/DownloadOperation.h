#pragma once
// A download the engine is about to start, as the program sees it.
#include <string>

#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2DownloadOperation.h"

class DownloadOperation final : public RuntimeClass<ICoreWebView2DownloadOperation> {
 public:
  explicit DownloadOperation(std::u16string uri) : m_uri(std::move(uri)) {}

  HRESULT get_Uri(LPWSTR* uri) override;

 private:
  std::u16string m_uri;
};
