#pragma once
// A resource request with a given address.
#include <string>

#include "com/CoTaskMem.h"
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2WebResourceRequest.h"

class FakeWebResourceRequest final : public RuntimeClass<ICoreWebView2WebResourceRequest> {
 public:
  explicit FakeWebResourceRequest(std::u16string uri) : m_uri(std::move(uri)) {}

  HRESULT get_Uri(LPWSTR* uri) override { return uri ? (*uri = CoTaskMemStrDup(m_uri), S_OK) : E_POINTER; }

 private:
  std::u16string m_uri;
};
