#pragma once
// A request for a resource as the page made it; the address is in its
// file:// form for local content.
#include <string>

#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2WebResourceRequest.h"

class WebResourceRequest final : public RuntimeClass<ICoreWebView2WebResourceRequest> {
 public:
  explicit WebResourceRequest(std::u16string uri) : m_uri(std::move(uri)) {}

  HRESULT get_Uri(LPWSTR* uri) override;

 private:
  std::u16string m_uri;
};
