#pragma once
// A response the program builds: content stream (may be null), status,
// reason phrase and the header block exactly as given.
#include <string>

#include "com/IStream.h"
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2WebResourceResponse.h"

class WebResourceResponse final : public RuntimeClass<ICoreWebView2WebResourceResponse> {
 public:
  WebResourceResponse(ComPtr<IStream> content, int statusCode, std::u16string reasonPhrase, std::u16string headers)
      : m_content(std::move(content)),
        m_statusCode(statusCode),
        m_reasonPhrase(std::move(reasonPhrase)),
        m_headers(std::move(headers)) {}

  HRESULT get_Content(IStream** content) override;
  HRESULT get_StatusCode(int* statusCode) override;
  HRESULT get_ReasonPhrase(LPWSTR* reasonPhrase) override;
  HRESULT get_Headers(LPWSTR* headers) override;

 private:
  ComPtr<IStream> m_content;
  int m_statusCode;
  std::u16string m_reasonPhrase;
  std::u16string m_headers;
};
