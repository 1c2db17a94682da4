#pragma once
// The browser environment: one engine web context with its data folders,
// the private scheme for local content and the web-process extension. It
// makes controllers (each with its own web view) and responses.
#include <webkit2/webkit2.h>

#include <string>

#include "BrowserArguments.h"
#include "platform/linux/GObjectPtr.h"
#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2Environment.h"

class RuntimeEnvironment final : public RuntimeClass<ICoreWebView2Environment> {
 public:
  // userDataFolder: where the engine keeps its data and cache (a subfolder
  // each); empty keeps the engine's default folders. language: the preferred
  // language tag, empty for the engine's default.
  RuntimeEnvironment(const std::string& userDataFolder, BrowserArguments arguments, const std::string& language);
  ~RuntimeEnvironment() override;

  HRESULT CreateCoreWebView2Controller(HWND parentWindow,
                                       ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override;
  HRESULT CreateWebResourceResponse(IStream* content, int statusCode, LPCWSTR reasonPhrase, LPCWSTR headers,
                                    ICoreWebView2WebResourceResponse** response) override;

  WebKitWebContext* Context() const { return m_context.Get(); }
  const BrowserArguments& Arguments() const { return m_arguments; }

  // The engine started a download in this environment.
  void OnDownloadStarted(WebKitDownload* download);

  // The folder the web-process extension lies in, found beside this library.
  static std::string WebExtensionDirectory();

 private:
  GObjectPtr<WebKitWebContext> m_context;
  BrowserArguments m_arguments;
};
