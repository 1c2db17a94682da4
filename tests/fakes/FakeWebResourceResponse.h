#pragma once
// A response made by the fake environment; keeps what it was made from.
#include <string>

#include "com/IStream.h"
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2WebResourceResponse.h"

class FakeWebResourceResponse final : public RuntimeClass<ICoreWebView2WebResourceResponse> {
 public:
  FakeWebResourceResponse(IStream* content, int statusCode, std::u16string reasonPhrase, std::u16string headers)
      : content(content), statusCode(statusCode), reasonPhrase(std::move(reasonPhrase)), headers(std::move(headers)) {}

  // Nothing reads a fake response back through the contract (only the
  // runtime's own responses are read, by its server): tests read the fields.
  HRESULT get_Content(IStream**) override { return E_NOTIMPL; }
  HRESULT get_StatusCode(int*) override { return E_NOTIMPL; }
  HRESULT get_ReasonPhrase(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT get_Headers(LPWSTR*) override { return E_NOTIMPL; }

  ComPtr<IStream> content;
  int statusCode;
  std::u16string reasonPhrase;
  std::u16string headers;
};
