#pragma once
// A resource request with a given address; null stands for a request whose
// address cannot be read.
#include <optional>
#include <string>

#include "com/CoTaskMem.h"
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2WebResourceRequest.h"

class FakeWebResourceRequest final : public RuntimeClass<ICoreWebView2WebResourceRequest> {
 public:
  explicit FakeWebResourceRequest(std::optional<std::u16string> uri) : m_uri(std::move(uri)) {}

  HRESULT get_Uri(LPWSTR* uri) override {
    if (!uri) return E_POINTER;
    *uri = m_uri ? CoTaskMemStrDup(*m_uri) : nullptr;
    return !m_uri ? E_FAIL : *uri ? S_OK : E_OUTOFMEMORY;
  }

 private:
  std::optional<std::u16string> m_uri;
};
