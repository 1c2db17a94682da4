#pragma once
// A response made by the fake environment; keeps what it was made from.
#include <string>

#include "com/CoTaskMem.h"
#include "com/IStream.h"
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2WebResourceResponse.h"

class FakeWebResourceResponse final : public RuntimeClass<ICoreWebView2WebResourceResponse> {
 public:
  FakeWebResourceResponse(IStream* content, int statusCode, std::u16string reasonPhrase, std::u16string headers)
      : content(content), statusCode(statusCode), reasonPhrase(std::move(reasonPhrase)), headers(std::move(headers)) {}

  HRESULT get_Content(IStream** out) override { return content.CopyTo(out); }
  HRESULT get_StatusCode(int* out) override { return out ? (*out = statusCode, S_OK) : E_POINTER; }
  HRESULT get_ReasonPhrase(LPWSTR* out) override { return Copy(reasonPhrase, out); }
  HRESULT get_Headers(LPWSTR* out) override { return Copy(headers, out); }

  ComPtr<IStream> content;
  int statusCode;
  std::u16string reasonPhrase;
  std::u16string headers;

 private:
  static HRESULT Copy(const std::u16string& text, LPWSTR* out) {
    return !out ? E_POINTER : (*out = CoTaskMemStrDup(text)) ? S_OK : E_OUTOFMEMORY;
  }
};
